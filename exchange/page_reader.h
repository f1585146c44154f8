#pragma once
// The recipes a web page carries, read the same way whether the page was saved to a file or
// fetched from its link: the JSON-LD blocks first, in page order.

#include "exchange/mealmaster_reader.h"

#include <QByteArray>
#include <QString>

namespace exchange {

// sourceName (the file's name or the link) starts each place given. Returns how many recipes the
// page holds, read or not; a page that holds none tells nothing to onProblem, so the caller words it.
int readPage(const QByteArray &html, const QString &sourceName, const RecipeSink &onRecipe,
             const ProblemSink &onProblem);

}  // namespace exchange
