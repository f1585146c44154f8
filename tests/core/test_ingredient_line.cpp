// Ingredient lines read as amount, unit and item, scaled in place, the servings a recipe names,
// and the shopping list that adds recipes up. The lines are made up, in the two shapes our
// collection holds: MealMaster imports ("1 1/2 c flour") and web recipes ("2–3 tbsp olive oil").
#include "core/ingredient_line.h"
#include "core/recipe_error.h"
#include "core/recipe_scaling.h"
#include "core/servings.h"
#include "core/shopping_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

namespace {

using recipes::CookingUnit;
using recipes::IngredientLine;

constexpr double kNone = -1;  // the line has no amount
constexpr double kThird = 1.0 / 3;

struct LineCase {
    const char16_t *line;
    double low;
    double high;
    std::optional<CookingUnit> unit;
    const char16_t *item;
    double factor;
    const char16_t *scaled;
};

const LineCase kLines[] = {
    // As our MealMaster import writes its columns.
    {u"  1 1/2 c  flour", 1.5, 1.5, CookingUnit::Cup, u"flour", 2, u"  3 c  flour"},
    {u"1 t salt", 1, 1, CookingUnit::Teaspoon, u"salt", 2, u"2 t salt"},
    {u"2 T butter", 2, 2, CookingUnit::Tablespoon, u"butter", 0.5, u"1 T butter"},
    {u"1/2 c sugar", 0.5, 0.5, CookingUnit::Cup, u"sugar", 2, u"1 c sugar"},
    {u"1 ts baking soda", 1, 1, CookingUnit::Teaspoon, u"baking soda", 2, u"2 ts baking soda"},
    {u"3 tb olive oil", 3, 3, CookingUnit::Tablespoon, u"olive oil", kThird, u"1 tb olive oil"},
    {u"1 lb ground beef", 1, 1, CookingUnit::Pound, u"ground beef", 1.5, u"1 1/2 lb ground beef"},
    {u"8 oz cream cheese", 8, 8, CookingUnit::Ounce, u"cream cheese", 0.5, u"4 oz cream cheese"},
    {u"1 pn cayenne", 1, 1, CookingUnit::Pinch, u"cayenne", 2, u"2 pn cayenne"},
    {u"1 ds hot sauce", 1, 1, CookingUnit::Dash, u"hot sauce", 2, u"2 ds hot sauce"},
    {u"2 ea eggs", 2, 2, CookingUnit::Each, u"eggs", 1.5, u"3 ea eggs"},
    {u"1 pk dry yeast", 1, 1, CookingUnit::Package, u"dry yeast", 2, u"2 pk dry yeast"},
    {u"1 cn tomato paste", 1, 1, CookingUnit::Can, u"tomato paste", 0.5, u"0.5 cn tomato paste"},
    {u"2 lg onions, chopped", 2, 2, CookingUnit::Large, u"onions, chopped", 0.5, u"1 lg onions, chopped"},
    {u"1 md carrot", 1, 1, CookingUnit::Medium, u"carrot", 2, u"2 md carrot"},
    {u"3 sm potatoes", 3, 3, CookingUnit::Small, u"potatoes", kThird, u"1 sm potatoes"},
    {u"1 x vanilla pod", 1, 1, CookingUnit::PerServing, u"vanilla pod", 2, u"2 x vanilla pod"},
    {u"1 qt chicken stock", 1, 1, CookingUnit::Quart, u"chicken stock", 0.5, u"1/2 qt chicken stock"},
    {u"1 pt heavy cream", 1, 1, CookingUnit::Pint, u"heavy cream", 1.5, u"1 1/2 pt heavy cream"},
    {u"1 ga water", 1, 1, CookingUnit::Gallon, u"water", 0.5, u"1/2 ga water"},
    {u"500 g  olive oil", 500, 500, CookingUnit::Gram, u"olive oil", 0.5, u"250 g  olive oil"},
    {u"1 kg potatoes", 1, 1, CookingUnit::Kilogram, u"potatoes", 1.5, u"1.5 kg potatoes"},
    {u"250 ml milk", 250, 250, CookingUnit::Millilitre, u"milk", kThird, u"83.33 ml milk"},
    {u"1 l water", 1, 1, CookingUnit::Litre, u"water", 2, u"2 l water"},
    {u"1-2 t chili powder", 1, 2, CookingUnit::Teaspoon, u"chili powder", 2, u"2-4 t chili powder"},
    {u"1/2-1 c raisins", 0.5, 1, CookingUnit::Cup, u"raisins", 2, u"1-2 c raisins"},
    {u"1 T", 1, 1, CookingUnit::Tablespoon, u"", 2, u"2 T"},
    {u"1 tomato", 1, 1, std::nullopt, u"tomato", 2, u"2 tomato"},
    {u"SAUCE", kNone, kNone, std::nullopt, u"", 2, u"SAUCE"},
    {u"1/0 c flour", kNone, kNone, std::nullopt, u"", 2, u"1/0 c flour"},
    // As web recipes write them.
    {u"1 (400 g) can chopped tomatoes", 1, 1, CookingUnit::Can, u"chopped tomatoes", 2,
     u"2 (400 g) can chopped tomatoes"},
    {u"2 (14-oz) cans black beans", 2, 2, CookingUnit::Can, u"black beans", 0.5, u"1 (14-oz) cans black beans"},
    {u"2\u20133 tbsp olive oil", 2, 3, CookingUnit::Tablespoon, u"olive oil", 2, u"4\u20136 tbsp olive oil"},
    {u"2 - 3 cloves garlic", 2, 3, std::nullopt, u"cloves garlic", 0.5, u"1 - 1.5 cloves garlic"},
    {u"2 to 3 cups stock", 2, 3, CookingUnit::Cup, u"stock", 1.5, u"3 to 4 1/2 cups stock"},
    {u"\u00BD tsp salt", 0.5, 0.5, CookingUnit::Teaspoon, u"salt", 2, u"1 tsp salt"},
    {u"1\u00BD cups milk", 1.5, 1.5, CookingUnit::Cup, u"milk", 2, u"3 cups milk"},
    {u"1 \u00BD cups rice", 1.5, 1.5, CookingUnit::Cup, u"rice", kThird, u"1/2 cups rice"},
    {u"1\u20442 tsp ground cumin", 0.5, 0.5, CookingUnit::Teaspoon, u"ground cumin", 0.5, u"1/4 tsp ground cumin"},
    {u"\u00BE cup sugar", 0.75, 0.75, CookingUnit::Cup, u"sugar", 2, u"1 1/2 cup sugar"},
    {u"\u2153 cup honey", kThird, kThird, CookingUnit::Cup, u"honey", 2, u"2/3 cup honey"},
    {u"\u215B tsp nutmeg", 0.125, 0.125, CookingUnit::Teaspoon, u"nutmeg", 0.5, u"1/8 tsp nutmeg"},
    {u"\u2155 cup cream", 0.2, 0.2, CookingUnit::Cup, u"cream", 2, u"3/8 cup cream"},
    {u"1,5 l Milch", 1.5, 1.5, CookingUnit::Litre, u"Milch", 1.5, u"2,25 l Milch"},
    {u"0,5 kg Mehl", 0.5, 0.5, CookingUnit::Kilogram, u"Mehl", 0.5, u"0,25 kg Mehl"},
    {u"1.5 kg beef shin", 1.5, 1.5, CookingUnit::Kilogram, u"beef shin", kThird, u"0.5 kg beef shin"},
    {u"1\u00A0cup\u00A0flour", 1, 1, CookingUnit::Cup, u"flour", 2, u"2\u00A0cup\u00A0flour"},
    {u"400g spaghetti", 400, 400, CookingUnit::Gram, u"spaghetti", 0.5, u"200g spaghetti"},
    {u"2 tablespoons soy sauce", 2, 2, CookingUnit::Tablespoon, u"soy sauce", 1.5, u"3 tablespoons soy sauce"},
    {u"3 Tbsp. butter", 3, 3, CookingUnit::Tablespoon, u"butter", kThird, u"1 Tbsp. butter"},
    {u"1 fl oz dark rum", 1, 1, CookingUnit::FluidOunce, u"dark rum", 2, u"2 fl oz dark rum"},
    {u"2 fluid ounces lime juice", 2, 2, CookingUnit::FluidOunce, u"lime juice", 0.5, u"1 fluid ounces lime juice"},
    {u"1 stick butter", 1, 1, CookingUnit::Stick, u"butter", 1.5, u"1 1/2 stick butter"},
    {u"3 pounds chicken wings", 3, 3, CookingUnit::Pound, u"chicken wings", kThird, u"1 pounds chicken wings"},
    {u"100 grams dark chocolate", 100, 100, CookingUnit::Gram, u"dark chocolate", 1.5, u"150 grams dark chocolate"},
    {u"2 litres vegetable stock", 2, 2, CookingUnit::Litre, u"vegetable stock", 0.5, u"1 litres vegetable stock"},
    {u"500 milliliters coconut milk", 500, 500, CookingUnit::Millilitre, u"coconut milk", kThird,
     u"166.67 milliliters coconut milk"},
    {u"1 large egg", 1, 1, std::nullopt, u"large egg", 2, u"2 large egg"},
    {u"4 cloves", 4, 4, std::nullopt, u"cloves", 0.5, u"2 cloves"},
    {u"Salt and pepper to taste", kNone, kNone, std::nullopt, u"", 2, u"Salt and pepper to taste"},
    {u"For the sauce:", kNone, kNone, std::nullopt, u"", 2, u"For the sauce:"},
    {u"a pinch of saffron", kNone, kNone, std::nullopt, u"", 2, u"a pinch of saffron"},
    {u"2nd batch of dough", kNone, kNone, std::nullopt, u"", 2, u"2nd batch of dough"},
    {u"1 c. flour", 1, 1, CookingUnit::Cup, u"flour", 2, u"2 c. flour"},
    {u"10 mg saffron threads", 10, 10, CookingUnit::Milligram, u"saffron threads", 0.5, u"5 mg saffron threads"},
    {u"2 dl cream", 2, 2, CookingUnit::Decilitre, u"cream", 1.5, u"3 dl cream"},
    {u"5 cl gin", 5, 5, CookingUnit::Centilitre, u"gin", kThird, u"1.67 cl gin"},
    {u"1 1/3 cups oats", 4.0 / 3, 4.0 / 3, CookingUnit::Cup, u"oats", 2, u"2 2/3 cups oats"},
    {u"1/3 cup oil", kThird, kThird, CookingUnit::Cup, u"oil", 0.5, u"1/8 cup oil"},
    {u"3 eggs", 3, 3, std::nullopt, u"eggs", 0.5, u"1.5 eggs"},
    {u"1/2 onion, diced", 0.5, 0.5, std::nullopt, u"onion, diced", kThird, u"1/8 onion, diced"},
    {u"12 ounces pasta", 12, 12, CookingUnit::Ounce, u"pasta", kThird, u"4 ounces pasta"},
    {u"2 1/4 tsp active dry yeast", 2.25, 2.25, CookingUnit::Teaspoon, u"active dry yeast", 2,
     u"4 1/2 tsp active dry yeast"},
    {u"1 L apple juice", 1, 1, CookingUnit::Litre, u"apple juice", 0.5, u"0.5 L apple juice"},
    {u"1 kilogram flour", 1, 1, CookingUnit::Kilogram, u"flour", 1.5, u"1.5 kilogram flour"},
    {u"2 pints milk", 2, 2, CookingUnit::Pint, u"milk", kThird, u"2/3 pints milk"},
    {u"1 package cream cheese", 1, 1, CookingUnit::Package, u"cream cheese", 2, u"2 package cream cheese"},
    // Servings lines are no ingredients, but are scaled with them.
    {u"Yield: 4 servings", kNone, kNone, std::nullopt, u"", 2, u"Yield: 8 servings"},
    {u"Serves 4-6", kNone, kNone, std::nullopt, u"", 1.5, u"Serves 6-9"},
};

TEST(IngredientLine, ReadsAmountUnitAndItemAndScalesOnlyTheAmountInPlace)
{
    for (const LineCase &c : kLines) {
        const QString line = QString::fromUtf16(c.line);
        SCOPED_TRACE(line.toStdString());
        const auto read = IngredientLine::read(line);
        if (c.low == kNone) {
            EXPECT_FALSE(read.has_value());
        } else {
            ASSERT_TRUE(read.has_value());
            EXPECT_NEAR(read->quantity.low, c.low, 1e-9);
            EXPECT_NEAR(read->quantity.high, c.high, 1e-9);
            EXPECT_EQ(read->unit, c.unit);
            EXPECT_EQ(read->item, QString::fromUtf16(c.item));
        }
        EXPECT_EQ(recipes::scaledIngredientLine(line, c.factor), QString::fromUtf16(c.scaled));
    }
}

TEST(IngredientLine, ScalingRefusesFactorsThatAreNotFiniteAndAboveZero)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double factor : {0.0, -2.0, nan, inf, -inf}) {
        SCOPED_TRACE(factor);
        EXPECT_THROW(recipes::scaledIngredientLine(u"1 c flour", factor), recipes::Error);
        EXPECT_THROW(recipes::scaledIngredients(u"1 c flour\r\nsalt", factor), recipes::Error);
        EXPECT_THROW(recipes::ingredientsForServings(u"Serves 4\r\n1 c flour", factor), recipes::Error);
        recipes::ShoppingList list;
        EXPECT_THROW(list.add({QStringLiteral("Bread"), QStringLiteral("Baking"), QStringLiteral("1 c flour"), factor}),
                     recipes::Error);
        EXPECT_TRUE(list.recipes().empty());
    }
    // An amount that would grow past any number, or past what is written digit for digit, is
    // refused by the scaler and by the list alike, not written as "inf" or with made-up digits.
    const struct {
        QStringList ingredients;  // of the recipes added in turn; the last is refused
        double factor;
    } tooLarge[] = {
        {{QStringLiteral("1") + QString(306, u'0') + QStringLiteral(" cups flour")}, 1000},
        {{QStringLiteral("10 c flour")}, 1e308},
        {{QStringLiteral("2000000000 eggs")}, 1000},
        {{QStringLiteral("600000000000 cups flour"), QStringLiteral("1 c sugar\r\n600000000000 c flour")}, 1},
    };
    for (const auto &c : tooLarge) {
        SCOPED_TRACE(c.ingredients.join(u'|').left(40).toStdString());
        recipes::ShoppingList list;
        for (qsizetype i = 0; i + 1 < c.ingredients.size(); ++i)
            list.add({QStringLiteral("Bread"), QStringLiteral("Baking"), c.ingredients[i], c.factor});
        const QStringList listed = list.lines();
        if (c.ingredients.size() == 1) {
            EXPECT_THROW(recipes::scaledIngredients(c.ingredients.back(), c.factor), recipes::Error);
        }
        EXPECT_THROW(list.add({QStringLiteral("Loaf"), QStringLiteral("Baking"), c.ingredients.back(), c.factor}),
                     recipes::Error);
        EXPECT_EQ(list.recipes().size(), std::size_t(c.ingredients.size() - 1)) << "a refused recipe stays off";
        EXPECT_EQ(list.lines(), listed);
    }
    // Servings are asked for, but the recipe says none.
    EXPECT_THROW(recipes::ingredientsForServings(u"1 c flour\r\n2 eggs", 4), recipes::Error);
}

TEST(Servings, ReadFromTheFirstYieldLineOrAnyServesOrMakesLineAndScaledTo)
{
    const struct {
        const char16_t *ingredients;
        std::optional<double> servings;
    } cases[] = {
        {u"Yield: 4 servings\r\n2 c flour", 4},
        {u"Yield: 2 loaves\r\n500 g flour", 2},
        {u"  Servings: 6\r\n1 t salt", 6},
        {u"Yield: 1 1/2 quarts", 1.5},
        {u"1 c flour\r\nServes 4-6", 4},
        {u"Makes 12 muffins\r\n2 c flour", 12},
        {u"serves 3", 3},
        {u"Makes 6\r\nServes 2", 6},
        {u"Yield: one loaf\r\nServes 8", 8},
        {u"2 eggs\r\nYield: 4", std::nullopt},
        {u"2 eggs\r\n1 c milk", std::nullopt},
        {u"Serves 0", std::nullopt},
        {u"", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.ingredients).toStdString());
        EXPECT_EQ(recipes::servingsOf(QString::fromUtf16(c.ingredients)), c.servings);
    }
    EXPECT_EQ(recipes::ingredientsForServings(u"Yield: 4 servings\r\n2 c flour\r\n\r\nSalt to taste\r\n3 eggs", 6),
              QStringLiteral("Yield: 6 servings\r\n3 c flour\r\n\r\nSalt to taste\r\n4.5 eggs"));
}

struct Source {
    const char16_t *ingredients;
    double factor;
};

TEST(ShoppingList, AddsItemsOfOneKindOfUnitAndListsTheRestOnceSortedByItem)
{
    const struct {
        std::vector<Source> recipes;
        QStringList lines;
    } cases[] = {
        {{{u"Yield: 4\r\nFor the dough:\r\n2 c flour\r\n1 tsp salt\r\n2 eggs\r\nSalt and pepper to taste", 1},
          {u"1/2 cup flour\r\n1 tbsp salt\r\n3 eggs\r\nSAUCE\r\n200 g flour\r\nSalt and pepper to taste", 2}},
         {QStringLiteral("8 eggs"), QStringLiteral("3 cups flour"), QStringLiteral("400 g flour"),
          QStringLiteral("2 1/3 tbsp salt"), QStringLiteral("Salt and pepper to taste")}},
        {{{u"2 tomatoes\r\n500 ml milk\r\n1 olive\r\n1 (400 g) can chopped tomatoes", 1},
          {u"1 ea tomato\r\n1 l milk\r\n4 olives\r\n2 (400 g) cans chopped tomatoes\r\n1,5 kg Kartoffeln", 1.5},
          {u"300 g Kartoffeln", 0.5}},
         {QStringLiteral("4 (400 g) cans chopped tomatoes"), QStringLiteral("2,4 kg Kartoffeln"),
          QStringLiteral("2 l milk"), QStringLiteral("7 olives"), QStringLiteral("3.5 tomatoes")}},
        {{{u"2-3 tbsp olive oil\r\n12 oz pasta\r\n1 pinch nutmeg", 1},
          {u"1 tbsp olive oil\r\n1 lb pasta\r\n1 pn nutmeg\r\n2 cups stock", 1},
          {u"3 cups stock\r\n1 cup stock", kThird}},
         {QStringLiteral("2 pinches nutmeg"), QStringLiteral("3-4 tbsp olive oil"), QStringLiteral("1 3/4 lb pasta"),
          QStringLiteral("3 1/3 cups stock")}},
        // Sums in millilitres or litres, never in the cl or dl they were read in.
        {{{u"500 ml stock\r\n2 dl cream", 1.5}, {u"25 cl cream", 1}},
         {QStringLiteral("550 ml cream"), QStringLiteral("750 ml stock")}},
        {{{u"1 tsp vanilla\r\nFresh basil\r\n1 tsp vanilla", 0.5}, {u"  Fresh basil\r\n1/4 tsp vanilla", 1}},
         {QStringLiteral("Fresh basil"), QStringLiteral("1 1/4 tsp vanilla")}},
    };
    for (const auto &c : cases) {
        recipes::ShoppingList list;
        for (const Source &s : c.recipes)
            list.add({QStringLiteral("Recipe"), QStringLiteral("Mains"), QString::fromUtf16(s.ingredients), s.factor});
        SCOPED_TRACE(c.lines.join(u'|').toStdString());
        EXPECT_EQ(list.lines(), c.lines);
        EXPECT_EQ(list.recipes().size(), c.recipes.size());
        list.clear();
        EXPECT_TRUE(list.lines().isEmpty());
        EXPECT_TRUE(list.recipes().empty());
    }
}

}  // namespace
