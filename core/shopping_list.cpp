#include "core/shopping_list.h"

#include "core/ingredient_line.h"
#include "core/quantity_text.h"
#include "core/recipe_error.h"
#include "core/servings.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace recipes {

namespace {

QString itemKey(const QString &item)
{
    QString key = item.simplified().toLower();
    if (key.endsWith(u"es"))
        key.chop(2);
    else if (key.endsWith(u's') && !key.endsWith(u"ss"))
        key.chop(1);
    else if (key.endsWith(u'e'))
        key.chop(1);
    return key;
}

bool isHeading(const QString &line)
{
    if (line.endsWith(u':'))
        return true;
    bool letter = false;
    for (QChar c : line) {
        if (c.isLower())
            return false;
        letter = letter || c.isLetter();
    }
    return letter;
}

// Units of one kind share one key; a unit of its own kind, and no unit, have one each.
int kindKey(const std::optional<CookingUnit> &unit)
{
    if (!unit)
        return -1;
    const UnitKind kind = kindOf(*unit);
    return kind == UnitKind::Own ? 100 + int(*unit) : int(kind);
}

struct Sum {
    std::optional<CookingUnit> unit;  // the first line's, for a kind of its own or none
    double low = 0;                   // in the kind's smallest unit
    double high = 0;
    bool range = false;
    bool fractional = false;
    QChar decimalSeparator = u'.';
    QString size;
    QStringList items;  // as written, to pick the plural or the singular from
};

struct Entry {
    QString sortKey;
    QString text;
    bool operator<(const Entry &o) const { return std::tie(sortKey, text) < std::tie(o.sortKey, o.text); }
};

Entry summed(const Sum &sum)
{
    std::optional<CookingUnit> unit = sum.unit;
    double divisor = 1;
    bool fractional = sum.fractional;
    if (unit) {
        // The largest unit that keeps the amount at 1 or more; the smallest when none does.
        for (const CookingUnit written : writtenUnitsOfKind(kindOf(*unit))) {
            unit = written;
            divisor = sizeInKind(written);
            if (sum.low / divisor >= 1)
                break;
        }
        const UnitKind kind = kindOf(*unit);
        fractional = isUsUnit(*unit) || (kind == UnitKind::Own && sum.fractional);
    }
    const double low = sum.low / divisor;
    const double high = sum.high / divisor;
    if (!isWritableAmount(low) || !isWritableAmount(high))
        throw Error(QStringLiteral("The shopping list cannot add up %1: an amount would grow too large to write.")
                        .arg(sum.items.front()));
    const bool many = high > 1;
    QString item = sum.items.front();
    for (const QString &written : sum.items)
        if (many ? written.size() > item.size() : written.size() < item.size())
            item = written;
    QStringList parts;
    QString amount = quantityText(low, fractional, sum.decimalSeparator);
    if (sum.range)
        amount += u'-' + quantityText(high, fractional, sum.decimalSeparator);
    parts << amount;
    if (!sum.size.isEmpty())
        parts << sum.size;
    if (unit && !unitName(*unit, many).isEmpty())
        parts << unitName(*unit, many);
    parts << item;
    return {item.toLower(), parts.join(u' ')};
}

}  // namespace

void ShoppingList::add(const ShoppingRecipe &recipe)
{
    if (!std::isfinite(recipe.factor) || recipe.factor <= 0)
        throw Error(QStringLiteral("\"%1\" cannot go on the shopping list scaled by %2: the factor must be a number "
                                   "above 0.")
                        .arg(recipe.name)
                        .arg(recipe.factor));
    recipes_.push_back(recipe);
    // Added up once now, so that lines() never meets an amount it cannot write.
    try {
        lines();
    } catch (const Error &) {
        recipes_.pop_back();
        throw Error(QStringLiteral("\"%1\" cannot go on the shopping list scaled by %2: an amount would grow too large "
                                   "to write.")
                        .arg(recipe.name)
                        .arg(recipe.factor));
    }
}

QStringList ShoppingList::lines() const
{
    std::map<std::tuple<QString, QString, int>, Sum> sums;
    std::set<Entry> entries;
    for (const ShoppingRecipe &recipe : recipes_) {
        for (QStringView written : QStringView(recipe.ingredients).tokenize(u"\r\n")) {
            const QString line = written.trimmed().toString();
            if (line.isEmpty() || isServingsLine(line))
                continue;
            const auto read = IngredientLine::read(line);
            if (!read || read->item.trimmed().isEmpty()) {
                if (!read && isHeading(line))
                    continue;
                entries.insert({line.toLower(), line});
                continue;
            }
            const QString item = read->item.trimmed();
            // "2 ea eggs" (MealMaster's "each") is a count, as "3 eggs" is.
            const auto unit = read->unit == CookingUnit::Each ? std::nullopt : read->unit;
            Sum &sum = sums[{itemKey(item), read->size.simplified().toLower(), kindKey(unit)}];
            const double size = unit ? sizeInKind(*unit) : 1;
            const Quantity &q = read->quantity;
            if (sum.items.isEmpty()) {
                sum.unit = unit;
                sum.decimalSeparator = q.decimalSeparator;
                sum.size = read->size;
            }
            sum.low += q.low * size * recipe.factor;
            sum.high += q.high * size * recipe.factor;
            sum.range = sum.range || q.range;
            sum.fractional = sum.fractional || q.fractional;
            sum.items << item;
        }
    }
    for (const auto &[key, sum] : sums)
        entries.insert(summed(sum));
    QStringList out;
    for (const Entry &entry : entries)
        out << entry.text;
    return out;
}

}  // namespace recipes
