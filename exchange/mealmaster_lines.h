#pragma once
// The MealMaster line grammar, shared by the reader and the writer so that whatever the writer
// puts in a column, the reader takes back from the same column.
//
// An ingredient line holds a quantity in columns 1-7, a unit code in 9-10 and the text from 12
// (0-based: 0-6, 8-9, 11); a two-column list holds a second ingredient from column 42.

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace exchange::mealmaster {

inline constexpr qsizetype kQuantityWidth = 7;
inline constexpr qsizetype kUnitStart = 8;
inline constexpr qsizetype kUnitWidth = 2;
inline constexpr qsizetype kTextStart = 11;
inline constexpr qsizetype kSecondColumn = 41;

// One ingredient's cells, each trimmed with its runs of blanks collapsed.
struct Cells {
    QString quantity;
    QString unit;
    QString text;

    bool blank() const { return quantity.isEmpty() && unit.isEmpty() && text.isEmpty(); }
    // The text after a leading "-" when the cells only continue the ingredient above.
    std::optional<QString> continuation() const;
    // As a cook reads it: "1 1/2 c flour".
    QString joined() const;
};

struct IngredientRow {
    Cells left;
    std::optional<Cells> right;  // the second column, when the line holds two ingredients
};

// One ingredient's cells as the line holds them, before trimming and collapsing.
struct CellSpans {
    QStringView quantity;
    QStringView unit;
    QStringView text;

    bool blank() const;
};

struct RowSpans {
    CellSpans left;
    std::optional<CellSpans> right;
};

// The ingredients on a line (tabs already expanded); nothing when the columns do not fit.
std::optional<IngredientRow> ingredientRow(QStringView line);
// The same cells, as views into the line.
std::optional<RowSpans> ingredientSpans(QStringView line);
// The name of a section header such as "MMMMM-----SAUCE-----" or "-----SAUCE-----" (empty for a
// line of dashes alone); nothing when the line is no section header.
std::optional<QString> sectionName(QStringView line);

// Digits, fractions, decimals and ranges, as the quantity column holds them.
bool isQuantityText(QStringView text);
// One of the format's unit codes ("c", "ts", "T", "lb" ...).
bool isUnitCode(QStringView text);

QString collapseBlanks(QStringView text);
// Appends the text's words (runs of anything but space and tab), each after a space but the
// first of all when first is true; returns first as it is after them (still true: no words).
bool appendWords(QString &out, QStringView text, bool first);
QString expandTabs(const QString &line);

// How a recipe is framed: "MMMMM----- Recipe via Meal-Master ..." up to "MMMMM", or
// "---------- Recipe via Meal-Master ..." up to "-----".
enum class Style { Mmmmm, Dashes };
std::optional<Style> recipeStart(QByteArrayView line);
bool isRecipeEnd(QByteArrayView line, Style style);

}  // namespace exchange::mealmaster
