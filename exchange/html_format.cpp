#include "exchange/html_format.h"

#include "exchange/cookbook_html.h"
#include "exchange/page_charset.h"
#include "exchange/page_reader.h"

#include <QFile>

namespace exchange {

void HtmlFormat::read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
                      const ProblemSink &onProblem) const
{
    // A saved page may declare its character set only in itself.
    readPage(pageAsUtf8(readWhole(file, limits.pageBytes), {}), name, onRecipe, onProblem);
}

bool HtmlFormat::writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                         const ExportProgress &progress, QString *) const
{
    return writeCookbookHtml(out, collection, categories, progress);
}

}  // namespace exchange
