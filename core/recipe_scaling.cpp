#include "core/recipe_scaling.h"

#include "core/ingredient_line.h"
#include "core/recipe_error.h"
#include "core/servings.h"

#include <cmath>

namespace recipes {

namespace {

void checkFactor(double factor)
{
    if (!std::isfinite(factor) || factor <= 0)
        throw Error(QStringLiteral("The recipe cannot be scaled by %1: the factor must be a number above 0.")
                        .arg(factor));
}

double scaled(double value, double factor)
{
    const double result = value * factor;
    if (!std::isfinite(result))
        throw Error(QStringLiteral("The recipe cannot be scaled by %1: an amount would grow too large to write.")
                        .arg(factor));
    return result;
}

QString withQuantity(QStringView line, const Quantity &q, double factor, bool fractional)
{
    QString out;
    out.reserve(line.size() + 8);
    out += line.first(q.start);
    out += quantityText(scaled(q.low, factor), fractional, q.decimalSeparator);
    if (q.range) {
        out += line.sliced(q.lowEnd, q.highStart - q.lowEnd);
        out += quantityText(scaled(q.high, factor), fractional, q.decimalSeparator);
    }
    out += line.sliced(q.end);
    return out;
}

QString scaledLine(QStringView line, double factor)
{
    if (const auto read = IngredientLine::read(line))
        return withQuantity(line, read->quantity, factor,
                            read->quantity.fractional || (read->unit && isUsUnit(*read->unit)));
    if (const auto servings = servingsQuantity(line))
        return withQuantity(line, *servings, factor, servings->fractional);
    return line.toString();
}

}  // namespace

QString scaledIngredientLine(QStringView line, double factor)
{
    checkFactor(factor);
    return scaledLine(line, factor);
}

QString scaledIngredients(QStringView ingredients, double factor)
{
    checkFactor(factor);
    QString out;
    out.reserve(ingredients.size() + ingredients.size() / 8);
    bool first = true;
    for (QStringView line : ingredients.tokenize(u"\r\n")) {
        if (!first)
            out += u"\r\n";
        first = false;
        out += scaledLine(line, factor);
    }
    return out;
}

QString ingredientsForServings(QStringView ingredients, double servings)
{
    if (!std::isfinite(servings) || servings <= 0)
        throw Error(QStringLiteral("The recipe cannot be scaled to %1 servings: the servings must be a number above 0.")
                        .arg(servings));
    const auto now = servingsOf(ingredients);
    if (!now)
        throw Error(QStringLiteral("The recipe cannot be scaled to servings: its ingredients say how many it serves "
                                   "nowhere (no \"Yield:\", \"Servings:\", \"Serves\" or \"Makes\" line)."));
    return scaledIngredients(ingredients, servings / *now);
}

}  // namespace recipes
