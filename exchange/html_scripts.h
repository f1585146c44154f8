#pragma once
// The JSON-LD a web page carries: the text of each <script type="application/ld+json"> element,
// found by a real HTML parser, so that comments, other scripts and markup that only looks like
// such an element are never taken for one.

#include "exchange/html_document.h"

#include <QByteArray>
#include <QList>

namespace exchange {

// The blocks' texts in page order, as UTF-8.
QList<QByteArray> jsonLdScripts(const HtmlDocument &page);

}  // namespace exchange
