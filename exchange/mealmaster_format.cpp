#include "exchange/mealmaster_format.h"

#include <QFile>

namespace exchange {

void MealMasterFormat::read(QFile &file, const QString &name, const ReadLimits &limits, const RecipeSink &onRecipe,
                            const ProblemSink &onProblem) const
{
    readMealMaster(file, name, onRecipe, onProblem, limits.mealMasterRecipeBytes);
}

bool MealMasterFormat::writeTo(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                               const ExportProgress &progress, QString *) const
{
    return writeMealMasterRecipes(out, collection, categories, progress);
}

}  // namespace exchange
