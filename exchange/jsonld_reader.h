#pragma once
// Reads schema.org Recipe data in JSON-LD, as web pages embed it and as jsonLdText writes it: one
// Recipe object, an array of them, or an object whose "@graph" lists them among other things
// (anything whose "@type" is not Recipe is passed over).
//
// A recipe becomes four fields: the name; the author (a text, or the name of a Person or an
// Organization, several joined by ", "); the ingredients one line each, led by "Yield: ..." when
// the recipe gives a yield; the instructions one line per step or paragraph, a section's name as
// a line of its own before its steps. Its first category comes with it.
//
// Every text is cleaned as a page's text is: tags dropped (a block tag ends a line), every HTML
// character reference decoded once (an old name without ';', "&copy 2020", only when no letter,
// digit or '=' follows it), runs of blanks made one space, lines trimmed, empty lines dropped.

#include "exchange/mealmaster_reader.h"
#include "exchange/read_limits.h"

#include <QByteArray>
#include <QUrl>

class QIODevice;
class QJsonObject;

namespace exchange {

// sourceName (the file's name) starts each place given, followed by the recipe's path in the
// JSON ("file.json: @graph[1]"). JSON that does not parse, or holds no recipe, is told to
// onProblem; so is a recipe without a name, which is skipped while the others are read.
void readJsonLd(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                const ProblemSink &onProblem);
// The same for one block of a page, which may well hold no recipe: nothing is told then. Returns
// how many recipes the block holds, read or not (JSON that does not parse counts as one). Each
// recipe's instructions end with the line pageRecipeFromJsonLd gives.
int readJsonLdBlock(const QByteArray &json, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, const QUrl &pageUrl = {});

// The same from a random-access device, from where it stands to its end, read as a stream: the
// document is checked first, then walked, and only one recipe object is held at a time, so the
// document may be of any size. A recipe object of more than largestRecipe bytes is told to
// onProblem and skipped. A device that grows meanwhile is read as far as it went when it was
// looked at.
void readJsonLd(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                const ProblemSink &onProblem, qint64 largestRecipe = kLargestRead);
int readJsonLdBlock(QIODevice &device, const QString &sourceName, const RecipeSink &onRecipe,
                    const ProblemSink &onProblem, const QUrl &pageUrl = {});

// One Recipe object of a page, read as above, its instructions ending with "Source: <link>": the
// recipe's "url", resolved against pageUrl (the link the page came from, empty for a saved page)
// when relative; pageUrl itself when the recipe gives none; either without its user name and
// password (shownLink); no line when neither is known, nor when the last line already is that
// one. Other readers of pages build such an object so that their recipes come out exactly as
// JSON-LD's do.
ImportedRecipe pageRecipeFromJsonLd(const QJsonObject &recipe, const QUrl &pageUrl);

}  // namespace exchange
