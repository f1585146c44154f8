#include "exchange/mealmaster_writer.h"

#include "exchange/mealmaster_lines.h"

#include <QIODevice>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace exchange {

namespace {

using namespace mealmaster;

// Ingredient lines stay short of the second column, so none of them reads as two ingredients.
constexpr qsizetype kIngredientWidth = kSecondColumn;
constexpr qsizetype kDirectionsWidth = 78;
constexpr qsizetype kSectionWidth = 70;
// What the categories line holds after its label, within 80 columns.
constexpr qsizetype kCategoriesWidth = 80 - 13;

// The field's lines, each trimmed, without the empty ones.
QStringList lines(const QString &field)
{
    QString text = field;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList out;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            out.append(trimmed);
    }
    return out;
}

QString oneLine(const QString &text) { return lines(text).join(QLatin1Char(' ')); }

QString trimmedRight(QString text)
{
    while (!text.isEmpty() && text.back() == QLatin1Char(' '))
        text.chop(1);
    return text;
}

// Words into lines of at most width characters; a word longer than that has a line of its own.
QStringList wrap(const QStringList &words, qsizetype firstWidth, qsizetype width)
{
    QStringList out;
    QString line;
    for (const QString &word : words) {
        const qsizetype room = out.isEmpty() ? firstWidth : width;
        if (!line.isEmpty() && line.size() + 1 + word.size() > room) {
            out.append(line);
            line.clear();
        }
        line = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
    }
    if (!line.isEmpty())
        out.append(line);
    return out;
}

// The paragraph's words, to be wrapped only at a blank between two visible characters: the reader
// trims each line and joins the lines with one blank, so runs of blanks and tabs stay within
// their line.
QStringList words(const QString &paragraph)
{
    const QStringList parts = paragraph.split(QLatin1Char(' '));
    QStringList out;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const bool breakable = i > 0 && !parts[i - 1].isEmpty() && !parts[i - 1].back().isSpace() &&
                               !parts[i].isEmpty() && !parts[i].front().isSpace();
        if (out.isEmpty() || breakable)
            out.append(parts[i]);
        else
            out.last() += QLatin1Char(' ') + parts[i];
    }
    return out;
}

// A line in capitals, such as "SAUCE" or "FOR THE CRUST:", heads a part of the list.
bool looksLikeSection(const QString &line)
{
    if (line.size() > kSectionWidth - 20 || line.front().isDigit() || line.front() == QLatin1Char('-') ||
        line.back() == QLatin1Char('-'))
        return false;
    bool upper = false;
    for (QChar c : line) {
        if (c.isLower())
            return false;
        upper = upper || c.isUpper();
    }
    return upper;
}

void appendIngredient(QStringList &out, const QString &line)
{
    if (looksLikeSection(line)) {
        const qsizetype dashes = kSectionWidth - 5 - line.size();
        out.append(QLatin1String("MMMMM") + QString(dashes / 2, QLatin1Char('-')) + line +
                   QString(dashes - dashes / 2, QLatin1Char('-')));
        return;
    }
    // The reader collapses the blanks of an ingredient line, tabs included.
    QStringList tokens = collapseBlanks(line).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QString quantity;
    while (!tokens.isEmpty() && isQuantityText(tokens.front())) {
        const QString longer = quantity.isEmpty() ? tokens.front() : quantity + QLatin1Char(' ') + tokens.front();
        if (longer.size() > kQuantityWidth)
            break;
        quantity = longer;
        tokens.removeFirst();
    }
    QString unit;
    if (!quantity.isEmpty() && !tokens.isEmpty() && isUnitCode(tokens.front()))
        unit = tokens.takeFirst();

    // Text under no quantity that opens with "-" would continue the ingredient above; after a
    // blank line there is none above.
    if (quantity.isEmpty() && !tokens.isEmpty() && tokens.front().startsWith(QLatin1Char('-')) && !out.isEmpty() &&
        !out.last().isEmpty())
        out.append(QString());
    const QString cells = quantity.rightJustified(kQuantityWidth) + QLatin1Char(' ') +
                          unit.leftJustified(kUnitWidth) + QLatin1Char(' ');
    const QStringList text = wrap(tokens, kIngredientWidth - kTextStart, kIngredientWidth - kTextStart - 1);
    if (text.isEmpty()) {
        out.append(trimmedRight(cells));
        return;
    }
    out.append(cells + text.front());
    for (qsizetype i = 1; i < text.size(); ++i)
        out.append(QString(kTextStart, QLatin1Char(' ')) + QLatin1Char('-') + text[i]);
}

// A paragraph's lines, indented so that none of them reads as a section header or an end line;
// the first paragraph's first line is indented so that it does not read as one more ingredient
// either.
QStringList paragraphLines(const QString &paragraph, bool first)
{
    const QStringList split = words(paragraph);
    const auto indented = [&split](qsizetype indent) {
        QStringList out = wrap(split, kDirectionsWidth - indent, kDirectionsWidth - 2);
        for (qsizetype i = 0; i < out.size(); ++i)
            out[i].prepend(QString(i == 0 ? indent : 2, QLatin1Char(' ')));
        return out;
    };
    if (!first)
        return indented(2);
    for (qsizetype indent : {2, 1, 0}) {
        const QStringList out = indented(indent);
        const QByteArray bytes = out.front().toUtf8();
        if (!ingredientRow(expandTabs(out.front())) && !sectionName(out.front()) && !recipeStart(bytes) &&
            !isRecipeEnd(bytes, Style::Mmmmm))
            return out;
    }
    // Text in the column before the ingredient text never reads as an ingredient.
    return indented(kTextStart - 1);
}

// The category as the one entry of the categories line: a comma would part it in two, and the
// line keeps within the 80 columns other readers take.
QString categoriesText(const QString &category)
{
    QString text = collapseBlanks(oneLine(category)).replace(QLatin1Char(','), QLatin1Char(';'));
    if (text.size() > kCategoriesWidth) {
        text.truncate(kCategoriesWidth);
        if (text.back().isHighSurrogate())
            text.chop(1);
        text = trimmedRight(text);
    }
    return text;
}

// Other readers want a servings or yield line in every header. The reader takes "Servings: 1" for
// no yield at all, so a yield of "1" is written as "Yield: 1" and comes back as it was.
QString yieldLine(const QString &yield)
{
    if (yield.isEmpty())
        return QStringLiteral("   Servings: 1");
    const bool number = yield != u"1" && std::all_of(yield.cbegin(), yield.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    return (number ? QLatin1String("   Servings: ") : QLatin1String("      Yield: ")) + yield;
}

}  // namespace

QByteArray mealMasterText(const recipes::Recipe &recipe, const QString &category)
{
    QStringList out;
    // Other readers look for this first line word for word.
    out.append(QStringLiteral("MMMMM----- Recipe via Meal-Master (tm) v8.05"));
    out.append(QString());
    out.append(QLatin1String("      Title: ") + oneLine(recipe.name));
    out.append(QLatin1String(" Categories: ") + categoriesText(category));
    QStringList ingredients;
    for (const QString &line : lines(recipe.ingredients))
        ingredients.append(collapseBlanks(line));
    const bool hasYield = !ingredients.isEmpty() && ingredients.front().startsWith(QLatin1String("Yield: "));
    out.append(yieldLine(hasYield ? ingredients.takeFirst().sliced(7) : QString()));
    out.append(QString());

    for (const QString &line : std::as_const(ingredients))
        appendIngredient(out, line);
    if (!ingredients.isEmpty())
        out.append(QString());

    bool first = true;
    for (const QString &paragraph : lines(recipe.instructions)) {
        out += paragraphLines(paragraph, first);
        out.append(QString());
        first = false;
    }
    out.append(QStringLiteral("MMMMM"));
    out.append(QString());
    return (out.join(QLatin1String("\r\n")) + QLatin1String("\r\n")).toUtf8();
}

bool writeMealMaster(QIODevice &device, const recipes::Recipe &recipe, const QString &category)
{
    const QByteArray text = mealMasterText(recipe, category);
    return device.write(text) == text.size();
}

}  // namespace exchange
