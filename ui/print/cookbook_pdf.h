#pragma once
// The collection, or some of its categories, as a cookbook in one PDF file: the contents (each
// category with its recipes' names and the pages they start on), then each recipe as the print
// page shows it, starting on a page of its own and running on over as many as it needs, and a
// page number under every page. Needs a QGuiApplication (any platform, offscreen included), not
// widgets.
//
// The recipes are read twice, one at a time: once to count their pages, once to draw them.

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

namespace recipes {
class Collection;
}

namespace printdoc {

// Writes the cookbook for categories (in the order given, each recipe in stored order) to out,
// which must be open for writing. progress is told (steps done, steps in all), each recipe being
// two steps (counted, then drawn), before the first and after each; when it returns false the
// function stops and returns false with *error left empty. Returns false and sets *error (when
// given) when the collection cannot be read or the drawing cannot start. A device that refuses
// writes is not told here: the caller asks the device.
bool writeCookbookPdf(QIODevice &out, const recipes::Collection &collection, const QStringList &categories,
                      const std::function<bool(int done, int total)> &progress, QString *error);

}  // namespace printdoc
