#include "exchange/jsonld_reader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The longest entity we decode, "#x10FFFF"; an '&' further from its ';' is plain text.
constexpr qsizetype kLongestEntity = 8;

bool isDigits(QStringView text, int base)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text) {
        const bool ok = base == 10 ? c.isDigit()
                                   : (c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
        if (!ok || c.unicode() > 0x7f)
            return false;
    }
    return true;
}

enum class Entity { Unknown, Blank, Text };

// The character an entity's name (what lies between '&' and ';') stands for.
Entity decodeEntity(QStringView name, QString &out)
{
    static const struct {
        const char16_t *name;
        char16_t ch;
    } named[] = {{u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''}};
    if (name == u"nbsp")
        return Entity::Blank;
    for (const auto &n : named) {
        if (name == QStringView(n.name)) {
            out = QChar(n.ch);
            return Entity::Text;
        }
    }
    if (!name.startsWith(u'#'))
        return Entity::Unknown;
    const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
    const QStringView digits = name.mid(hex ? 2 : 1);
    if (!isDigits(digits, hex ? 16 : 10))
        return Entity::Unknown;
    bool ok = false;
    const uint code = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff))
        return Entity::Unknown;
    const char32_t c = code;
    out = QString::fromUcs4(&c, 1);
    return Entity::Text;
}

// One line of a text with its tags already gone: entities decoded, blanks written in the text
// (and &nbsp;) collapsed to one space and trimmed. A blank that comes from a numeric entity is
// kept as it is, which is how jsonLdText writes blanks that must survive.
QString cleanLine(QStringView line)
{
    QString out;
    bool blankPending = false;
    const auto put = [&](QStringView piece) {
        if (blankPending && !out.isEmpty())
            out += u' ';
        blankPending = false;
        out += piece;
    };
    for (qsizetype i = 0; i < line.size();) {
        const QChar c = line[i];
        if (c.isSpace()) {
            blankPending = true;
            ++i;
            continue;
        }
        if (c == u'&') {
            const qsizetype semi = line.indexOf(u';', i + 1);
            if (semi > i + 1 && semi - i - 1 <= kLongestEntity) {
                QString decoded;
                const Entity e = decodeEntity(line.mid(i + 1, semi - i - 1), decoded);
                if (e != Entity::Unknown) {
                    if (e == Entity::Blank)
                        blankPending = true;
                    else
                        put(decoded);
                    i = semi + 1;
                    continue;
                }
            }
        }
        put(line.mid(i, 1));
        ++i;
    }
    return out;
}

// A text's lines as a page shows them: a block tag ends a line, other tags and comments go.
// Only '<' followed by a letter, '/' or '!' opens a tag, so "a < b" stays text.
QStringList cleanLines(const QString &raw)
{
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression blockTag(
        QStringLiteral("</?(?:br|p|div|li|ul|ol|h[1-6]|tr|table|blockquote|section|article)\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression otherTag(QStringLiteral("</?[A-Za-z][^>]*>"));
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));

    QString text = raw;
    if (text.contains(u'<')) {
        text.remove(comment);
        text.replace(blockTag, QStringLiteral("\n"));
        text.remove(otherTag);
    }
    QStringList lines;
    for (const QString &line : text.split(lineBreak)) {
        QString cleaned = cleanLine(line);
        if (!cleaned.isEmpty())
            lines.append(std::move(cleaned));
    }
    return lines;
}

// A value as text: a string as it is, a number written out; anything else gives nothing.
QString scalarText(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return {};
}

QString cleanField(const QJsonValue &value) { return cleanLines(scalarText(value)).join(kCrLf); }

// The first text of a value that may be a list ("recipeYield": ["4", "4 servings"]); a number
// only when the list has no text.
QString firstText(const QJsonValue &value)
{
    if (!value.isArray())
        return scalarText(value);
    const QJsonArray items = value.toArray();
    for (const QJsonValue &item : items) {
        if (item.isString())
            return item.toString();
    }
    for (const QJsonValue &item : items) {
        if (item.isDouble())
            return scalarText(item);
    }
    return {};
}

void collectAuthors(const QJsonValue &value, QStringList &names)
{
    if (value.isArray()) {
        const QJsonArray items = value.toArray();
        for (const QJsonValue &item : items)
            collectAuthors(item, names);
        return;
    }
    const QString name = cleanLines(value.isObject() ? scalarText(value.toObject().value(QLatin1String("name")))
                                                     : scalarText(value))
                             .join(QLatin1Char(' '));
    if (!name.isEmpty())
        names.append(name);
}

bool hasType(const QJsonObject &object, QLatin1String type)
{
    // Types may be written in full ("http://schema.org/Recipe") or prefixed ("schema:Recipe").
    const auto is = [&](const QJsonValue &v) {
        const QString t = v.toString();
        if (t == type)
            return true;
        const qsizetype before = t.size() - type.size() - 1;
        return t.endsWith(type) && before >= 0 && (t[before] == u'/' || t[before] == u':');
    };
    const QJsonValue value = object.value(QLatin1String("@type"));
    if (value.isArray()) {
        const QJsonArray types = value.toArray();
        return std::any_of(types.begin(), types.end(), [&](const QJsonValue &v) { return is(v); });
    }
    return is(value);
}

void collectInstructions(const QJsonValue &value, QStringList &lines)
{
    if (value.isArray()) {
        const QJsonArray items = value.toArray();
        for (const QJsonValue &item : items)
            collectInstructions(item, lines);
        return;
    }
    if (!value.isObject()) {
        lines += cleanLines(scalarText(value));
        return;
    }
    const QJsonObject object = value.toObject();
    if (object.contains(QLatin1String("itemListElement"))) {
        lines += cleanLines(scalarText(object.value(QLatin1String("name"))));
        collectInstructions(object.value(QLatin1String("itemListElement")), lines);
        return;
    }
    const QStringList text = cleanLines(scalarText(object.value(QLatin1String("text"))));
    lines += text.isEmpty() ? cleanLines(scalarText(object.value(QLatin1String("name")))) : text;
}

ImportedRecipe recipeFrom(const QJsonObject &object)
{
    ImportedRecipe imported;
    recipes::Recipe &r = imported.recipe;
    r.name = cleanField(object.value(QLatin1String("name")));

    QStringList authors;
    collectAuthors(object.value(QLatin1String("author")), authors);
    r.author = authors.join(QLatin1String(", "));

    QStringList ingredients;
    const QString yield = cleanLines(firstText(object.value(QLatin1String("recipeYield")))).join(QLatin1Char(' '));
    if (!yield.isEmpty())
        ingredients.append(QLatin1String("Yield: ") + yield);
    QJsonValue list = object.value(QLatin1String("recipeIngredient"));
    if (list.isUndefined())
        list = object.value(QLatin1String("ingredients"));
    const QJsonArray items = list.isArray() ? list.toArray() : QJsonArray{list};
    for (const QJsonValue &item : items)
        ingredients += cleanLines(scalarText(item));
    r.ingredients = ingredients.join(kCrLf);

    QStringList steps;
    collectInstructions(object.value(QLatin1String("recipeInstructions")), steps);
    r.instructions = steps.join(kCrLf);

    imported.category = cleanField(firstText(object.value(QLatin1String("recipeCategory"))));
    return imported;
}

struct Walk {
    const QString &sourceName;
    const RecipeSink &onRecipe;
    const ProblemSink &onProblem;
    int recipesSeen = 0;

    QString where(const QString &path) const { return path.isEmpty() ? sourceName : sourceName + u": " + path; }

    void visit(const QJsonValue &value, const QString &path)
    {
        if (value.isArray()) {
            const QJsonArray items = value.toArray();
            for (qsizetype i = 0; i < items.size(); ++i)
                visit(items.at(i), path + u'[' + QString::number(i) + u']');
            return;
        }
        if (!value.isObject())
            return;
        const QJsonObject object = value.toObject();
        if (object.contains(QLatin1String("@graph"))) {
            visit(object.value(QLatin1String("@graph")),
                  path.isEmpty() ? QStringLiteral("@graph") : path + QLatin1String(".@graph"));
            return;
        }
        if (!hasType(object, QLatin1String("Recipe")))
            return;
        ++recipesSeen;
        ImportedRecipe imported = recipeFrom(object);
        imported.where = where(path);
        if (imported.recipe.name.isEmpty())
            onProblem({imported.where, QStringLiteral("The recipe has no name, so it was not read.")});
        else
            onRecipe(imported);
    }
};

}  // namespace

int readJsonLdBlock(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                   const ProblemSink &onProblem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError) {
        onProblem({sourceName + u": offset " + QString::number(error.offset),
                   QStringLiteral("The file is not valid JSON: ") + error.errorString() + u'.'});
        return 1;
    }
    Walk walk{sourceName, onRecipe, onProblem};
    walk.visit(document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object()), QString());
    return walk.recipesSeen;
}

void readJsonLd(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                const ProblemSink &onProblem)
{
    if (readJsonLdBlock(json, sourceName, onRecipe, onProblem) == 0)
        onProblem({sourceName, QStringLiteral("The file holds no recipe.")});
}

}  // namespace exchange
