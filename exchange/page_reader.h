#pragma once
// The recipes a web page carries, read the same way whether the page was saved to a file or
// fetched from its link: the JSON-LD blocks in page order, or, when they hold no recipe, the
// recipes marked up as microdata. Each recipe's instructions end with "Source: <link>" when a link
// is known (see pageRecipeFromJsonLd).

#include "exchange/mealmaster_reader.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

namespace exchange {

// sourceName (the file's name or the link) starts each place given. Returns how many recipes the
// page holds, read or not; a page that holds none tells nothing to onProblem, so the caller words it.
// pageUrl is the link the page was fetched from, empty for a saved page.
int readPage(const QByteArray &html, const QString &sourceName, const RecipeSink &onRecipe,
             const ProblemSink &onProblem, const QUrl &pageUrl = {});

}  // namespace exchange
