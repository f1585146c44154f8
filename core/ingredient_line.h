#pragma once
// One line of a recipe's ingredients read as amount, unit and item: "  1 1/2 c  flour" (as our
// MealMaster import writes it), "1 (400 g) can chopped tomatoes", "2–3 tbsp olive oil". A line
// that does not start with an amount (after blanks) is no ingredient with an amount: "Salt to
// taste", "For the sauce:", "Yield: 4".

#include "core/cooking_unit.h"
#include "core/quantity_text.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace recipes {

struct IngredientLine {
    Quantity quantity;                // where it stands in the line, for the scaler to replace
    QString size;                     // "(400 g)": a size after the amount, part of the item, never scaled
    std::optional<CookingUnit> unit;
    QString item;                     // the rest: the item and any note, as written

    // Reads the line; nothing when it starts with no amount. An amount glued to letters that
    // name no unit ("2nd") is no amount; one glued to a unit ("400g") is.
    static std::optional<IngredientLine> read(QStringView line);
};

// The amount and the unit alone, read as IngredientLine::read reads them, without copying any
// of the line: what the scaler needs of every line.
struct IngredientAmount {
    Quantity quantity;
    std::optional<CookingUnit> unit;

    static std::optional<IngredientAmount> read(QStringView line);
};

}  // namespace recipes
