#pragma once
// One recipe as the print page shows it, laid out for the cookbook's pages: its printed lines in
// bold, long lines wrapped, and a line that does not fit moved whole to the next page.

#include <QTextDocument>

class QPaintDevice;
class QPainter;

namespace recipes {
struct Recipe;
}

namespace printdoc {

class PdfRecipe {
public:
    // Lays the recipe out on pages of size page, in device's units.
    PdfRecipe(const recipes::Recipe &stored, QPaintDevice &device, QSizeF page);

    int pageCount() const;
    // Draws page index (from 0) with its top left at the painter's origin.
    void drawPage(QPainter &painter, int index) const;

private:
    QTextDocument document_;
    QSizeF page_;
};

}  // namespace printdoc
