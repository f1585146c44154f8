#pragma once
// A recipe as the print page shows it, in one place for everything that prints or exports one:
// its lines as text ("Name: ...", the author, the ingredients, the instructions) and each line
// as a line of a page. UTF-8, CR LF after every line.

#include <QByteArray>
#include <QString>

namespace recipes {

struct Recipe;

// The recipe's lines for the four texts (name, author, ingredients, instructions), each text
// trimmed of blanks. Every line break inside a text, whether CR LF, a lone LF or a lone CR, is
// written as one CR LF, so that every line ends in CR LF.
QByteArray printedText(const QString &name, const QString &author, const QString &ingredients,
                       const QString &instructions);
QByteArray printedText(const Recipe &recipe);

// The lines of printedText as lines of a page: a line ends at CR, and CR LF counts as one end.
// Each line is escaped and ends in "<br>" and CR LF, so that the recipe shows as written.
QByteArray printedHtmlLines(const QByteArray &printedText);

// Text bytes with &, <, > and " escaped, safe both between tags and inside a quoted attribute.
QByteArray htmlEscaped(const QByteArray &text);
QByteArray htmlEscaped(const QString &text);

}  // namespace recipes
