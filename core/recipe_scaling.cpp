#include "core/recipe_scaling.h"

#include "core/ingredient_line.h"
#include "core/quantity_text.h"
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
    if (!isWritableAmount(result))
        throw Error(QStringLiteral("The recipe cannot be scaled by %1: an amount would grow too large to write.")
                        .arg(factor));
    return result;
}

void appendScaled(QString &out, QStringView line, const Quantity &q, double factor, bool fractional)
{
    out += line.first(q.start);
    out += quantityText(scaled(q.low, factor), fractional, q.decimalSeparator);
    if (q.range) {
        out += line.sliced(q.lowEnd, q.highStart - q.lowEnd);
        out += quantityText(scaled(q.high, factor), fractional, q.decimalSeparator);
    }
    out += line.sliced(q.end);
}

void appendLine(QString &out, QStringView line, double factor)
{
    if (const auto read = IngredientAmount::read(line))
        appendScaled(out, line, read->quantity, factor,
                     read->quantity.fractional || (read->unit && isUsUnit(*read->unit)));
    else if (const auto servings = servingsQuantity(line))
        appendScaled(out, line, *servings, factor, servings->fractional);
    else
        out += line;
}

}  // namespace

QString scaledIngredientLine(QStringView line, double factor)
{
    checkFactor(factor);
    QString out;
    appendLine(out, line, factor);
    return out;
}

QString scaledIngredients(QStringView ingredients, double factor)
{
    checkFactor(factor);
    QString out;
    out.reserve(ingredients.size() + ingredients.size() / 8);
    // Split by hand: a tokenizer costs more than the scaling of most lines.
    for (qsizetype from = 0;;) {
        qsizetype lf = ingredients.indexOf(u'\n', from);
        while (lf >= 0 && (lf == 0 || ingredients[lf - 1] != u'\r'))
            lf = ingredients.indexOf(u'\n', lf + 1);
        if (lf < 0) {
            appendLine(out, ingredients.sliced(from), factor);
            break;
        }
        appendLine(out, ingredients.sliced(from, lf - 1 - from), factor);
        out += u'\r';
        out += u'\n';
        from = lf + 1;
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
