#pragma once
// The commands that read recipes for cooking: "scale" prints a recipe's ingredients scaled, and
// "shopping-list" what several recipes need together. Both only read the file.

#include <QString>

class QTextStream;

namespace recipes {
class Collection;
}

namespace cli {

class Arguments;

// --category C --recipe NAME and one of --factor X or --servings N: the scaled ingredient
// lines on out, one per line. Throws UsageError or recipes::Error; returns the exit code.
int scaleRecipe(const recipes::Collection &collection, const Arguments &args, const QString &database,
                QTextStream &out);

// "Category/Recipe" arguments, or with --category C the names of recipes in C, each with an
// optional "*N" after it that scales that one in place of --factor (default 1): the list's lines
// on out. An argument that finds no recipe, names two, or has an "*N" out of the factor's limits
// is told on err and the others still listed, with exit code 1. Throws UsageError or
// recipes::Error (an amount too large to write, a --category the file lacks).
int shoppingList(const recipes::Collection &collection, const Arguments &args, const QString &database,
                 QTextStream &out, QTextStream &err);

}  // namespace cli
