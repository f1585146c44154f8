#pragma once
// What an import yields: each recipe read from a file with the category the file gave it and the
// place it came from, and each part of the file that could not be read, with why.

#include "core/recipe.h"

#include <QString>

namespace exchange {

struct ImportedRecipe {
    recipes::Recipe recipe;
    QString category;  // the file's first category for the recipe; empty when it gives none
    QString where;     // "file.mmf:120": the file and the line the recipe starts on
};

struct ImportProblem {
    QString where;   // as in ImportedRecipe
    QString reason;  // a sentence the user can read
};

}  // namespace exchange
