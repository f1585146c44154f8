#include "exchange/jsonld_writer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kYield = QStringLiteral("Yield: ");

// One line, written so that the reader's cleaning gives it back unchanged: a single space between
// two other characters is the only blank left as it is.
QString escapeLine(const QString &line)
{
    const qsizetype size = line.size();
    const auto plain = [&](qsizetype i) {
        const QChar c = line[i];
        if (c == u'&' || c == u'<')
            return false;
        if (!c.isSpace())
            return true;
        return c == u' ' && i > 0 && i + 1 < size && !line[i - 1].isSpace() && !line[i + 1].isSpace();
    };
    // Most lines need nothing escaped: they are given back as they are, without a copy.
    qsizetype first = 0;
    while (first < size && plain(first))
        ++first;
    if (first == size)
        return line;
    QString out;
    out.reserve(size + 16);
    out.append(QStringView(line).first(first));
    for (qsizetype i = first; i < size; ++i) {
        const QChar c = line[i];
        if (plain(i))
            out.append(c);
        else if (c == u'&')
            out.append(QLatin1String("&amp;"));
        else if (c == u'<')
            out.append(QLatin1String("&lt;"));
        else
            out.append(QLatin1String("&#")).append(QString::number(c.unicode())).append(u';');
    }
    return out;
}

// The field's lines, without the empty ones the reader would drop.
QStringList linesOf(const QString &text)
{
    QStringList lines = text.split(kCrLf);
    lines.removeAll(QString());
    return lines;
}

// A text that may have several lines, as one JSON string the reader splits again.
QString escapeText(const QString &text)
{
    QStringList lines = linesOf(text);
    for (QString &line : lines)
        line = escapeLine(line);
    return lines.join(u'\n');
}

QJsonObject recipeObject(const recipes::Recipe &recipe, const QString &category)
{
    QJsonObject object;
    object.insert(QLatin1String("@context"), QStringLiteral("https://schema.org"));
    object.insert(QLatin1String("@type"), QStringLiteral("Recipe"));
    object.insert(QLatin1String("name"), escapeText(recipe.name));
    if (!linesOf(recipe.author).isEmpty()) {
        object.insert(QLatin1String("author"),
                      QJsonObject{{QLatin1String("@type"), QStringLiteral("Person")},
                                  {QLatin1String("name"), escapeText(recipe.author)}});
    }
    if (!linesOf(category).isEmpty())
        object.insert(QLatin1String("recipeCategory"), escapeText(category));

    QStringList ingredients = linesOf(recipe.ingredients);
    if (!ingredients.isEmpty() && ingredients.first().startsWith(kYield) &&
        ingredients.first().size() > kYield.size()) {
        object.insert(QLatin1String("recipeYield"), escapeLine(ingredients.takeFirst().mid(kYield.size())));
    }
    QJsonArray entries;
    for (const QString &line : std::as_const(ingredients))
        entries.append(escapeLine(line));
    object.insert(QLatin1String("recipeIngredient"), entries);

    QJsonArray steps;
    for (const QString &line : linesOf(recipe.instructions)) {
        steps.append(QJsonObject{{QLatin1String("@type"), QStringLiteral("HowToStep")},
                                 {QLatin1String("text"), escapeLine(line)}});
    }
    object.insert(QLatin1String("recipeInstructions"), steps);
    return object;
}

}  // namespace

QByteArray jsonLdObjectText(const recipes::Recipe &recipe, const QString &category)
{
    return QJsonDocument(recipeObject(recipe, category)).toJson(QJsonDocument::Indented).trimmed();
}

QByteArray jsonLdText(const std::vector<std::pair<recipes::Recipe, QString>> &recipes)
{
    QByteArray out = jsonLdArrayStart();
    for (std::size_t i = 0; i < recipes.size(); ++i)
        out += jsonLdArrayItem(i == 0, jsonLdObjectText(recipes[i].first, recipes[i].second));
    return out + jsonLdArrayEnd();
}

QByteArray jsonLdArrayStart() { return QByteArrayLiteral("["); }

QByteArray jsonLdArrayItem(bool first, const QByteArray &object)
{
    return (first ? QByteArrayLiteral("\n") : QByteArrayLiteral(",\n")) + object;
}

QByteArray jsonLdArrayEnd() { return QByteArrayLiteral("\n]\n"); }

}  // namespace exchange
