#include "app/recipe_lookup.h"

#include "core/collection.h"
#include "core/recipe.h"
#include "core/recipe_error.h"

#include <QDir>

namespace cli {

std::optional<QString> matching(const QStringList &names, const QString &wanted)
{
    if (names.contains(wanted))
        return wanted;
    for (const QString &name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return std::nullopt;
}

QString existingCategory(const QStringList &categories, const QString &wanted, const QString &database)
{
    if (const std::optional<QString> found = matching(categories, wanted))
        return *found;
    throw recipes::Error(QStringLiteral("There is no category named %1 in the recipe file %2.")
                             .arg(wanted, QDir::toNativeSeparators(database)));
}

std::optional<recipes::Recipe> findRecipe(const recipes::Collection &collection, const QString &category,
                                          const QString &name)
{
    const std::optional<QString> stored = matching(collection.recipeNames(category), name.trimmed());
    return stored ? collection.recipe(category, *stored) : std::nullopt;
}

}  // namespace cli
