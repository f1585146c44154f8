#include "core/printed_recipe.h"

#include "core/category_schema.h"
#include "core/recipe.h"

namespace recipes {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The text of a field as file bytes. The boxes break lines with LF, text from elsewhere may carry
// CR LF or a lone CR; each of them is one line break and becomes CR LF.
QByteArray fieldText(const QString &text)
{
    QByteArray out;
    const QByteArray utf8 = schema::trimBlanks(text).toUtf8();
    out.reserve(utf8.size() + utf8.size() / 8);
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = utf8.at(i);
        if (c == '\r') {
            if (i + 1 < utf8.size() && utf8.at(i + 1) == '\n')
                ++i;
            out += kLineEnd;
        } else if (c == '\n') {
            out += kLineEnd;
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

QByteArray printedText(const QString &name, const QString &author, const QString &ingredients,
                       const QString &instructions)
{
    QByteArray out;
    const auto line = [&out](const QByteArray &text) { out += text + kLineEnd; };
    line("Name: " + fieldText(name));
    line({});
    line("Author: " + fieldText(author));
    line({});
    // Spelt as the program has always printed it.
    line("Ingredints:");
    line(fieldText(ingredients));
    line({});
    line({});
    line("Instructions:");
    line(fieldText(instructions));
    return out;
}

QByteArray printedText(const Recipe &recipe)
{
    return printedText(recipe.name, recipe.author, recipe.ingredients, recipe.instructions);
}

QByteArray printedHtmlLines(const QByteArray &printedText)
{
    QByteArray out;
    out.reserve(printedText.size() + printedText.size() / 4);
    qsizetype pos = 0;
    while (pos < printedText.size()) {
        qsizetype end = printedText.indexOf('\r', pos);
        qsizetype next;
        if (end < 0) {
            end = printedText.size();
            next = end;
        } else {
            next = end + 1;
            if (next < printedText.size() && printedText.at(next) == '\n')
                ++next;
        }
        out += htmlEscaped(printedText.mid(pos, end - pos)) + "<br>" + kLineEnd;
        pos = next;
    }
    return out;
}

QByteArray htmlEscaped(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

QByteArray htmlEscaped(const QString &text) { return htmlEscaped(text.toUtf8()); }

}  // namespace recipes
