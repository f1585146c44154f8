#pragma once
// The cookbook's contents, line by line onto its pages: the title, each category as a heading
// and under it each recipe's name with the page it starts on. Every entry is one line of a fixed
// height (a name too long for it is shortened with an ellipsis), so the pages it takes follow
// from the number of entries alone.

#include <QFont>
#include <QString>

namespace printdoc {

class PdfPages;

class PdfContents {
public:
    // Starts on the current page of pages, with the title.
    explicit PdfContents(PdfPages &pages);

    void category(const QString &name);
    void recipe(const QString &name, int page);

private:
    // Moves down by height, first turning the page when that does not fit; returns the top.
    qreal take(qreal height);

    PdfPages &pages_;
    QFont heading_;
    QFont entry_;
    qreal headingHeight_;
    qreal entryHeight_;
    qreal indent_;
    qreal numberWidth_;
    qreal y_ = 0;
    bool first_ = true;
};

}  // namespace printdoc
