#include "core/scale_factor.h"

#include "core/quantity_text.h"

namespace recipes {

namespace {

std::optional<double> atMost(std::optional<double> amount, double most)
{
    if (amount && *amount > most)
        return std::nullopt;
    return amount;
}

// What may stand between the digits of a number meant: separators, slashes, range dashes, blanks.
constexpr QStringView kJoiners = u".,/\u2044-\u2013\u2014 \t\u00A0\u202F";

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

std::optional<double> readFactor(QStringView typed) { return atMost(readPositiveAmount(typed), kMostFactor); }

std::optional<double> readServings(QStringView typed) { return atMost(readPositiveAmount(typed), kMostServings); }

QString factorRule() { return QStringLiteral("the factor must be a number above 0 and at most %1").arg(kMostFactor); }

QString servingsRule()
{
    return QStringLiteral("the servings must be a number above 0 and at most %1").arg(kMostServings);
}

bool looksLikeNumber(QStringView typed)
{
    QStringView text = typed.trimmed();
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        text = text.sliced(1);
    for (QStringView word : {u"nan", u"inf", u"infinity"})
        if (text.compare(word, Qt::CaseInsensitive) == 0)
            return true;
    // It starts as a number does: a digit or a vulgar fraction, or a separator before a digit.
    const bool starts = !text.isEmpty()
        && (startsQuantity(text[0]) || (text.size() > 1 && (text[0] == u'.' || text[0] == u',') && isDigit(text[1])));
    if (!starts)
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (startsQuantity(c) || kJoiners.contains(c))
            continue;
        // An exponent: after a digit, a sign maybe, then a digit.
        if ((c == u'e' || c == u'E') && i > 0 && isDigit(text[i - 1])) {
            qsizetype j = i + 1;
            if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
                ++j;
            if (j < text.size() && isDigit(text[j])) {
                i = j;
                continue;
            }
        }
        return false;
    }
    return true;
}

}  // namespace recipes
