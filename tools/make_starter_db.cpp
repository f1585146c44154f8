// Writes a starter recipe database: a few categories with recipes of our own, and the empty
// "zzzNothing" category that sorts last. Usage: make_starter_db <path/to/Recipe.mdb>
// Never overwrites an existing file.

#include "core/collection.h"

#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

namespace {

struct Recipe {
    const char *name;
    const char *author;
    std::vector<const char *> ingredients;
    std::vector<const char *> instructions;
};

struct Category {
    const char *name;
    std::vector<Recipe> recipes;
};

const std::vector<Category> kCategories = {
    {"Breads",
     {{"Overnight Oat Loaf", "Saporium Kitchen",
       {"300 g bread flour", "100 g rolled oats", "1 tsp salt", "1/2 tsp dried yeast", "320 ml cool water",
        "1 tbsp honey"},
       {"Stir everything together in a large bowl until no dry flour remains.",
        "Cover and leave on the counter overnight, 10 to 12 hours.",
        "Tip the dough onto a floured board, fold it over itself a few times and shape a round.",
        "Rest 45 minutes while the oven heats to 230 C with a lidded pot inside.",
        "Bake 30 minutes covered and 15 minutes uncovered. Cool before slicing."}},
      {"Skillet Cornbread", "Saporium Kitchen",
       {"150 g cornmeal", "120 g plain flour", "2 tsp baking powder", "1/2 tsp salt", "2 eggs",
        "250 ml buttermilk", "60 g melted butter"},
       {"Heat the oven to 210 C with a buttered cast-iron pan inside.",
        "Whisk the dry ingredients; whisk the eggs, buttermilk and butter separately.",
        "Combine with a few strokes and pour into the hot pan.",
        "Bake 20 minutes, until golden and a skewer comes out clean."}}}},
    {"Desserts",
     {{"Lemon Yogurt Cake", "Saporium Kitchen",
       {"200 g plain yogurt", "3 eggs", "180 g sugar", "zest of 2 lemons", "120 ml sunflower oil",
        "220 g plain flour", "2 tsp baking powder"},
       {"Heat the oven to 180 C and line a loaf tin.", "Whisk yogurt, eggs, sugar, zest and oil until smooth.",
        "Fold in the flour and baking powder.", "Bake 45 minutes. Drizzle with lemon juice while warm."}},
      {"Baked Apples with Walnuts", "Saporium Kitchen",
       {"4 firm apples", "40 g walnuts, chopped", "2 tbsp brown sugar", "1/2 tsp cinnamon", "20 g butter"},
       {"Core the apples, leaving the bottoms closed.", "Mix walnuts, sugar and cinnamon and fill the apples.",
        "Top each with a little butter and bake at 190 C for 35 minutes."}}}},
    {"Main Dishes",
     {{"Chickpea and Spinach Stew", "Saporium Kitchen",
       {"2 tbsp olive oil", "1 onion, sliced", "3 cloves garlic", "1 tsp smoked paprika", "400 g chopped tomatoes",
        "2 tins chickpeas, drained", "200 g spinach", "salt and pepper"},
       {"Soften the onion in the oil over a medium heat, about 8 minutes.",
        "Add garlic and paprika and cook one minute more.",
        "Add tomatoes and chickpeas; simmer 15 minutes.", "Stir in the spinach until wilted and season."}},
      {"Roast Chicken Thighs with Potatoes", "Saporium Kitchen",
       {"8 chicken thighs", "800 g small potatoes, halved", "1 lemon", "4 sprigs thyme", "3 tbsp olive oil",
        "salt"},
       {"Heat the oven to 200 C.", "Toss potatoes with oil, salt and thyme in a roasting tin.",
        "Lay the thighs on top, skin up, with lemon wedges around them.",
        "Roast 45 minutes, until the skin is crisp and the potatoes tender."}}}},
    {"Salads",
     {{"Cucumber and Dill Salad", "Saporium Kitchen",
       {"2 cucumbers, thinly sliced", "1 small red onion", "3 tbsp sour cream", "1 tbsp white wine vinegar",
        "a handful of dill", "salt"},
       {"Salt the cucumbers and leave 10 minutes; squeeze out the water.",
        "Stir in onion, sour cream, vinegar and chopped dill. Serve cold."}}}},
    {"Soups",
     {{"Roasted Carrot Soup", "Saporium Kitchen",
       {"800 g carrots", "1 onion", "1 tsp ground cumin", "1 l vegetable stock", "2 tbsp olive oil"},
       {"Roast carrots and onion with oil and cumin at 200 C for 35 minutes.",
        "Simmer with the stock for 10 minutes, then blend until smooth.", "Season and serve with crusty bread."}},
      {"Green Pea Soup with Mint", "Saporium Kitchen",
       {"500 g frozen peas", "1 leek, sliced", "750 ml stock", "a few mint leaves", "1 tbsp butter"},
       {"Soften the leek in the butter.", "Add stock and peas; simmer 8 minutes.",
        "Blend with the mint and season to taste."}}}},
    {"zzzNothing", {}},
};

QString lines(const std::vector<const char *> &parts)
{
    QStringList out;
    for (const char *p : parts)
        out << QString::fromUtf8(p);
    return out.join(QStringLiteral("\r\n"));
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_starter_db <path/to/Recipe.mdb>\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    if (QFileInfo::exists(path)) {
        std::fprintf(stderr, "%s exists already; it is left as it is.\n", argv[1]);
        return 1;
    }
    try {
        recipes::Collection::create(path, recipes::kBuiltInPassword);
        recipes::Collection collection(path, recipes::kBuiltInPassword);
        for (const Category &category : kCategories) {
            const QString name = QString::fromUtf8(category.name);
            collection.addCategory(name);
            for (const Recipe &recipe : category.recipes)
                collection.addRecipe(name, {QString::fromUtf8(recipe.name), QString::fromUtf8(recipe.author),
                                            lines(recipe.ingredients), lines(recipe.instructions)});
        }
        collection.close();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("wrote %s\n", argv[1]);
    return 0;
}
