#pragma once
// An amount as recipes write it, read and written back: "2", "1.5", "1,5", "1/2", "1 1/2", "½",
// "1½", "1 ½", "1⁄2", and ranges of two of them ("2-3", "2 – 3", "2 to 3", "1/2-1"). A comma
// before digits is a decimal separator, as in most of Europe, never one of thousands.

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

namespace recipes {

struct Quantity {
    double low = 0;
    double high = 0;           // equal to low but for a range
    bool range = false;
    bool fractional = false;   // an end was written as a fraction or a mixed number
    QChar decimalSeparator = u'.';
    // Where the ends stand in the text: [start, lowEnd) and, for a range, [highStart, end).
    qsizetype start = 0;
    qsizetype lowEnd = 0;
    qsizetype highStart = 0;
    qsizetype end = 0;
};

// The amount that starts exactly at from; nothing when none does (or a fraction divides by 0).
std::optional<Quantity> readQuantity(QStringView text, qsizetype from);
// An amount typed alone, as a factor or a number of servings: "2", "0.5", "1,5", "1/2", "1 1/2" or
// "½", blanks around it allowed; nothing for anything else, a range or a number not above 0.
std::optional<double> readPositiveAmount(QStringView typed);
// True for a digit or one of the Unicode vulgar fractions: where an amount may start.
bool startsQuantity(QChar c);
// Past the blanks at from: spaces, tabs and the no-break spaces web pages put between an amount
// and its unit.
qsizetype blanksEnd(QStringView text, qsizetype from);

// True for an amount quantityText writes digit for digit: a finite number below a million
// million. Scaling and adding up refuse an amount past it rather than write it wrongly.
bool isWritableAmount(double value);

// An amount as the scaler writes it. As a fraction: the nearest whole number with eighths,
// thirds or two thirds ("2 1/3", "3/4"), never "0" (1/8 at least). Else as a decimal with at
// most two places and no trailing zeros, with the given separator (0.01 at least).
QString quantityText(double value, bool fractional, QChar decimalSeparator);

}  // namespace recipes
