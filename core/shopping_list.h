#pragma once
// A shopping list over several recipes, each scaled by its own factor. Lines with an amount and
// the same item add up when their units are of one kind: teaspoons, tablespoons and cups; mg, g
// and kg; ml, cl, dl and l; ounces and pounds; the same other unit ("can", "pinch"); or no unit
// at all or "each" (counts: "2 eggs" + "3 ea eggs" = "5 eggs"). A sum is written in the largest unit of its
// kind that keeps it at 1 or more (ml or l for a volume), as the scaler writes amounts: fractions for US units (and for
// other units and counts when a summed line had one), decimals for metric units. One item in
// units of two kinds gives one line per kind.
//
// Items are the same when they are once lower-cased, trimmed, their runs of blanks made one and
// then the first of these endings dropped: "es"; else "s" (not of "ss"); else "e" ("tomatoes" =
// "tomato", "olives" = "olive", "eggs" = "egg"). A size in brackets ("(400 g)") must match too.
//
// Lines without an amount are listed once each, trimmed, as they are. Servings lines ("Yield:",
// "Servings:", "Serves", "Makes") and headings (a line without an amount that ends in ":" or has
// no lower-case letter, as "For the sauce:" or "SAUCE") are left out. The list is sorted by item
// (for a line without an amount, the line) without case.
//
// A value: the recipes it holds are copies, and the lines are worked out when asked for.

#include <QString>
#include <QStringList>

#include <vector>

namespace recipes {

struct ShoppingRecipe {
    QString name;
    QString category;
    QString ingredients;  // lines separated by CR LF
    double factor = 1;

    friend bool operator==(const ShoppingRecipe &, const ShoppingRecipe &) = default;
};

class ShoppingList {
public:
    // Throws recipes::Error, and leaves the list as it was, when the factor is not a finite number
    // above 0 or a sum with this recipe would grow past what is written digit for digit
    // (isWritableAmount), as scaling refuses it.
    void add(const ShoppingRecipe &recipe);
    void clear() { recipes_.clear(); }
    const std::vector<ShoppingRecipe> &recipes() const { return recipes_; }

    // Throws recipes::Error for an amount too large to write, which add() lets no list hold.
    QStringList lines() const;

private:
    std::vector<ShoppingRecipe> recipes_;
};

}  // namespace recipes
