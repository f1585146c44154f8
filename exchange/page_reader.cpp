#include "exchange/page_reader.h"

#include "exchange/html_scripts.h"
#include "exchange/jsonld_reader.h"

namespace exchange {

int readPage(const QByteArray &html, const QString &sourceName, const RecipeSink &onRecipe,
             const ProblemSink &onProblem)
{
    const QList<QByteArray> blocks = jsonLdScripts(html);
    int found = 0;
    for (qsizetype i = 0; i < blocks.size(); ++i)
        found += readJsonLdBlock(blocks[i], sourceName + QStringLiteral(", script %1").arg(i + 1), onRecipe, onProblem);
    return found;
}

}  // namespace exchange
