#pragma once
// What a user types to scale a recipe by: a factor, or the servings to make. Both are read as
// readPositiveAmount reads an amount, within one set of limits, and refused with one message
// each, wherever they are typed: the command line's options and "*N", the Scale box.

#include <QString>
#include <QStringView>

#include <optional>

namespace recipes {

// Beyond a thousandfold a number is a slip of the finger, and amounts soon outgrow what a
// list writes digit for digit.
inline constexpr double kMostFactor = 1000;
inline constexpr int kMostServings = 1000;

// The factor typed, above 0 and at most kMostFactor; nothing for anything else.
std::optional<double> readFactor(QStringView typed);
// The servings typed, above 0 and at most kMostServings; nothing for anything else.
std::optional<double> readServings(QStringView typed);
// Why readFactor or readServings gave nothing, in words that fit after a colon.
QString factorRule();
QString servingsRule();

// True when the text is meant as a number, whether or not it reads as one: a sign, then "nan",
// "inf" or "infinity", or digits (or a vulgar fraction) with separators, slashes, dashes, blanks
// and an exponent ("1e308", "-2", "1,5", "3-4"). "2 crusts" is no number.
bool looksLikeNumber(QStringView text);

}  // namespace recipes
