#pragma once
// The units an ingredient line may name, read as a cook writes them ("tbsp", "Tablespoons",
// "fl. oz.") or as a MealMaster unit column holds them ("T", "ts", "pn"), and what can be added
// to what.

#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace recipes {

enum class CookingUnit {
    Teaspoon, Tablespoon, Cup,                      // US volume: 3 tsp = 1 tbsp, 16 tbsp = 1 cup
    Milligram, Gram, Kilogram,                      // metric weight
    Millilitre, Centilitre, Decilitre, Litre,       // metric volume
    Ounce, Pound,                                   // US weight: 16 oz = 1 lb
    FluidOunce, Pint, Quart, Gallon, Stick,         // other US units, each added only to itself
    Pinch, Dash, Each, Package, Can, Small, Medium, Large, PerServing,
};

// Units that add up with one another; every unit outside the four families is a kind of its own.
enum class UnitKind { UsVolume, MetricWeight, MetricVolume, UsWeight, Own };

struct UnitWord {
    CookingUnit unit;
    qsizetype end;  // just past the word, and past its dot if it has one
};

// The unit written at from, when a whole word there names one ("1 large egg" names none). Case
// is ignored but for MealMaster's "t" (teaspoon) and "T" (tablespoon).
std::optional<UnitWord> readUnit(QStringView line, qsizetype from);

UnitKind kindOf(CookingUnit unit);
// How many of the kind's smallest unit the unit holds (1 for a unit of its own kind).
double sizeInKind(CookingUnit unit);
// The units a sum of the kind is written in, from the largest down; empty for a unit's own kind.
// Volumes are written in l and ml only: cl and dl are read, but cooks write 750 ml, not 7.5 dl.
std::span<const CookingUnit> writtenUnitsOfKind(UnitKind kind);
// Units whose amounts a cook writes as fractions ("1 1/2 cups").
bool isUsUnit(CookingUnit unit);
// The short name a shopping list writes ("tbsp", "cups", "g"); empty for "each".
QString unitName(CookingUnit unit, bool plural);

}  // namespace recipes
