#include "exchange/recipe_format.h"

namespace exchange {

RecipeFormat::~RecipeFormat() = default;

QString RecipeFormat::filter() const
{
    const QStringList all = suffixes();
    return all.isEmpty() ? title() : QStringLiteral("%1 (*.%2)").arg(title(), all.front());
}

bool RecipeFormat::claims(QByteArrayView) const { return false; }

void RecipeFormat::read(QFile &, const QString &name, const ReadLimits &, const RecipeSink &,
                        const ProblemSink &onProblem) const
{
    onProblem({name, QStringLiteral("The file holds no recipe this program can read.")});
}

bool RecipeFormat::exportTo(const QString &path, const recipes::Collection &, const QStringList &,
                            const ExportProgress &, QString *error) const
{
    if (error)
        *error = QStringLiteral("%1 cannot be written as %2.").arg(path, title());
    return false;
}

}  // namespace exchange
