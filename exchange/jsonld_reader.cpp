#include "exchange/jsonld_reader.h"

#include "exchange/html_entities.h"
#include "exchange/json_checker.h"
#include "exchange/json_source.h"
#include "exchange/shown_link.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace exchange {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The longest reference name HTML has, "CounterClockwiseContourIntegral", and more than any
// numeric one needs; an '&' further from its ';' is plain text.
constexpr qsizetype kLongestEntity = 32;

bool isAsciiAlnum(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

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

// The characters of a numeric reference's digits ("#233", "#xE9"). 0, surrogates and what lies
// past Unicode stay text, as do 0x80-0x9F (a blank the writer wrote as "&#133;" must read back).
Entity decodeNumber(QStringView name, QString &out)
{
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

// The reference that starts with the '&' at line[at], decoded once into out; length is how many
// characters it takes. Names are HTML's own; the old ones that may go without ';' ("&copy 2020")
// are taken so only when no letter, digit or '=' follows, so "&copyright" and "?a=1&copy=2" stay text.
Entity decodeReference(QStringView line, qsizetype at, QString &out, qsizetype &length)
{
    qsizetype end = at + 1;
    const bool numeric = end < line.size() && line[end] == u'#';
    if (numeric)
        ++end;
    while (end < line.size() && end - at <= kLongestEntity + 1 && isAsciiAlnum(line[end]))
        ++end;
    const QStringView name = line.mid(at + 1, end - at - 1);
    const bool semicolon = end < line.size() && line[end] == u';';
    if (name.isEmpty() || name.size() > kLongestEntity)
        return Entity::Unknown;
    if (numeric) {
        length = end - at + 1;
        return semicolon ? decodeNumber(name, out) : Entity::Unknown;
    }
    const HtmlEntity *entity = findHtmlEntity(name);
    if (!entity || (!semicolon && (!entity->legacy || (end < line.size() && line[end] == u'='))))
        return Entity::Unknown;
    length = end - at + (semicolon ? 1 : 0);
    if (name == u"nbsp")
        return Entity::Blank;
    const char32_t chars[] = {entity->first, entity->second};
    out = QString::fromUcs4(chars, entity->second ? 2 : 1);
    return Entity::Text;
}

// Appends one line of a text with its tags already gone, after separator unless out is empty,
// and nothing when nothing is left of it: entities decoded, blanks written in the text (and
// &nbsp;) collapsed to one space and trimmed. A blank that comes from a numeric entity is kept as
// it is, which is how jsonLdText writes blanks that must survive.
void appendCleanLine(QString &out, QStringView line, QStringView separator)
{
    bool started = false;
    bool blankPending = false;
    const auto put = [&](QStringView piece) {
        if (!started && !out.isEmpty())
            out += separator;
        else if (started && blankPending)
            out += u' ';
        started = true;
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
            QString decoded;
            qsizetype length = 0;
            const Entity e = decodeReference(line, i, decoded, length);
            if (e != Entity::Unknown) {
                if (e == Entity::Blank)
                    blankPending = true;
                else
                    put(decoded);
                i += length;
                continue;
            }
        }
        put(line.mid(i, 1));
        ++i;
    }
}

// Appends a text's lines as a page shows them, as appendCleanLine does: a block tag ends a line,
// other tags and comments go. Only '<' followed by a letter, '/' or '!' opens a tag, so "a < b"
// stays text. The text is taken, and the lines written straight into out, so that a long text is
// not held again as a list of lines and once more joined.
void appendCleanLines(QString &out, QString text, QStringView separator)
{
    static const QRegularExpression comment(QStringLiteral("<!--.*?-->"),
                                            QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression blockTag(
        QStringLiteral("</?(?:br|p|div|li|ul|ol|h[1-6]|tr|table|blockquote|section|article)\\b[^>]*>"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression otherTag(QStringLiteral("</?[A-Za-z][^>]*>"));
    static const QRegularExpression lineBreak(QStringLiteral("\\r\\n|\\r|\\n"));

    if (text.contains(u'<')) {
        text.remove(comment);
        text.replace(blockTag, QStringLiteral("\n"));
        text.remove(otherTag);
    }
    for (const QStringView line : QStringView(text).split(lineBreak))
        appendCleanLine(out, line, separator);
}

QString cleanText(QString text, QStringView separator)
{
    QString out;
    appendCleanLines(out, std::move(text), separator);
    return out;
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

QString cleanField(const QJsonValue &value) { return cleanText(scalarText(value), kCrLf); }

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
    const QString name =
        cleanText(value.isObject() ? scalarText(value.toObject().value(QLatin1String("name"))) : scalarText(value), u" ");
    if (!name.isEmpty())
        names.append(name);
}

// Types may be written in full ("http://schema.org/Recipe") or prefixed ("schema:Recipe").
bool isRecipeType(const QJsonValue &value)
{
    const QLatin1String type("Recipe");
    const auto is = [&](const QJsonValue &v) {
        const QString t = v.toString();
        if (t == type)
            return true;
        const qsizetype before = t.size() - type.size() - 1;
        return t.endsWith(type) && before >= 0 && (t[before] == u'/' || t[before] == u':');
    };
    if (value.isArray()) {
        const QJsonArray types = value.toArray();
        return std::any_of(types.begin(), types.end(), [&](const QJsonValue &v) { return is(v); });
    }
    return is(value);
}

// The steps' lines appended to steps, each after a line break.
void collectInstructions(const QJsonValue &value, QString &steps)
{
    if (value.isArray()) {
        const QJsonArray items = value.toArray();
        for (const QJsonValue &item : items)
            collectInstructions(item, steps);
        return;
    }
    if (!value.isObject()) {
        appendCleanLines(steps, scalarText(value), kCrLf);
        return;
    }
    const QJsonObject object = value.toObject();
    if (object.contains(QLatin1String("itemListElement"))) {
        appendCleanLines(steps, scalarText(object.value(QLatin1String("name"))), kCrLf);
        collectInstructions(object.value(QLatin1String("itemListElement")), steps);
        return;
    }
    const qsizetype before = steps.size();
    appendCleanLines(steps, scalarText(object.value(QLatin1String("text"))), kCrLf);
    if (steps.size() == before)
        appendCleanLines(steps, scalarText(object.value(QLatin1String("name"))), kCrLf);
}

ImportedRecipe recipeFrom(const QJsonObject &object)
{
    ImportedRecipe imported;
    recipes::Recipe &r = imported.recipe;
    r.name = cleanField(object.value(QLatin1String("name")));

    QStringList authors;
    collectAuthors(object.value(QLatin1String("author")), authors);
    r.author = authors.join(QLatin1String(", "));

    QString ingredients;
    const QString yield = cleanText(firstText(object.value(QLatin1String("recipeYield"))), u" ");
    if (!yield.isEmpty())
        ingredients = QLatin1String("Yield: ") + yield;
    QJsonValue list = object.value(QLatin1String("recipeIngredient"));
    if (list.isUndefined())
        list = object.value(QLatin1String("ingredients"));
    const QJsonArray items = list.isArray() ? list.toArray() : QJsonArray{list};
    for (const QJsonValue &item : items)
        appendCleanLines(ingredients, scalarText(item), kCrLf);
    r.ingredients = std::move(ingredients);

    collectInstructions(object.value(QLatin1String("recipeInstructions")), r.instructions);

    imported.category = cleanField(firstText(object.value(QLatin1String("recipeCategory"))));
    return imported;
}

// "Source: <link>" as the instructions' last line, unless it already is; never with a name and
// password, whether the page's link or the recipe's own carries them.
void addSourceLine(recipes::Recipe &recipe, const QJsonObject &object, const QUrl &pageUrl)
{
    const QString given = firstText(object.value(QLatin1String("url"))).simplified();
    QString link = shownLink(given);
    if (!pageUrl.isEmpty()) {
        const QUrl url(given);
        if (given.isEmpty() || (url.isValid() && url.isRelative()))
            link = shownLink(pageUrl.resolved(url));
    }
    if (link.isEmpty())
        return;
    const QString line = QLatin1String("Source: ") + link;
    QString &steps = recipe.instructions;
    const qsizetype lastBreak = steps.lastIndexOf(kCrLf);
    if (QStringView(steps).mid(lastBreak < 0 ? 0 : lastBreak + 2) != line)
        steps += (steps.isEmpty() ? QString() : kCrLf) + line;
}

void skipSpace(JsonSource &in)
{
    for (int c = in.peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = in.peek())
        in.skip();
}

// Past the closing quote of the string whose opening one was read.
void skipString(JsonSource &in)
{
    for (int c = in.get(); c >= 0 && c != '"'; c = in.get()) {
        if (c == '\\')
            in.skip();
    }
}

// Past the value that starts at the present position, in a document already checked.
void skipValue(JsonSource &in)
{
    int depth = 0;
    do {
        skipSpace(in);
        const int c = in.get();
        if (c < 0)
            return;
        if (c == '"') {
            skipString(in);
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if (c == ']' || c == '}') {
            --depth;
        } else if (c != ',' && c != ':') {
            // A number or a literal runs to the next structural character or blank.
            for (int d = in.peek(); d >= 0 && !std::strchr(",:]} \t\r\n", d); d = in.peek())
                in.skip();
        }
    } while (depth > 0);
}

// The key whose opening quote was read, when it is short enough to be one the walk looks for.
QString keyText(JsonSource &in)
{
    // "@graph" fully escaped is 36 bytes; a longer key is none of ours and is never held.
    constexpr qsizetype kLongestKey = 64;
    QByteArray raw;
    for (int c = in.get(); c >= 0 && c != '"'; c = in.get()) {
        if (raw.size() <= kLongestKey)
            raw.append(static_cast<char>(c));
        if (c == '\\') {
            const int escaped = in.get();
            if (raw.size() <= kLongestKey && escaped >= 0)
                raw.append(static_cast<char>(escaped));
        }
    }
    if (raw.size() > kLongestKey)
        return {};
    // Qt decodes the escapes, as it did when it read the whole file.
    return QJsonDocument::fromJson("[\"" + raw + "\"]").array().at(0).toString();
}

QJsonValue parsedValue(const QByteArray &json) { return QJsonDocument::fromJson('[' + json + ']').array().at(0); }

// Walks a checked document and reads each recipe where the whole-document reader found one: the
// top value, the items of arrays there, and the "@graph" of objects there. Only a recipe object
// is held whole; everything else streams past.
struct Walk {
    JsonSource &in;
    const QString &sourceName;
    const RecipeSink &onRecipe;
    const ProblemSink &onProblem;
    const QUrl *page;  // the link of the page the document is a block of; null for a file
    qint64 largestRecipe;
    int recipesSeen = 0;

    QString where(const QString &path) const { return path.isEmpty() ? sourceName : sourceName + u": " + path; }

    // The value at the present position, blanks passed.
    void visit(const QString &path)
    {
        const int c = in.get();
        if (c == '[') {
            skipSpace(in);
            if (in.peek() == ']') {
                in.skip();
                return;
            }
            for (qsizetype i = 0;; ++i) {
                skipSpace(in);
                visit(path + u'[' + QString::number(i) + u']');
                skipSpace(in);
                if (in.get() != ',')
                    return;
            }
        }
        if (c == '{') {
            object(path, in.pos() - 1);
            return;
        }
        in.seek(in.pos() - 1);
        skipValue(in);
    }

    void object(const QString &path, qint64 start)
    {
        // As the whole-document reader: a key given twice counts by its last value.
        std::optional<qint64> graph;
        std::optional<std::pair<qint64, qint64>> type;
        skipSpace(in);
        if (in.peek() == '}') {
            in.skip();
        } else {
            do {
                skipSpace(in);
                in.skip();  // the key's quote
                const QString key = keyText(in);
                skipSpace(in);
                in.skip();  // ':'
                skipSpace(in);
                const qint64 at = in.pos();
                skipValue(in);
                if (key == u"@graph")
                    graph = at;
                else if (key == u"@type")
                    type = std::pair(at, in.pos());
                skipSpace(in);
            } while (in.get() == ',');
        }
        const qint64 end = in.pos();
        if (graph) {
            in.seek(*graph);
            visit(path.isEmpty() ? QStringLiteral("@graph") : path + QLatin1String(".@graph"));
            in.seek(end);
            return;
        }
        if (!type)
            return;
        // A type too large to hold is taken for a recipe's, so that the object is told as too large.
        bool recipe = true;
        if (type->second - type->first <= largestRecipe) {
            in.seek(type->second);
            recipe = isRecipeType(parsedValue(in.bytesSince(type->first)));
            in.seek(end);
        }
        if (!recipe)
            return;
        ++recipesSeen;
        if (end - start > largestRecipe) {
            onProblem({where(path), QStringLiteral("The recipe is too large: %1, over the %2 this program reads of one "
                                                   "recipe, so it was not read.")
                                        .arg(byteSize(end - start), byteSize(largestRecipe))});
            return;
        }
        const QJsonObject object = QJsonDocument::fromJson(in.bytesSince(start)).object();
        ImportedRecipe imported = page ? pageRecipeFromJsonLd(object, *page) : recipeFrom(object);
        imported.where = where(path);
        if (imported.recipe.name.isEmpty())
            onProblem({imported.where, QStringLiteral("The recipe has no name, so it was not read.")});
        else
            onRecipe(imported);
    }
};

int readBlock(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe, const ProblemSink &onProblem,
              const QUrl *page, qint64 largestRecipe)
{
    JsonSource in(device);
    if (const std::optional<JsonFault> fault = JsonChecker::check(in)) {
        onProblem({sourceName + u": offset " + QString::number(fault->offset),
                   QStringLiteral("The file is not valid JSON: ") + fault->reason() + u'.'});
        return 1;
    }
    in.seek(0);
    if (in.size() > 3 && in.peekAt(0) == 0xef && in.peekAt(1) == 0xbb && in.peekAt(2) == 0xbf)
        in.skip(3);
    skipSpace(in);
    Walk walk{in, sourceName, onRecipe, onProblem, page, largestRecipe};
    walk.visit(QString());
    return walk.recipesSeen;
}

}  // namespace

ImportedRecipe pageRecipeFromJsonLd(const QJsonObject &recipe, const QUrl &pageUrl)
{
    ImportedRecipe imported = recipeFrom(recipe);
    addSourceLine(imported.recipe, recipe, pageUrl);
    return imported;
}

int readJsonLdBlock(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, const QUrl &pageUrl)
{
    return readBlock(device, sourceName, onRecipe, onProblem, &pageUrl, kLargestRead);
}

void readJsonLd(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                const ProblemSink &onProblem, qint64 largestRecipe)
{
    if (readBlock(device, sourceName, onRecipe, onProblem, nullptr, largestRecipe) == 0)
        onProblem({sourceName, QStringLiteral("The file holds no recipe.")});
}

int readJsonLdBlock(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, const QUrl &pageUrl)
{
    QBuffer buffer;
    buffer.setData(json);
    buffer.open(QIODevice::ReadOnly);
    return readJsonLdBlock(buffer, sourceName, onRecipe, onProblem, pageUrl);
}

void readJsonLd(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                const ProblemSink &onProblem)
{
    QBuffer buffer;
    buffer.setData(json);
    buffer.open(QIODevice::ReadOnly);
    readJsonLd(buffer, sourceName, onRecipe, onProblem);
}

}  // namespace exchange
