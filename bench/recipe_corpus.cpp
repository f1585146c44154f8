#include "bench/recipe_corpus.h"

#include <array>
#include <stdexcept>

namespace bench {

namespace {

constexpr std::array kStyles = {
    "Smoky",   "Golden",   "Rustic",  "Quick",   "Spiced",    "Creamy",   "Crispy",  "Slow",
    "Tangy",   "Herbed",   "Charred", "Toasted", "Sticky",    "Light",    "Hearty",  "Zesty",
    "Braised", "Glazed",   "Fresh",   "Sunday",  "Midweek",   "Peppery",  "Silky",   "Roasted",
    "Brown",   "Honeyed",  "Lemony",  "Gingery", "Buttery",   "Crème",    "Garlicky", "Wild",
};
constexpr std::array kMains = {
    "Lentil",  "Chickpea",  "Barley",   "Pumpkin",  "Leek",    "Mushroom", "Carrot",  "Beetroot",
    "Salmon",  "Mackerel",  "Chicken",  "Lamb",     "Pork",    "Beef",     "Tofu",    "Aubergine",
    "Fennel",  "Cabbage",   "Potato",   "Parsnip",  "Onion",   "Tomato",   "Pepper",  "Courgette",
    "Spinach", "Kale",      "Bean",     "Pea",      "Rice",    "Oat",      "Apple",   "Pear",
    "Plum",    "Cherry",    "Rhubarb",  "Lemon",    "Orange",  "Walnut",   "Hazelnut", "Almond",
    "Cod",     "Prawn",     "Duck",     "Turkey",   "Egg",     "Cheese",   "Ricotta", "Jalapeño",
};
constexpr std::array kDishes = {
    "Stew",   "Soup",    "Pie",      "Tart",    "Salad",  "Bake",   "Curry",   "Risotto",
    "Gratin", "Fritters", "Loaf",    "Cake",    "Crumble", "Skewers", "Pilaf",  "Broth",
    "Hash",   "Roast",   "Dumplings", "Pancakes", "Chowder", "Ragout", "Casserole", "Flatbread",
    "Sauce",  "Galette", "Muffins",  "Slaw",    "Terrine", "Parcels",
};
constexpr std::array kGarnishes = {
    "Dill",    "Mint",     "Sage",      "Thyme",  "Capers",  "Yogurt", "Chives", "Walnuts",
    "Parsley", "Lemon Zest", "Brown Butter", "Chilli Oil", "Crispy Shallots", "Rye Crumbs",
    "Garlic Cream", "Toasted Seeds", "Pickled Onions", "Salsa Verde",
};
constexpr std::array kFirstNames = {
    "Ilse", "Marta", "Tomas", "Anouk", "Ravi", "Greta", "Hugo", "Noor", "Petra", "Jonas",
    "Leila", "Bram", "Sanne", "Oskar", "Yara", "Emil", "Rosa", "Femi", "Ines", "Kasper",
};
constexpr std::array kLastNames = {
    "Marchetti", "Okafor", "Lindqvist", "Haddad", "Brennan", "Novak", "Castell", "Varga",
    "Delacroix", "Moreau", "Sato", "Kowalski", "Reyes", "Berglund", "Amari", "Fischer",
    "Oyelaran", "Quint", "Hale", "Duarte",
};
constexpr std::array kAmounts = {
    "1", "2", "3", "4", "6", "1/2", "1 1/2", "250 g", "400 g", "100 g", "150 ml", "300 ml",
    "1 l", "2 tbsp", "1 tbsp", "1 tsp", "1/2 tsp", "a pinch of", "a handful of", "500 g",
};
constexpr std::array kItems = {
    "red lentils, rinsed", "plain flour", "unsalted butter, cold and diced", "olive oil",
    "onions, finely chopped", "cloves garlic, crushed", "vegetable stock", "whole milk",
    "double cream", "caster sugar", "eggs, beaten", "sea salt", "black pepper, freshly ground",
    "ground cumin", "smoked paprika", "chopped tomatoes", "carrots, peeled and diced",
    "celery sticks, sliced", "bay leaves", "fresh thyme leaves", "lemon juice", "dry white wine",
    "rolled oats", "baking powder", "grated hard cheese", "spring onions, sliced",
    "chicken thighs, boned", "pearl barley", "dark brown sugar", "toasted sesame seeds",
    "flat-leaf parsley, chopped", "potatoes, peeled and quartered", "frozen peas",
    "soy sauce", "honey", "ground cinnamon", "apples, cored and sliced", "white wine vinegar",
};
constexpr std::array kSteps = {
    "Heat the oven to 200 C and line a large baking tray with paper.",
    "Warm the oil in a heavy pan over a medium heat and add the onions with a pinch of salt.",
    "Cook gently for ten minutes, stirring now and then, until soft and just turning golden.",
    "Add the garlic and the spices and stir for a minute more, until fragrant.",
    "Pour in the stock, bring to the boil, then lower the heat and simmer for twenty minutes.",
    "Meanwhile whisk the eggs with the milk and a little pepper in a jug.",
    "Rub the butter into the flour with your fingertips until it looks like coarse crumbs.",
    "Tip the mixture into the tin, level the top and bake until risen and golden.",
    "Taste and season with salt, pepper and a squeeze of lemon juice.",
    "Leave to rest for ten minutes before slicing, so the juices settle.",
    "Stir in the herbs at the very end so they keep their colour.",
    "If the sauce is too thick, loosen it with a splash of hot water.",
    "Serve warm with crusty bread, or cool completely and keep in the fridge for two days.",
    "Fold the dry ingredients into the wet ones with a few strokes; a few lumps are fine.",
    "Roast for thirty-five minutes, turning everything once halfway through.",
    "Drain well, return to the pan and shake over the heat for a minute to dry.",
    "Scatter over the seeds and a little more oil just before serving.",
    "Cover the pot, turn the heat right down and leave it to cook slowly for an hour.",
};
constexpr std::array kRegions = {
    "Alpine", "Coastal", "Country", "Harvest", "Island", "Market", "Mountain", "Northern",
    "Southern", "Village",
};
constexpr std::array kCourses = {
    "Breakfasts", "Breads", "Cakes", "Desserts", "Main Dishes", "Pickles", "Salads", "Sauces",
    "Snacks", "Soups",
};

// Characters as the program counts them: UTF-8 bytes that start a code point.
int characters(const std::string &text)
{
    int count = 0;
    for (const unsigned char c : text)
        count += (c & 0xC0) != 0x80;
    return count;
}

}  // namespace

RecipeCorpus::RecipeCorpus(std::uint32_t seed) : random_(seed) {}

int RecipeCorpus::uniform(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(random_);
}

template <typename List>
const char *RecipeCorpus::pick(const List &list)
{
    return list[static_cast<std::size_t>(uniform(0, static_cast<int>(list.size()) - 1))];
}

std::string RecipeCorpus::name()
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate;
        if (uniform(0, 9) == 0)
            candidate = std::string(pick(kFirstNames)) + "'s ";
        candidate += std::string(pick(kStyles)) + ' ' + pick(kMains) + ' ' + pick(kDishes);
        if (uniform(0, 2) > 0)
            candidate += std::string(" with ") + pick(kGarnishes);
        const int length = characters(candidate);
        if (length >= 15 && length <= 40 && taken_.insert(candidate).second)
            return candidate;
    }
    throw std::runtime_error("the recipe name lists are too short for this many recipes");
}

std::string RecipeCorpus::author()
{
    return std::string(pick(kFirstNames)) + ' ' + pick(kLastNames);
}

std::string RecipeCorpus::ingredients()
{
    const int target = uniform(300, 600);
    std::string text;
    while (static_cast<int>(text.size()) < target) {
        if (!text.empty())
            text += "\r\n";
        text += std::string(pick(kAmounts)) + ' ' + pick(kItems);
    }
    return text;
}

std::string RecipeCorpus::instructions()
{
    const int target = uniform(800, 2000);
    std::string text;
    while (static_cast<int>(text.size()) < target) {
        if (!text.empty())
            text += uniform(0, 3) == 0 ? "\r\n\r\n" : " ";
        text += pick(kSteps);
    }
    return text;
}

RecipeText RecipeCorpus::next()
{
    return {name() + ' ', author() + ' ', ingredients() + ' ', instructions() + ' '};
}

std::vector<std::string> RecipeCorpus::categoryNames(int count)
{
    if (count > static_cast<int>(kRegions.size() * kCourses.size()))
        throw std::invalid_argument("at most 100 category names");
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(std::string(kRegions[static_cast<std::size_t>(i) % kRegions.size()]) + ' '
                        + kCourses[static_cast<std::size_t>(i) / kRegions.size()]);
    return names;
}

}  // namespace bench
