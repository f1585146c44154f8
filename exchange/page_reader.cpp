#include "exchange/page_reader.h"

#include "exchange/html_scripts.h"
#include "exchange/jsonld_reader.h"
#include "exchange/microdata_reader.h"

namespace exchange {

int readPage(const QByteArray &html, const QString &sourceName, const RecipeSink &onRecipe,
             const ProblemSink &onProblem, const QUrl &pageUrl)
{
    // Parsed once for both readers.
    const HtmlDocument page(html);
    const QList<QByteArray> blocks = jsonLdScripts(page);
    int found = 0;
    for (qsizetype i = 0; i < blocks.size(); ++i)
        found += readJsonLdBlock(blocks[i], sourceName + QStringLiteral(", script %1").arg(i + 1), onRecipe,
                                 onProblem, pageUrl);
    // Microdata only when no JSON-LD recipe is there, as pages that have both say the same twice.
    if (found == 0)
        found = readMicrodata(page, sourceName, pageUrl, onRecipe, onProblem);
    return found;
}

}  // namespace exchange
