#pragma once
// An imported recipe as one line a test can compare and a failure can show.

#include "exchange/imported_recipe.h"

#include <string>

namespace testsupport {

// "where # name # author # category # ingredients # instructions", a field's lines joined by " | ".
inline std::string summary(const exchange::ImportedRecipe &r)
{
    const auto lines = [](QString text) { return text.replace(QLatin1String("\r\n"), QLatin1String(" | ")); };
    return QString(r.where + QLatin1String(" # ") + r.recipe.name + QLatin1String(" # ") + r.recipe.author
                   + QLatin1String(" # ") + r.category + QLatin1String(" # ") + lines(r.recipe.ingredients)
                   + QLatin1String(" # ") + lines(r.recipe.instructions))
        .toStdString();
}

}  // namespace testsupport
