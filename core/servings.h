#pragma once
// How many a recipe serves, read from its ingredients: a first line "Yield: ..." or
// "Servings: ..." (what our imports write) gives the first number in it; else the first line
// "Serves N" or "Makes N" anywhere. Of a range ("Serves 4-6") the lower end counts: scaling
// from fewer servings never leaves a cook short. Labels are read without case.

#include "core/quantity_text.h"

#include <QStringView>

#include <optional>

namespace recipes {

// The amount on a servings line of any of the four labels, wherever the line stands; nothing
// for any other line, or one whose label is followed by no number.
std::optional<Quantity> servingsQuantity(QStringView line);
// True for a line with one of the four labels, number or not.
bool isServingsLine(QStringView line);

// The servings of an ingredients text (lines separated by CR LF); nothing when it names none
// above 0.
std::optional<double> servingsOf(QStringView ingredients);

}  // namespace recipes
