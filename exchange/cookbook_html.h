#pragma once
// The collection, or some of its categories, as one cookbook page: a title, the contents (each
// category a heading over links to its recipes) and then every recipe as the print page shows
// it, each under an anchor the contents links to. UTF-8, CR LF line ends, every text escaped.
//
// Written as it is read, one category at a time (names for the contents first, the recipes
// second), so the page can be as large as the collection without the collection being held.

#include <QStringList>

#include <functional>

class QIODevice;

namespace recipes {
class Collection;
}

namespace exchange {

// Writes the page for categories (in the order given, each recipe in stored order) to out.
// progress is told (recipes written, recipes in all) before the first recipe and after each;
// when it returns false the page is left unfinished and the function returns false. Also false
// when out does not take all that is written. A failure to read the collection is thrown as
// recipes::Error.
bool writeCookbookHtml(QIODevice &out, const recipes::Collection &collection,
                       const QStringList &categories,
                       const std::function<bool(int done, int total)> &progress);

}  // namespace exchange
