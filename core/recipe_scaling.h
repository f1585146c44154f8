#pragma once
// A recipe's ingredients scaled: every amount multiplied and written back in place of the old
// one, every other character of the line kept. Amounts written as fractions, or with a US unit,
// come back as fractions ("1 1/2 cups"); others as decimals with the line's separator ("1,5 l").
// The servings line ("Yield: 4", "Serves 4-6") is scaled with them; lines without an amount
// stay as they are. Nothing here changes a stored recipe: the texts are values.
//
// A factor that is not a finite number above 0, or an amount that would grow past what is written
// digit for digit (isWritableAmount), throws recipes::Error saying so.

#include <QString>
#include <QStringView>

namespace recipes {

QString scaledIngredientLine(QStringView line, double factor);
// Every line of the text, the CR LF between them kept.
QString scaledIngredients(QStringView ingredients, double factor);
// Scaled by servings / the servings the text names (see servingsOf); throws recipes::Error when
// it names none, or servings is not a finite number above 0.
QString ingredientsForServings(QStringView ingredients, double servings);

}  // namespace recipes
