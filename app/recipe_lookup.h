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

// The name as given when the list holds it, else the first that differs only in letter case.
std::optional<QString> matching(const QStringList &names, const QString &wanted);

// The category of that name, as matching finds it; throws recipes::Error naming the file when
// it has none.
QString existingCategory(const QStringList &categories, const QString &wanted, const QString &database);

// The recipe of that name (as matching finds it) in the category, named as the file names it;
// nothing when there is none.
std::optional<recipes::Recipe> findRecipe(const recipes::Collection &collection, const QString &category,
                                          const QString &name);

}  // namespace cli
