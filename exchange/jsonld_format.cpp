#include "exchange/jsonld_format.h"

#include "exchange/jsonld_reader.h"

#include <QFile>

namespace exchange {

bool JsonLdFormat::claims(QByteArrayView head) const { return head.startsWith('{') || head.startsWith('['); }

void JsonLdFormat::read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
                        const ProblemSink &onProblem) const
{
    readJsonLd(file, name, onRecipe, onProblem, limits.jsonRecipeBytes);
}

bool JsonLdFormat::writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                           const ExportProgress &progress, QString *) const
{
    return writeJsonLdRecipes(out, collection, categories, progress);
}

}  // namespace exchange
