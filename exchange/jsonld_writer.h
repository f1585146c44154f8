#pragma once
// Writes recipes as a JSON array of schema.org Recipe objects, UTF-8 and indented, which
// readJsonLd reads back to the same four fields and category.
//
// A first ingredient line "Yield: ..." becomes the recipe's yield, each other ingredient line an
// entry, each instructions line a step. Since the reader cleans texts as a page's, '&', '<' and
// any blank it would collapse or trim are written as entities.

#include "core/recipe.h"

#include <QByteArray>
#include <QString>

#include <utility>
#include <vector>

namespace exchange {

QByteArray jsonLdText(const std::vector<std::pair<recipes::Recipe, QString /*category*/>> &recipes);

}  // namespace exchange
