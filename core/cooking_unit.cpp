#include "core/cooking_unit.h"

#include "core/quantity_text.h"

#include <algorithm>
#include <array>

namespace recipes {

namespace {

struct Spelling {
    QStringView word;  // lower case
    CookingUnit unit;
};

// Every spelling is a whole word; "fl oz" and "fluid ounce" are read apart (two words).
constexpr std::array kSpellings = {
    Spelling{u"tsp", CookingUnit::Teaspoon}, Spelling{u"tsps", CookingUnit::Teaspoon},
    Spelling{u"teaspoon", CookingUnit::Teaspoon}, Spelling{u"teaspoons", CookingUnit::Teaspoon},
    Spelling{u"ts", CookingUnit::Teaspoon},
    Spelling{u"tbsp", CookingUnit::Tablespoon}, Spelling{u"tbsps", CookingUnit::Tablespoon},
    Spelling{u"tablespoon", CookingUnit::Tablespoon}, Spelling{u"tablespoons", CookingUnit::Tablespoon},
    Spelling{u"tbs", CookingUnit::Tablespoon}, Spelling{u"tbl", CookingUnit::Tablespoon},
    Spelling{u"tb", CookingUnit::Tablespoon},
    Spelling{u"cup", CookingUnit::Cup}, Spelling{u"cups", CookingUnit::Cup}, Spelling{u"c", CookingUnit::Cup},
    Spelling{u"mg", CookingUnit::Milligram}, Spelling{u"milligram", CookingUnit::Milligram},
    Spelling{u"milligrams", CookingUnit::Milligram},
    Spelling{u"g", CookingUnit::Gram}, Spelling{u"gram", CookingUnit::Gram}, Spelling{u"grams", CookingUnit::Gram},
    Spelling{u"kg", CookingUnit::Kilogram}, Spelling{u"kilogram", CookingUnit::Kilogram},
    Spelling{u"kilograms", CookingUnit::Kilogram},
    Spelling{u"ml", CookingUnit::Millilitre}, Spelling{u"millilitre", CookingUnit::Millilitre},
    Spelling{u"millilitres", CookingUnit::Millilitre}, Spelling{u"milliliter", CookingUnit::Millilitre},
    Spelling{u"milliliters", CookingUnit::Millilitre},
    Spelling{u"cl", CookingUnit::Centilitre}, Spelling{u"centilitre", CookingUnit::Centilitre},
    Spelling{u"centilitres", CookingUnit::Centilitre}, Spelling{u"centiliter", CookingUnit::Centilitre},
    Spelling{u"centiliters", CookingUnit::Centilitre},
    Spelling{u"dl", CookingUnit::Decilitre}, Spelling{u"decilitre", CookingUnit::Decilitre},
    Spelling{u"decilitres", CookingUnit::Decilitre}, Spelling{u"deciliter", CookingUnit::Decilitre},
    Spelling{u"deciliters", CookingUnit::Decilitre},
    Spelling{u"l", CookingUnit::Litre}, Spelling{u"litre", CookingUnit::Litre}, Spelling{u"litres", CookingUnit::Litre},
    Spelling{u"liter", CookingUnit::Litre}, Spelling{u"liters", CookingUnit::Litre},
    Spelling{u"oz", CookingUnit::Ounce}, Spelling{u"ounce", CookingUnit::Ounce},
    Spelling{u"ounces", CookingUnit::Ounce},
    Spelling{u"lb", CookingUnit::Pound}, Spelling{u"lbs", CookingUnit::Pound}, Spelling{u"pound", CookingUnit::Pound},
    Spelling{u"pounds", CookingUnit::Pound},
    Spelling{u"pint", CookingUnit::Pint}, Spelling{u"pints", CookingUnit::Pint}, Spelling{u"pt", CookingUnit::Pint},
    Spelling{u"quart", CookingUnit::Quart}, Spelling{u"quarts", CookingUnit::Quart},
    Spelling{u"qt", CookingUnit::Quart},
    Spelling{u"gallon", CookingUnit::Gallon}, Spelling{u"gallons", CookingUnit::Gallon},
    Spelling{u"gal", CookingUnit::Gallon}, Spelling{u"ga", CookingUnit::Gallon},
    Spelling{u"stick", CookingUnit::Stick}, Spelling{u"sticks", CookingUnit::Stick},
    Spelling{u"pinch", CookingUnit::Pinch}, Spelling{u"pinches", CookingUnit::Pinch},
    Spelling{u"pn", CookingUnit::Pinch},
    Spelling{u"dash", CookingUnit::Dash}, Spelling{u"dashes", CookingUnit::Dash}, Spelling{u"ds", CookingUnit::Dash},
    Spelling{u"ea", CookingUnit::Each},
    Spelling{u"package", CookingUnit::Package}, Spelling{u"packages", CookingUnit::Package},
    Spelling{u"pk", CookingUnit::Package}, Spelling{u"pkg", CookingUnit::Package},
    Spelling{u"can", CookingUnit::Can}, Spelling{u"cans", CookingUnit::Can}, Spelling{u"cn", CookingUnit::Can},
    Spelling{u"sm", CookingUnit::Small}, Spelling{u"md", CookingUnit::Medium}, Spelling{u"lg", CookingUnit::Large},
    Spelling{u"x", CookingUnit::PerServing},
};

qsizetype wordEnd(QStringView line, qsizetype from)
{
    qsizetype i = from;
    while (i < line.size() && line[i].isLetter())
        ++i;
    return i;
}

qsizetype afterDot(QStringView line, qsizetype i) { return i < line.size() && line[i] == u'.' ? i + 1 : i; }

// A word of ASCII letters, lower-cased into a buffer of the longest spelling's size; every
// other word is none of ours. Read for every line a recipe is scaled by, so nothing is allocated.
class LowerWord {
public:
    LowerWord(QStringView line, qsizetype from, qsizetype end)
    {
        if (end - from > qsizetype(sizeof(buf_) / sizeof(buf_[0])))
            return;
        for (qsizetype i = from; i < end; ++i) {
            const char16_t c = line[i].unicode();
            if (c >= u'A' && c <= u'Z')
                buf_[size_++] = char16_t(c - u'A' + u'a');
            else if (c >= u'a' && c <= u'z')
                buf_[size_++] = c;
            else {
                size_ = 0;
                return;
            }
        }
    }
    QStringView view() const { return QStringView(buf_, size_); }

private:
    char16_t buf_[12] = {};
    qsizetype size_ = 0;
};

std::optional<CookingUnit> unitOfWord(QStringView written, QStringView lower)
{
    // MealMaster's codes are the one place case tells units apart.
    if (written == u"t")
        return CookingUnit::Teaspoon;
    if (written == u"T")
        return CookingUnit::Tablespoon;
    if (lower.isEmpty())
        return std::nullopt;
    // Compared inline: most words are no unit, and differ in length from most spellings.
    for (const Spelling &s : kSpellings)
        if (s.word.size() == lower.size() && std::equal(lower.begin(), lower.end(), s.word.begin()))
            return s.unit;
    return std::nullopt;
}

constexpr std::array kUsVolume = {CookingUnit::Cup, CookingUnit::Tablespoon, CookingUnit::Teaspoon};
constexpr std::array kMetricWeight = {CookingUnit::Kilogram, CookingUnit::Gram, CookingUnit::Milligram};
constexpr std::array kMetricVolume = {CookingUnit::Litre, CookingUnit::Millilitre};
constexpr std::array kUsWeight = {CookingUnit::Pound, CookingUnit::Ounce};

}  // namespace

std::optional<UnitWord> readUnit(QStringView line, qsizetype from)
{
    const qsizetype end = wordEnd(line, from);
    if (end == from)
        return std::nullopt;
    // A digit straight after the letters makes them no word of their own.
    const auto whole = [&line](qsizetype i) { return i >= line.size() || !line[i].isLetterOrNumber(); };
    const LowerWord word(line, from, end);
    if (word.view() == u"fl" || word.view() == u"fluid") {
        const qsizetype next = blanksEnd(line, afterDot(line, end));
        const qsizetype nextEnd = wordEnd(line, next);
        const LowerWord second(line, next, nextEnd);
        if ((second.view() == u"oz" || second.view() == u"ounce" || second.view() == u"ounces")
            && whole(afterDot(line, nextEnd)))
            return UnitWord{CookingUnit::FluidOunce, afterDot(line, nextEnd)};
        return std::nullopt;
    }
    const auto unit = unitOfWord(line.sliced(from, end - from), word.view());
    if (!unit || !whole(afterDot(line, end)))
        return std::nullopt;
    return UnitWord{*unit, afterDot(line, end)};
}

UnitKind kindOf(CookingUnit unit)
{
    switch (unit) {
    case CookingUnit::Teaspoon:
    case CookingUnit::Tablespoon:
    case CookingUnit::Cup:
        return UnitKind::UsVolume;
    case CookingUnit::Milligram:
    case CookingUnit::Gram:
    case CookingUnit::Kilogram:
        return UnitKind::MetricWeight;
    case CookingUnit::Millilitre:
    case CookingUnit::Centilitre:
    case CookingUnit::Decilitre:
    case CookingUnit::Litre:
        return UnitKind::MetricVolume;
    case CookingUnit::Ounce:
    case CookingUnit::Pound:
        return UnitKind::UsWeight;
    default:
        return UnitKind::Own;
    }
}

double sizeInKind(CookingUnit unit)
{
    switch (unit) {
    case CookingUnit::Tablespoon: return 3;
    case CookingUnit::Cup: return 48;
    case CookingUnit::Gram: return 1000;
    case CookingUnit::Kilogram: return 1000 * 1000;
    case CookingUnit::Centilitre: return 10;
    case CookingUnit::Decilitre: return 100;
    case CookingUnit::Litre: return 1000;
    case CookingUnit::Pound: return 16;
    default: return 1;
    }
}

std::span<const CookingUnit> writtenUnitsOfKind(UnitKind kind)
{
    switch (kind) {
    case UnitKind::UsVolume: return kUsVolume;
    case UnitKind::MetricWeight: return kMetricWeight;
    case UnitKind::MetricVolume: return kMetricVolume;
    case UnitKind::UsWeight: return kUsWeight;
    case UnitKind::Own: break;
    }
    return {};
}

bool isUsUnit(CookingUnit unit)
{
    const UnitKind kind = kindOf(unit);
    if (kind == UnitKind::UsVolume || kind == UnitKind::UsWeight)
        return true;
    return unit == CookingUnit::FluidOunce || unit == CookingUnit::Pint || unit == CookingUnit::Quart
        || unit == CookingUnit::Gallon || unit == CookingUnit::Stick;
}

QString unitName(CookingUnit unit, bool plural)
{
    const auto counted = [plural](const char *one, const char *many) {
        return QString::fromLatin1(plural ? many : one);
    };
    switch (unit) {
    case CookingUnit::Teaspoon: return QStringLiteral("tsp");
    case CookingUnit::Tablespoon: return QStringLiteral("tbsp");
    case CookingUnit::Cup: return counted("cup", "cups");
    case CookingUnit::Milligram: return QStringLiteral("mg");
    case CookingUnit::Gram: return QStringLiteral("g");
    case CookingUnit::Kilogram: return QStringLiteral("kg");
    case CookingUnit::Millilitre: return QStringLiteral("ml");
    case CookingUnit::Centilitre: return QStringLiteral("cl");
    case CookingUnit::Decilitre: return QStringLiteral("dl");
    case CookingUnit::Litre: return QStringLiteral("l");
    case CookingUnit::Ounce: return QStringLiteral("oz");
    case CookingUnit::Pound: return QStringLiteral("lb");
    case CookingUnit::FluidOunce: return QStringLiteral("fl oz");
    case CookingUnit::Pint: return counted("pint", "pints");
    case CookingUnit::Quart: return counted("quart", "quarts");
    case CookingUnit::Gallon: return counted("gallon", "gallons");
    case CookingUnit::Stick: return counted("stick", "sticks");
    case CookingUnit::Pinch: return counted("pinch", "pinches");
    case CookingUnit::Dash: return counted("dash", "dashes");
    case CookingUnit::Each: return QString();
    case CookingUnit::Package: return counted("package", "packages");
    case CookingUnit::Can: return counted("can", "cans");
    case CookingUnit::Small: return QStringLiteral("small");
    case CookingUnit::Medium: return QStringLiteral("medium");
    case CookingUnit::Large: return QStringLiteral("large");
    case CookingUnit::PerServing: return QStringLiteral("x");
    }
    return QString();
}

}  // namespace recipes
