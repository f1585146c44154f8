#include "core/servings.h"

#include <array>

namespace recipes {

namespace {

enum class Label { None, Heading, Phrase };

// Where the text after the label starts, and which label it is.
Label label(QStringView line, qsizetype &after)
{
    const qsizetype i = blanksEnd(line, 0);
    const QStringView rest = line.sliced(i);
    // Most lines are asked: those that cannot start a label are told apart by their first letter.
    if (rest.isEmpty())
        return Label::None;
    const char16_t first = rest.front().toLower().unicode();
    if (first != u'y' && first != u's' && first != u'm')
        return Label::None;
    static constexpr std::array<QStringView, 2> kHeadings = {u"Yield:", u"Servings:"};
    static constexpr std::array<QStringView, 2> kPhrases = {u"Serves ", u"Makes "};
    for (QStringView heading : kHeadings)
        if (rest.startsWith(heading, Qt::CaseInsensitive)) {
            after = i + heading.size();
            return Label::Heading;
        }
    for (QStringView phrase : kPhrases)
        if (rest.startsWith(phrase, Qt::CaseInsensitive)) {
            after = i + phrase.size();
            return Label::Phrase;
        }
    return Label::None;
}

std::optional<Quantity> firstNumber(QStringView line, qsizetype from)
{
    for (qsizetype i = from; i < line.size(); ++i)
        if (startsQuantity(line[i]))
            return readQuantity(line, i);
    return std::nullopt;
}

std::optional<double> positive(const std::optional<Quantity> &q)
{
    if (q && q->low > 0)
        return q->low;
    return std::nullopt;
}

}  // namespace

std::optional<Quantity> servingsQuantity(QStringView line)
{
    qsizetype after = 0;
    if (label(line, after) == Label::None)
        return std::nullopt;
    return firstNumber(line, after);
}

bool isServingsLine(QStringView line)
{
    qsizetype after = 0;
    return label(line, after) != Label::None;
}

std::optional<double> servingsOf(QStringView ingredients)
{
    bool first = true;
    for (QStringView line : ingredients.tokenize(u"\r\n")) {
        qsizetype after = 0;
        const Label kind = label(line, after);
        if (first && kind == Label::Heading)
            if (const auto n = positive(firstNumber(line, after)))
                return n;
        first = false;
        if (kind == Label::Phrase)
            if (const auto n = positive(firstNumber(line, after)))
                return n;
    }
    return std::nullopt;
}

}  // namespace recipes
