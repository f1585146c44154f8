#include "core/quantity_text.h"

#include <array>
#include <cmath>

namespace recipes {

namespace {

struct Vulgar {
    char16_t c;
    double value;
};

constexpr std::array kVulgar = {
    Vulgar{u'\u00BC', 1.0 / 4}, Vulgar{u'\u00BD', 1.0 / 2}, Vulgar{u'\u00BE', 3.0 / 4}, Vulgar{u'\u2150', 1.0 / 7},
    Vulgar{u'\u2151', 1.0 / 9}, Vulgar{u'\u2152', 1.0 / 10}, Vulgar{u'\u2153', 1.0 / 3}, Vulgar{u'\u2154', 2.0 / 3},
    Vulgar{u'\u2155', 1.0 / 5}, Vulgar{u'\u2156', 2.0 / 5}, Vulgar{u'\u2157', 3.0 / 5}, Vulgar{u'\u2158', 4.0 / 5},
    Vulgar{u'\u2159', 1.0 / 6}, Vulgar{u'\u215A', 5.0 / 6}, Vulgar{u'\u215B', 1.0 / 8}, Vulgar{u'\u215C', 3.0 / 8},
    Vulgar{u'\u215D', 5.0 / 8}, Vulgar{u'\u215E', 7.0 / 8},
};

// The eighths, thirds and two thirds an amount written as a fraction is rounded to.
constexpr std::array kParts = {0.0,     1.0 / 8, 1.0 / 4, 1.0 / 3, 3.0 / 8, 1.0 / 2,
                                5.0 / 8, 2.0 / 3, 3.0 / 4, 7.0 / 8, 1.0};
constexpr std::array<const char *, 11> kPartTexts = {"",    "1/8", "1/4", "1/3", "3/8", "1/2",
                                                     "5/8", "2/3", "3/4", "7/8", ""};

std::optional<double> vulgarValue(QChar c)
{
    for (const Vulgar &v : kVulgar)
        if (c.unicode() == v.c)
            return v.value;
    return std::nullopt;
}

bool isDigit(QStringView text, qsizetype i) { return i < text.size() && text[i] >= u'0' && text[i] <= u'9'; }

bool isSlash(QStringView text, qsizetype i)
{
    return i < text.size() && (text[i] == u'/' || text[i] == u'\u2044');
}

// The digits at i as a number; i moves past them.
double digits(QStringView text, qsizetype &i)
{
    double value = 0;
    while (isDigit(text, i))
        value = value * 10 + (text[i++].unicode() - u'0');
    return value;
}

struct Number {
    double value = 0;
    qsizetype end = 0;
    bool fractional = false;
    QChar separator = u'.';
};

// "n/d" at i, with d not 0.
std::optional<Number> fraction(QStringView text, qsizetype i)
{
    if (!isDigit(text, i))
        return std::nullopt;
    const double n = digits(text, i);
    if (!isSlash(text, i) || !isDigit(text, i + 1))
        return std::nullopt;
    ++i;
    const double d = digits(text, i);
    if (d == 0)
        return std::nullopt;
    return Number{n / d, i, true};
}

std::optional<Number> number(QStringView text, qsizetype i)
{
    if (i >= text.size())
        return std::nullopt;
    if (const auto v = vulgarValue(text[i]))
        return Number{*v, i + 1, true};
    if (!isDigit(text, i))
        return std::nullopt;
    if (const auto f = fraction(text, i))
        return f;
    qsizetype j = i;
    const double whole = digits(text, j);
    // "1/0" or "1/" is a broken fraction, not the number 1.
    if (isSlash(text, j))
        return std::nullopt;
    if (j < text.size() && (text[j] == u'.' || text[j] == u',') && isDigit(text, j + 1)) {
        const QChar separator = text[j];
        qsizetype k = j + 1;
        double scale = 1;
        double part = 0;
        while (isDigit(text, k)) {
            part = part * 10 + (text[k++].unicode() - u'0');
            scale *= 10;
        }
        return Number{whole + part / scale, k, false, separator};
    }
    // A mixed number: "1½", "1 ½", "1 1/2" (a proper fraction only: "2 3/2" is no mixed number).
    const qsizetype k = blanksEnd(text, j);
    if (k < text.size())
        if (const auto v = vulgarValue(text[k]))
            return Number{whole + *v, k + 1, true};
    if (k > j)
        if (const auto f = fraction(text, k); f && f->value < 1)
            return Number{whole + f->value, f->end, true};
    return Number{whole, j, false};
}

// "-", "–", "—" or "to" between the ends of a range, with the blanks around it; returns where
// the second end may start, or -1.
qsizetype rangeSeparatorEnd(QStringView text, qsizetype i)
{
    qsizetype j = blanksEnd(text, i);
    if (j >= text.size())
        return -1;
    if (text[j] == u'-' || text[j] == u'\u2013' || text[j] == u'\u2014')
        return blanksEnd(text, j + 1);
    if (j > i && text.sliced(j).startsWith(u"to ", Qt::CaseInsensitive))
        return blanksEnd(text, j + 3);
    return -1;
}

}  // namespace

bool startsQuantity(QChar c) { return (c >= u'0' && c <= u'9') || vulgarValue(c).has_value(); }

qsizetype blanksEnd(QStringView text, qsizetype from)
{
    while (from < text.size()
           && (text[from] == u' ' || text[from] == u'\t' || text[from] == u'\u00A0' || text[from] == u'\u202F'))
        ++from;
    return from;
}

std::optional<Quantity> readQuantity(QStringView text, qsizetype from)
{
    const auto low = number(text, from);
    if (!low)
        return std::nullopt;
    Quantity q;
    q.low = q.high = low->value;
    q.fractional = low->fractional;
    q.decimalSeparator = low->separator;
    q.start = from;
    q.lowEnd = q.highStart = q.end = low->end;
    if (const qsizetype second = rangeSeparatorEnd(text, low->end); second >= 0)
        if (const auto high = number(text, second)) {
            q.high = high->value;
            q.range = true;
            q.fractional = q.fractional || high->fractional;
            if (!low->fractional && high->separator == u',')
                q.decimalSeparator = high->separator;
            q.highStart = second;
            q.end = high->end;
        }
    return q;
}

std::optional<double> readPositiveAmount(QStringView typed)
{
    const QStringView text = typed.trimmed();
    const std::optional<Quantity> amount = readQuantity(text, 0);
    if (!amount || amount->range || amount->end != text.size() || !std::isfinite(amount->low) || amount->low <= 0)
        return std::nullopt;
    return amount->low;
}

bool isWritableAmount(double value) { return std::isfinite(value) && std::abs(value) < 1e12; }

QString quantityText(double value, bool fractional, QChar decimalSeparator)
{
    if (!fractional) {
        const double hundredths = std::max(std::round(value * 100), 1.0);
        // Whole numbers are most of what is scaled; they need no decimal conversion.
        if (std::fmod(hundredths, 100) == 0 && hundredths < 1e17)
            return QString::number(qint64(hundredths / 100));
        QString text = QString::number(hundredths / 100, 'f', 2);
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
        if (decimalSeparator != u'.')
            text.replace(u'.', decimalSeparator);
        return text;
    }
    double whole = std::floor(value);
    const double rest = value - whole;
    std::size_t best = 0;
    for (std::size_t i = 1; i < kParts.size(); ++i)
        if (std::abs(kParts[i] - rest) < std::abs(kParts[best] - rest))
            best = i;
    if (best == kParts.size() - 1) {
        whole += 1;
        best = 0;
    }
    if (whole == 0 && best == 0)
        return QStringLiteral("1/8");
    QString wholeText;
    if (whole > 0)
        wholeText = whole < 1e17 ? QString::number(qint64(whole)) : QString::number(whole, 'f', 0);
    const QString part = QString::fromLatin1(kPartTexts[best]);
    if (wholeText.isEmpty())
        return part;
    return part.isEmpty() ? wholeText : wholeText + u' ' + part;
}

}  // namespace recipes
