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
#include <QStringView>

#include <utility>
#include <vector>

namespace exchange {

QByteArray jsonLdText(const std::vector<std::pair<recipes::Recipe, QString /*category*/>> &recipes);

// The same array written piece by piece, so that a whole collection is never held at once:
// the start, each recipe's object as an item (first: the array's first), then the end.
QByteArray jsonLdObjectText(const recipes::Recipe &recipe, const QString &category);
QByteArray jsonLdArrayStart();
QByteArray jsonLdArrayItem(bool first, const QByteArray &object);
QByteArray jsonLdArrayEnd();

// The four fields and the category of one recipe, as the writer reads them: views into texts
// that outlive the call.
struct JsonLdFields {
    QStringView name;
    QStringView author;
    QStringView ingredients;
    QStringView instructions;
    QStringView category;
};
// Appends what jsonLdArrayItem(first, jsonLdObjectText(...)) gives, without making either.
void appendJsonLdArrayItem(QByteArray &out, bool first, const JsonLdFields &recipe);

}  // namespace exchange
