#include "app/cooking_commands.h"

#include "app/arguments.h"
#include "app/command_line.h"
#include "app/recipe_lookup.h"
#include "core/collection.h"
#include "core/quantity_text.h"
#include "core/recipe.h"
#include "core/recipe_error.h"
#include "core/recipe_scaling.h"
#include "core/shopping_list.h"

#include <QTextStream>

namespace cli {

namespace {

const QString kFactor = QStringLiteral("factor");

// The option's value as an amount above 0; a usage error names the option and what it got.
double amountOption(const Arguments &args, const QString &command, const QString &option)
{
    const QString given = args.value(option);
    if (const std::optional<double> amount = recipes::readPositiveAmount(given))
        return *amount;
    throw UsageError{QStringLiteral("%1: --%2 wants a number above 0, such as 2, 0.5 or 1/2, not \"%3\".")
                         .arg(command, option, given)};
}

void printLines(const QString &text, QTextStream &out)
{
    if (!text.isEmpty())
        out << QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
    out.flush();
}

struct Wanted {
    QString category;
    QString name;
    std::optional<double> factor;
};

// "Category/Recipe*N": the first "/" that leaves an existing category before it splits, since a
// recipe's name may hold one ("Salt/pepper rub"); a trailing "*N" that reads as an amount is the
// factor, anything else after a "*" is part of the name.
std::optional<Wanted> parseWanted(const QString &argument, const QStringList &categories)
{
    Wanted wanted;
    QString rest = argument;
    const qsizetype star = rest.lastIndexOf(u'*');
    if (star > 0) {
        if (const std::optional<double> factor = recipes::readPositiveAmount(rest.mid(star + 1))) {
            wanted.factor = factor;
            rest.truncate(star);
        }
    }
    for (qsizetype slash = rest.indexOf(u'/'); slash > 0; slash = rest.indexOf(u'/', slash + 1))
        if (const std::optional<QString> category = matching(categories, rest.left(slash).trimmed())) {
            wanted.category = *category;
            wanted.name = rest.mid(slash + 1).trimmed();
            return wanted;
        }
    return std::nullopt;
}

}  // namespace

int scaleRecipe(const recipes::Collection &collection, const Arguments &args, const QString &database,
                QTextStream &out)
{
    const QString command = QStringLiteral("scale");
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("scale: unexpected argument %1.").arg(args.positional().front())};
    for (const QString &option : {QStringLiteral("category"), QStringLiteral("recipe")})
        if (args.value(option).trimmed().isEmpty())
            throw UsageError{QStringLiteral("scale: --%1 is needed.").arg(option)};
    const bool byFactor = args.isSet(kFactor);
    if (byFactor == args.isSet(QStringLiteral("servings")))
        throw UsageError{QStringLiteral("scale: give either --factor or --servings.")};
    const double amount = amountOption(args, command, byFactor ? kFactor : QStringLiteral("servings"));

    const QString category = existingCategory(collection.categories(), args.value(QStringLiteral("category")).trimmed(),
                                              database);
    const QString name = args.value(QStringLiteral("recipe"));
    const std::optional<recipes::Recipe> recipe = findRecipe(collection, category, name);
    if (!recipe)
        throw recipes::Error(QStringLiteral("There is no recipe named %1 in the category %2.").arg(name.trimmed(), category));
    printLines(byFactor ? recipes::scaledIngredients(recipe->ingredients, amount)
                        : recipes::ingredientsForServings(recipe->ingredients, amount),
               out);
    return Done;
}

int shoppingList(const recipes::Collection &collection, const Arguments &args, QTextStream &out, QTextStream &err)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("shopping-list: name at least one recipe, as \"Category/Recipe\".")};
    const double factor = args.isSet(kFactor) ? amountOption(args, QStringLiteral("shopping-list"), kFactor) : 1.0;
    const QStringList categories = collection.categories();
    recipes::ShoppingList list;
    int missing = 0;
    for (const QString &argument : args.positional()) {
        const std::optional<Wanted> wanted = parseWanted(argument, categories);
        const std::optional<recipes::Recipe> recipe =
            wanted ? findRecipe(collection, wanted->category, wanted->name) : std::nullopt;
        if (!recipe) {
            err << argument
                << (wanted ? QStringLiteral(": there is no such recipe in that category; it is not on the list.\n")
                           : QStringLiteral(": no category of the file starts it; write \"Category/Recipe\". It is not on "
                                            "the list.\n"));
            ++missing;
            continue;
        }
        list.add({recipe->name, wanted->category, recipe->ingredients, wanted->factor.value_or(factor)});
    }
    printLines(list.lines().join(QLatin1String("\r\n")), out);
    err.flush();
    return missing > 0 ? SomeRefused : Done;
}

}  // namespace cli
