#pragma once
// Reads MealMaster recipe files: any number of recipes, in either framing ("MMMMM----- Recipe via
// Meal-Master" ... "MMMMM", or "---------- Recipe via Meal-Master" ... "-----"), with whatever
// text lies between them ignored.
//
// The file is read line by line and one recipe at a time is held, so a file of any size can be
// read; a recipe longer than a limit (read_limits.h) is refused and the others read. Each recipe's text is taken as UTF-8 when all its bytes are valid UTF-8, else as Latin-1.
//
// A recipe becomes four fields: the name from its title; no author (the format has none, so a
// "From:" line stays in the instructions); the ingredients one line each as a cook reads them
// ("1 1/2 c flour"), section headers as lines of their own, led by "Yield: ..." when the recipe
// gives a yield or servings ("Servings: 1", which is what a recipe without any says, gives none);
// the instructions one line per paragraph. Its first category comes with it.

#include "exchange/imported_recipe.h"
#include "exchange/read_limits.h"

#include <functional>

class QIODevice;

namespace exchange {

using RecipeSink = std::function<void(const ImportedRecipe &)>;
using ProblemSink = std::function<void(const ImportProblem &)>;

// Reads the device from its position to its end; sourceName (the file's name) starts each place
// given. A recipe without a title, without its end line, or of more than longestRecipe bytes is
// told to onProblem and skipped, and the reading goes on with the next one; so is a device that
// fails to read.
void readMealMaster(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, qsizetype longestRecipe = kLongestMealMasterRecipe);

}  // namespace exchange
