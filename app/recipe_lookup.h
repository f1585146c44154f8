#pragma once
// Finding what the user named on the command line: a category and a recipe in it. Names
// are matched as the tree shows them (trimmed), exactly first and then without letter case, so
// that "soups" finds "Soups" and a file with both "Pie" and "pie" still reaches each.

#include <QString>
#include <QStringList>

#include <optional>

namespace recipes {
class Collection;
struct Recipe;
}  // namespace recipes

namespace cli {

// The category of that name; throws recipes::Error naming the file when it has none.
QString existingCategory(const QStringList &categories, const QString &wanted, const QString &database);

// The recipe of that name in the category (as existingCategory finds it); nothing when there is
// no such category or no such recipe in it.
std::optional<recipes::Recipe> findRecipe(const recipes::Collection &collection, const QString &category,
                                          const QString &name);

}  // namespace cli
