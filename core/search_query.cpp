#include "core/search_query.h"

#include "engine/full_text_index.h"

#include <optional>

namespace recipes {

namespace {

// Letters, digits and the marks that belong to them are what the index keeps of a text.
bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.category() == QChar::Mark_NonSpacing
        || c.category() == QChar::Mark_SpacingCombining || c.isSurrogate();
}

// The words of a text, lower case (so that no word reads as an operator such as OR or NEAR).
QStringList wordsOf(QStringView text)
{
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (isWordCharacter(c)) {
            word.append(c);
        } else if (!word.isEmpty()) {
            words.append(word.toLower());
            word.clear();
        }
    }
    if (!word.isEmpty())
        words.append(word.toLower());
    return words;
}

// Every word a prefix; several words (a phrase, or one typed word that separators split, as in
// "tom's") must follow each other.
QString expressionFor(const QStringList &words, const QString &column)
{
    if (words.size() == 1)
        return (column.isEmpty() ? QString() : column + QLatin1Char(':')) + words.front() + QLatin1Char('*');
    QString phrase = QStringLiteral("\"") + words.join(QStringLiteral("* ")) + QStringLiteral("*\"");
    // The index cannot limit a phrase to a column; each of its words is limited instead.
    if (!column.isEmpty())
        for (const QString &w : words)
            phrase += QLatin1Char(' ') + column + QLatin1Char(':') + w + QLatin1Char('*');
    return phrase;
}

std::optional<QString> columnNamed(QStringView prefix)
{
    for (const QString &column : dao::FullTextIndex::columns())
        if (prefix.compare(column, Qt::CaseInsensitive) == 0)
            return column;
    return std::nullopt;
}

}  // namespace

SearchQuery SearchQuery::parse(const QString &typed)
{
    // A quote without its partner is an ordinary character.
    const bool quotesPair = typed.count(QLatin1Char('"')) % 2 == 0;
    QStringList include;
    QStringList excludedWords;  // plain words the index itself can leave out
    SearchQuery query;
    qsizetype i = 0;
    const qsizetype n = typed.size();
    while (i < n) {
        if (typed[i].isSpace()) {
            ++i;
            continue;
        }
        bool excluded = false;
        if (typed[i] == QLatin1Char('-')) {
            excluded = true;
            ++i;
        }
        QString column;
        // A field name, then a colon, limits what follows.
        qsizetype colon = i;
        while (colon < n && typed[colon].isLetter())
            ++colon;
        if (colon < n && colon > i && typed[colon] == QLatin1Char(':')) {
            if (const auto named = columnNamed(QStringView(typed).sliced(i, colon - i))) {
                column = *named;
                i = colon + 1;
            }
        }
        QStringList words;
        if (quotesPair && i < n && typed[i] == QLatin1Char('"')) {
            const qsizetype close = typed.indexOf(QLatin1Char('"'), i + 1);
            words = wordsOf(QStringView(typed).sliced(i + 1, close - i - 1));
            i = close + 1;
        } else {
            qsizetype end = i;
            while (end < n && !typed[end].isSpace() && !(quotesPair && typed[end] == QLatin1Char('"')))
                ++end;
            words = wordsOf(QStringView(typed).sliced(i, end - i));
            i = end;
        }
        if (words.isEmpty())
            continue;  // a lone "-", or only separators
        const QString expression = expressionFor(words, column);
        if (!excluded)
            include.append(expression);
        else if (words.size() == 1 && column.isEmpty())
            excludedWords.append(expression);
        else
            query.exclude.append(expression);
    }
    // "-word" inside the expression is the index's own exclusion, far cheaper than a second
    // search; it needs a word to exclude from, and this index reads "-" before a phrase or a
    // field-limited word as a plain "and", so those stay separate searches.
    if (include.isEmpty())
        query.exclude += excludedWords;
    else
        for (const QString &word : std::as_const(excludedWords))
            include.append(QLatin1Char('-') + word);
    query.include = include.join(QLatin1Char(' '));
    return query;
}

}  // namespace recipes
