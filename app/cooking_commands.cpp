#include "app/cooking_commands.h"

#include "app/arguments.h"
#include "app/command_line.h"
#include "app/recipe_lookup.h"
#include "core/collection.h"
#include "core/recipe.h"
#include "core/recipe_error.h"
#include "core/recipe_scaling.h"
#include "core/scale_factor.h"
#include "core/shopping_list.h"

#include <QTextStream>

#include <vector>

namespace cli {

namespace {

const QString kFactor = QStringLiteral("factor");
const QString kServings = QStringLiteral("servings");
const QString kCategory = QStringLiteral("category");
const QString kNoSuchRecipe = QStringLiteral("there is no such recipe in that category; it is not on the list.");

// The option's value read as --factor or --servings is; a usage error names the option, what it
// got and the limits.
double amountOption(const Arguments &args, const QString &command, const QString &option)
{
    const QString given = args.value(option);
    const bool servings = option == kServings;
    if (const std::optional<double> amount = servings ? recipes::readServings(given) : recipes::readFactor(given))
        return *amount;
    throw UsageError{QStringLiteral("%1: --%2 \"%3\" is refused: %4, such as 2, 0.5 or 1/2.")
                         .arg(command, option, given, servings ? recipes::servingsRule() : recipes::factorRule())};
}

void printLines(const QString &text, QTextStream &out)
{
    if (!text.isEmpty())
        out << QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")) << '\n';
    out.flush();
}

// What one argument of shopping-list names: the recipe, its category as the file names it and
// its own factor; or, when it names none, why, said after the argument.
struct Wanted {
    std::optional<recipes::Recipe> recipe;
    QString category;
    std::optional<double> factor;
    QString refusal;
};

struct Found {
    QString category;
    recipes::Recipe recipe;
};

// "Category/Recipe" as the file holds it. A category's name and a recipe's may each hold a "/"
// ("Soups/Cold", "Salt/pepper rub"), so every "/" that leaves an existing category before it is
// tried; exactly one that reaches a recipe is taken, more are refused as ambiguous.
void findSplit(const recipes::Collection &collection, const QStringList &categories, const QString &named,
               const QString &factorText, Wanted &wanted)
{
    bool categoryNamed = false;
    std::vector<Found> found;
    for (qsizetype slash = named.indexOf(u'/'); slash > 0; slash = named.indexOf(u'/', slash + 1)) {
        const std::optional<QString> category = matching(categories, named.left(slash).trimmed());
        if (!category)
            continue;
        categoryNamed = true;
        if (std::optional<recipes::Recipe> recipe = findRecipe(collection, *category, named.mid(slash + 1)))
            found.push_back({*category, std::move(*recipe)});
    }
    if (found.size() == 1) {
        wanted.category = found.front().category;
        wanted.recipe = std::move(found.front().recipe);
        return;
    }
    if (found.empty()) {
        wanted.refusal = categoryNamed
            ? kNoSuchRecipe
            : QStringLiteral("no category of the file starts it; write \"Category/Recipe\". It is not on the list.");
        return;
    }
    QStringList each;
    for (const Found &f : found)
        each << QStringLiteral("\"%1\" of the category \"%2\"").arg(f.recipe.name.trimmed(), f.category);
    wanted.refusal = QStringLiteral("it names %1; say which with --category, as in --category \"%2\" \"%3\". It is not "
                                    "on the list.")
                         .arg(each.join(QLatin1String(" and ")), found.back().category,
                              found.back().recipe.name.trimmed() + factorText);
}

// A trailing "*N" that reads as a factor is the recipe's own; one meant as a number but out of
// the limits is refused; anything else after a "*" is part of the name. With --category the rest
// is the recipe's name, else "Category/Recipe".
Wanted wantedBy(const recipes::Collection &collection, const QStringList &categories, const QString &argument,
                const std::optional<QString> &category)
{
    Wanted wanted;
    QString named = argument;
    QString factorText;
    const qsizetype star = named.lastIndexOf(u'*');
    if (star > 0) {
        const QString after = named.mid(star + 1);
        if (const std::optional<double> factor = recipes::readFactor(after)) {
            wanted.factor = factor;
            factorText = named.mid(star);
            named.truncate(star);
        } else if (recipes::looksLikeNumber(after)) {
            wanted.refusal = recipes::factorRule() + QStringLiteral("; it is not on the list.");
            return wanted;
        }
    }
    if (!category) {
        findSplit(collection, categories, named, factorText, wanted);
        return wanted;
    }
    wanted.category = *category;
    wanted.recipe = findRecipe(collection, *category, named);
    if (!wanted.recipe)
        wanted.refusal = kNoSuchRecipe;
    return wanted;
}

}  // namespace

int scaleRecipe(const recipes::Collection &collection, const Arguments &args, const QString &database,
                QTextStream &out)
{
    const QString command = QStringLiteral("scale");
    if (!args.positional().isEmpty())
        throw UsageError{QStringLiteral("scale: unexpected argument %1.").arg(args.positional().front())};
    for (const QString &option : {kCategory, QStringLiteral("recipe")})
        if (args.value(option).trimmed().isEmpty())
            throw UsageError{QStringLiteral("scale: --%1 is needed.").arg(option)};
    const bool byFactor = args.isSet(kFactor);
    if (byFactor == args.isSet(kServings))
        throw UsageError{QStringLiteral("scale: give either --factor or --servings.")};
    const double amount = amountOption(args, command, byFactor ? kFactor : kServings);

    const QString category = existingCategory(collection.categories(), args.value(kCategory).trimmed(), database);
    const QString name = args.value(QStringLiteral("recipe"));
    const std::optional<recipes::Recipe> recipe = findRecipe(collection, category, name);
    if (!recipe)
        throw recipes::Error(QStringLiteral("There is no recipe named %1 in the category %2.").arg(name.trimmed(), category));
    printLines(byFactor ? recipes::scaledIngredients(recipe->ingredients, amount)
                        : recipes::ingredientsForServings(recipe->ingredients, amount),
               out);
    return Done;
}

int shoppingList(const recipes::Collection &collection, const Arguments &args, const QString &database,
                 QTextStream &out, QTextStream &err)
{
    if (args.positional().isEmpty())
        throw UsageError{QStringLiteral("shopping-list: name at least one recipe, as \"Category/Recipe\".")};
    const double factor = args.isSet(kFactor) ? amountOption(args, QStringLiteral("shopping-list"), kFactor) : 1.0;
    const QStringList categories = collection.categories();
    std::optional<QString> category;
    if (args.isSet(kCategory))
        category = existingCategory(categories, args.value(kCategory).trimmed(), database);
    recipes::ShoppingList list;
    int missing = 0;
    for (const QString &argument : args.positional()) {
        const Wanted wanted = wantedBy(collection, categories, argument, category);
        if (!wanted.recipe) {
            err << argument << ": " << wanted.refusal << '\n';
            ++missing;
            continue;
        }
        list.add({wanted.recipe->name, wanted.category, wanted.recipe->ingredients, wanted.factor.value_or(factor)});
    }
    printLines(list.lines().join(QLatin1String("\r\n")), out);
    err.flush();
    return missing > 0 ? SomeRefused : Done;
}

}  // namespace cli
