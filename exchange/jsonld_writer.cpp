#include "exchange/jsonld_writer.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace exchange {

namespace {

// The text is written straight into UTF-8, in the layout QJsonDocument::toJson(Indented) gives an
// object: keys in their sorted order, four spaces a level, strings escaped as it escapes them.
// Building a QJsonObject per recipe and serializing it cost several times the reading of the rows.

constexpr QStringView kYield = u"Yield: ";

char hexDigit(unsigned v) { return static_cast<char>(v < 10 ? '0' + v : 'a' + v - 10); }

char *unicodeEscape(char *d, char16_t u)
{
    *d++ = '\\';
    *d++ = 'u';
    *d++ = hexDigit(u >> 12 & 0xf);
    *d++ = hexDigit(u >> 8 & 0xf);
    *d++ = hexDigit(u >> 4 & 0xf);
    *d++ = hexDigit(u & 0xf);
    return d;
}

// One character of a JSON string, text[i], written at d; i moves past it (a surrogate pair is
// one character).
char *jsonChar(char *d, QStringView text, qsizetype &i)
{
    const char16_t u = text[i++].unicode();
    if (u < 0x80) {
        if (u >= 0x20 && u != u'"' && u != u'\\') {
            *d++ = static_cast<char>(u);
            return d;
        }
        *d++ = '\\';
        switch (u) {
        case u'"': *d++ = '"'; break;
        case u'\\': *d++ = '\\'; break;
        case u'\b': *d++ = 'b'; break;
        case u'\f': *d++ = 'f'; break;
        case u'\n': *d++ = 'n'; break;
        case u'\r': *d++ = 'r'; break;
        case u'\t': *d++ = 't'; break;
        default: return unicodeEscape(d - 1, u);
        }
        return d;
    }
    if (u < 0x800) {
        *d++ = static_cast<char>(0xc0 | u >> 6);
        *d++ = static_cast<char>(0x80 | (u & 0x3f));
        return d;
    }
    if (QChar::isSurrogate(u)) {
        // A lone surrogate has no UTF-8 form; it is written as an escape.
        if (QChar::isLowSurrogate(u) || i >= text.size() || !text[i].isLowSurrogate())
            return unicodeEscape(d, u);
        const char32_t c = QChar::surrogateToUcs4(u, text[i++].unicode());
        *d++ = static_cast<char>(0xf0 | c >> 18);
        *d++ = static_cast<char>(0x80 | (c >> 12 & 0x3f));
        *d++ = static_cast<char>(0x80 | (c >> 6 & 0x3f));
        *d++ = static_cast<char>(0x80 | (c & 0x3f));
        return d;
    }
    *d++ = static_cast<char>(0xe0 | u >> 12);
    *d++ = static_cast<char>(0x80 | (u >> 6 & 0x3f));
    *d++ = static_cast<char>(0x80 | (u & 0x3f));
    return d;
}

// The most bytes one UTF-16 unit becomes: "&#12288;".
constexpr qsizetype kMostBytesPerUnit = 8;

// One line, written so that the reader's cleaning gives it back unchanged: '&', '<' and every
// blank but a single space between two other characters become entities. The entities need no
// JSON escaping; everything else is escaped for JSON.
void appendLine(QByteArray &out, QStringView line)
{
    const qsizetype size = line.size();
    const qsizetype start = out.size();
    out.resize(start + size * kMostBytesPerUnit);
    char *d = out.data() + start;
    const char16_t *s = line.utf16();
    for (qsizetype i = 0; i < size;) {
        const char16_t u = s[i];
        // Most characters are printable ASCII that nothing escapes.
        if (u > u' ' && u < 0x7f && u != u'"' && u != u'\\' && u != u'&' && u != u'<') {
            *d++ = static_cast<char>(u);
            ++i;
            continue;
        }
        const QChar c(u);
        if (u == u'&') {
            d = std::copy_n("&amp;", 5, d);
            ++i;
        } else if (u == u'<') {
            d = std::copy_n("&lt;", 4, d);
            ++i;
        } else if (c.isSpace() && !(u == u' ' && i > 0 && i + 1 < size && !QChar(s[i - 1]).isSpace()
                                    && !QChar(s[i + 1]).isSpace())) {
            *d++ = '&';
            *d++ = '#';
            char digits[8];
            char *end = digits + sizeof digits;
            char *p = end;
            for (unsigned v = u; p == end || v > 0; v /= 10)
                *--p = static_cast<char>('0' + v % 10);
            d = std::copy(p, end, d);
            *d++ = ';';
            ++i;
        } else {
            d = jsonChar(d, line, i);
        }
    }
    out.resize(d - out.constData());
}

// Calls fn with each line of the field, without the empty ones the reader would drop; stops
// when fn returns false.
template <typename Fn>
void forEachLine(QStringView text, Fn &&fn)
{
    qsizetype from = 0;
    const qsizetype size = text.size();
    while (from <= size) {
        qsizetype at = text.indexOf(u'\r', from);
        while (at >= 0 && (at + 1 >= size || text[at + 1] != u'\n'))
            at = text.indexOf(u'\r', at + 1);
        const qsizetype end = at < 0 ? size : at;
        if (end > from && !fn(text.sliced(from, end - from)))
            return;
        if (at < 0)
            return;
        from = at + 2;
    }
}

bool hasLines(QStringView text)
{
    bool any = false;
    forEachLine(text, [&](QStringView) { return !(any = true); });
    return any;
}

void appendIndent(QByteArray &out, int levels) { out.append(4 * levels, ' '); }

// "key": , at the given depth, after the comma and line break that end the member before.
void appendKey(QByteArray &out, int levels, const char *key, bool first = false)
{
    if (!first)
        out.append(",\n", 2);
    appendIndent(out, levels);
    out.append('"').append(key).append("\": ", 3);
}

// A text that may have several lines, as one JSON string the reader splits again.
void appendText(QByteArray &out, QStringView text)
{
    out.append('"');
    bool first = true;
    forEachLine(text, [&](QStringView line) {
        if (!first)
            out.append("\\n", 2);
        first = false;
        appendLine(out, line);
        return true;
    });
    out.append('"');
}

void appendLineString(QByteArray &out, QStringView line)
{
    out.append('"');
    appendLine(out, line);
    out.append('"');
}

void appendObject(QByteArray &out, const JsonLdFields &recipe)
{
    out.append("{\n", 2);
    appendKey(out, 1, "@context", true);
    out.append("\"https://schema.org\"");
    appendKey(out, 1, "@type");
    out.append("\"Recipe\"");
    if (hasLines(recipe.author)) {
        appendKey(out, 1, "author");
        out.append("{\n", 2);
        appendKey(out, 2, "@type", true);
        out.append("\"Person\"");
        appendKey(out, 2, "name");
        appendText(out, recipe.author);
        out.append('\n');
        appendIndent(out, 1);
        out.append('}');
    }
    appendKey(out, 1, "name");
    appendText(out, recipe.name);
    if (hasLines(recipe.category)) {
        appendKey(out, 1, "recipeCategory");
        appendText(out, recipe.category);
    }

    // The first ingredient line, when it gives the yield, goes last: keys are in sorted order.
    std::optional<QStringView> yield;
    appendKey(out, 1, "recipeIngredient");
    out.append("[\n", 2);
    bool first = true;
    bool leading = true;
    forEachLine(recipe.ingredients, [&](QStringView line) {
        if (std::exchange(leading, false) && line.startsWith(kYield) && line.size() > kYield.size()) {
            yield = line.sliced(kYield.size());
            return true;
        }
        if (!first)
            out.append(",\n", 2);
        first = false;
        appendIndent(out, 2);
        appendLineString(out, line);
        return true;
    });
    if (!first)
        out.append('\n');
    appendIndent(out, 1);
    out.append(']');

    appendKey(out, 1, "recipeInstructions");
    out.append("[\n", 2);
    first = true;
    forEachLine(recipe.instructions, [&](QStringView line) {
        if (!first)
            out.append(",\n", 2);
        first = false;
        appendIndent(out, 2);
        out.append("{\n", 2);
        appendKey(out, 3, "@type", true);
        out.append("\"HowToStep\"");
        appendKey(out, 3, "text");
        appendLineString(out, line);
        out.append('\n');
        appendIndent(out, 2);
        out.append('}');
        return true;
    });
    if (!first)
        out.append('\n');
    appendIndent(out, 1);
    out.append(']');

    if (yield) {
        appendKey(out, 1, "recipeYield");
        appendLineString(out, *yield);
    }
    out.append("\n}", 2);
}

}  // namespace

void appendJsonLdArrayItem(QByteArray &out, bool first, const JsonLdFields &recipe)
{
    out.append(first ? QByteArrayView("\n") : QByteArrayView(",\n"));
    appendObject(out, recipe);
}

QByteArray jsonLdObjectText(const recipes::Recipe &recipe, const QString &category)
{
    QByteArray out;
    appendObject(out, {recipe.name, recipe.author, recipe.ingredients, recipe.instructions, category});
    return out;
}

QByteArray jsonLdText(const std::vector<std::pair<recipes::Recipe, QString>> &recipes)
{
    QByteArray out = jsonLdArrayStart();
    for (std::size_t i = 0; i < recipes.size(); ++i) {
        const recipes::Recipe &r = recipes[i].first;
        appendJsonLdArrayItem(out, i == 0, {r.name, r.author, r.ingredients, r.instructions, recipes[i].second});
    }
    return out + jsonLdArrayEnd();
}

QByteArray jsonLdArrayStart() { return QByteArrayLiteral("["); }

QByteArray jsonLdArrayItem(bool first, const QByteArray &object)
{
    return (first ? QByteArrayLiteral("\n") : QByteArrayLiteral(",\n")) + object;
}

QByteArray jsonLdArrayEnd() { return QByteArrayLiteral("\n]\n"); }

}  // namespace exchange
