#pragma once
// Writes recipes as MealMaster text in the "MMMMM" framing, which readMealMaster reads back to
// the same name, ingredients and instructions (the format has no author). UTF-8, CR LF line ends.
//
// The header names the recipe, its category (a comma in it written as ';', and cut to fit 80
// columns) and its servings: a first ingredient line "Yield: ..." gives them, as "Servings: N" for
// a plain number, else as "Yield: ..."; a recipe without one gets "Servings: 1", which the reader
// takes for no yield. An ingredient line in capitals
// becomes a section header; other ingredient lines fill the quantity and unit columns when they
// start with a quantity (and a unit code), and run on continuation lines when long. Each
// instructions line is a paragraph, wrapped at 78 columns between words.

#include "core/recipe.h"

#include <QByteArray>
#include <QString>

class QIODevice;

namespace exchange {

// One recipe with its category, followed by a blank line, so that recipes can be written one
// after another into one file.
QByteArray mealMasterText(const recipes::Recipe &recipe, const QString &category);
// The same, written to the device; false when the device does not take all of it.
bool writeMealMaster(QIODevice &device, const recipes::Recipe &recipe, const QString &category);

}  // namespace exchange
