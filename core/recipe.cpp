#include "core/recipe.h"

namespace recipes {

const QString &Recipe::field(int i) const
{
    switch (i) {
    case 0:
        return name;
    case 1:
        return author;
    case 2:
        return ingredients;
    default:
        return instructions;
    }
}

QString &Recipe::field(int i) { return const_cast<QString &>(std::as_const(*this).field(i)); }

}  // namespace recipes
