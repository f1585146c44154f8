#include "exchange/mealmaster_lines.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace exchange::mealmaster {

namespace {

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

bool isQuantityChar(QChar c) { return QLatin1String("0123456789/.-").contains(c); }

// Anything but a blank at `at` means the cell before it ran over its column.
bool blankOrEnd(QStringView line, qsizetype at) { return at >= line.size() || line[at] == QLatin1Char(' '); }

bool allBlank(QStringView text) { return std::all_of(text.begin(), text.end(), isBlank); }

std::optional<CellSpans> spansOf(QStringView segment)
{
    const QStringView quantity = segment.first(std::min(segment.size(), kQuantityWidth));
    const bool quantityFits = std::all_of(quantity.begin(), quantity.end(), [](QChar c) {
        return c == QLatin1Char(' ') || isQuantityChar(c);
    });
    if (!quantityFits || !blankOrEnd(segment, kQuantityWidth))
        return std::nullopt;
    const QStringView unit = segment.size() > kUnitStart ? segment.sliced(kUnitStart).first(
                                                               std::min(segment.size() - kUnitStart, kUnitWidth))
                                                         : QStringView();
    const bool unitFits = std::all_of(unit.begin(), unit.end(), [](QChar c) {
        return c == QLatin1Char(' ') || (c.unicode() < 128 && c.isLetter());
    });
    if (!unitFits || !blankOrEnd(segment, kTextStart - 1))
        return std::nullopt;
    return CellSpans{quantity, unit, segment.size() > kTextStart ? segment.sliced(kTextStart) : QStringView()};
}

Cells cellsOf(const CellSpans &spans)
{
    return Cells{collapseBlanks(spans.quantity), collapseBlanks(spans.unit), collapseBlanks(spans.text)};
}

}  // namespace

bool CellSpans::blank() const { return allBlank(quantity) && allBlank(unit) && allBlank(text); }

std::optional<QString> Cells::continuation() const
{
    if (!quantity.isEmpty() || !unit.isEmpty() || !text.startsWith(QLatin1Char('-')))
        return std::nullopt;
    return collapseBlanks(QStringView(text).sliced(1));
}

QString Cells::joined() const
{
    QStringList parts;
    for (const QString *part : {&quantity, &unit, &text})
        if (!part->isEmpty())
            parts.append(*part);
    return parts.join(QLatin1Char(' '));
}

std::optional<RowSpans> ingredientSpans(QStringView line)
{
    // Two columns only where the first stops short of the second and the second fits its own
    // columns; a long single-column text runs through column 41 instead.
    if (line.size() > kSecondColumn && line[kSecondColumn - 1] == QLatin1Char(' ')) {
        const auto left = spansOf(line.first(kSecondColumn));
        const auto right = spansOf(line.sliced(kSecondColumn));
        if (left && right && !right->blank())
            return RowSpans{*left, *right};
    }
    if (const auto whole = spansOf(line))
        return RowSpans{*whole, std::nullopt};
    return std::nullopt;
}

std::optional<IngredientRow> ingredientRow(QStringView line)
{
    const auto spans = ingredientSpans(line);
    if (!spans)
        return std::nullopt;
    return IngredientRow{cellsOf(spans->left), spans->right ? std::optional<Cells>(cellsOf(*spans->right)) : std::nullopt};
}

std::optional<QString> sectionName(QStringView line)
{
    // Asked of most lines of a recipe: most open with neither.
    if (line.isEmpty() || (line.front() != QLatin1Char('M') && line.front() != QLatin1Char('-')))
        return std::nullopt;
    if (line.startsWith(QLatin1String("MMMMM"))) {
        line = line.sliced(5);
        if (!line.startsWith(QLatin1Char('-')))
            return std::nullopt;
    } else if (!line.startsWith(QLatin1String("-----"))) {
        return std::nullopt;
    }
    const auto frame = [](QChar c) { return c == QLatin1Char('-') || isBlank(c); };
    while (!line.isEmpty() && frame(line.front()))
        line = line.sliced(1);
    while (!line.isEmpty() && frame(line.back()))
        line.chop(1);
    return collapseBlanks(line);
}

bool isQuantityText(QStringView text)
{
    if (text.isEmpty() || text.front() == QLatin1Char('-'))
        return false;
    bool digit = false;
    for (QChar c : text) {
        if (!isQuantityChar(c))
            return false;
        digit = digit || c.isDigit();
    }
    return digit;
}

bool isUnitCode(QStringView text)
{
    static const std::array<QLatin1String, 34> codes = {
        QLatin1String("x"),  QLatin1String("sm"), QLatin1String("md"), QLatin1String("lg"), QLatin1String("cn"),
        QLatin1String("pk"), QLatin1String("pn"), QLatin1String("dr"), QLatin1String("ds"), QLatin1String("ct"),
        QLatin1String("bn"), QLatin1String("sl"), QLatin1String("ea"), QLatin1String("t"),  QLatin1String("ts"),
        QLatin1String("T"),  QLatin1String("tb"), QLatin1String("fl"), QLatin1String("c"),  QLatin1String("pt"),
        QLatin1String("qt"), QLatin1String("ga"), QLatin1String("oz"), QLatin1String("lb"), QLatin1String("ml"),
        QLatin1String("cb"), QLatin1String("cl"), QLatin1String("dl"), QLatin1String("l"),  QLatin1String("dg"),
        QLatin1String("cg"), QLatin1String("mg"), QLatin1String("g"),  QLatin1String("kg")};
    return std::find(codes.begin(), codes.end(), text) != codes.end();
}

QString collapseBlanks(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (QChar c : text) {
        if (isBlank(c)) {
            pendingBlank = !out.isEmpty();
            continue;
        }
        if (pendingBlank)
            out += QLatin1Char(' ');
        pendingBlank = false;
        out += c;
    }
    return out;
}

bool appendWords(QString &out, QStringView text, bool first)
{
    const qsizetype size = text.size();
    qsizetype i = 0;
    // Most texts are words with single spaces between them: appended in one piece.
    qsizetype begin = 0;
    qsizetype end = size;
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    if (begin == end)
        return first;
    bool single = true;
    for (qsizetype j = begin; j < end && single; ++j)
        single = text[j] != QLatin1Char('\t') && !(text[j] == QLatin1Char(' ') && text[j + 1] == QLatin1Char(' '));
    if (single) {
        if (!first)
            out.append(QLatin1Char(' '));
        out.append(text.sliced(begin, end - begin));
        return false;
    }
    for (;;) {
        while (i < size && isBlank(text[i]))
            ++i;
        if (i == size)
            return first;
        const qsizetype start = i;
        while (i < size && !isBlank(text[i]))
            ++i;
        if (!first)
            out.append(QLatin1Char(' '));
        first = false;
        out.append(text.sliced(start, i - start));
    }
}

QString expandTabs(const QString &line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString out;
    for (QChar c : line) {
        if (c == QLatin1Char('\t'))
            out += QString(8 - out.size() % 8, QLatin1Char(' '));
        else
            out += c;
    }
    return out;
}

std::optional<Style> recipeStart(QByteArrayView line)
{
    // Looked at for every line of a file: most lines open with neither.
    if (line.isEmpty() || (line.front() != 'M' && line.front() != '-'))
        return std::nullopt;
    std::optional<Style> style;
    if (line.startsWith("MMMMM-"))
        style = Style::Mmmmm;
    else if (line.startsWith("-----"))
        style = Style::Dashes;
    // Section headers open the same way; only a recipe's first line names the format.
    if (style && QByteArray(line.data(), line.size()).toLower().contains("meal-master"))
        return style;
    return std::nullopt;
}

bool isRecipeEnd(QByteArrayView line, Style style)
{
    if (line.isEmpty() || (line.front() != 'M' && line.front() != '-'))
        return false;
    while (!line.isEmpty() && (line.back() == ' ' || line.back() == '\t'))
        line.chop(1);
    return line == (style == Style::Mmmmm ? QByteArrayView("MMMMM") : QByteArrayView("-----"));
}

}  // namespace exchange::mealmaster
