#pragma once
// The cookbook's pages on a PDF writer: the area a page's text fills, the page number under it,
// and the turn to the next page. Without a painter it only counts, so that a first pass can
// number the pages a second pass draws with the same breaks.

#include <QFont>
#include <QSizeF>

class QPainter;
class QPdfWriter;

namespace printdoc {

class PdfPages {
public:
    // painter: active on writer, or null to count only. total: the pages in all, for the footer.
    PdfPages(QPdfWriter &writer, QPainter *painter, int total);

    // The cookbook's fonts, in points: the print page's face, falling back to any sans serif.
    static QFont font(qreal points, bool bold);

    QPdfWriter &writer() const { return writer_; }
    QPainter *painter() const { return painter_; }
    QSizeF body() const { return body_; }  // in the writer's units, from the page's top left
    int page() const { return page_; }     // the page being filled, from 1

    void next();    // finishes the page and starts the next
    void finish();  // finishes the last page

private:
    void drawFooter();

    QPdfWriter &writer_;
    QPainter *painter_;
    int total_;
    int page_ = 1;
    QSizeF body_;
    qreal footer_ = 0;
};

}  // namespace printdoc
