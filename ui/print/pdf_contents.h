#pragma once
// The cookbook's contents, line by line onto its pages: the title, each category as a heading
// with the page its first recipe starts on, and under it each recipe's name with its page. Every entry is one line of a fixed
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

    // page: where the entry starts; 0 for none, as for a category without recipes.
    void category(const QString &name, int page);
    void recipe(const QString &name, int page);

private:
    // Moves down by height, first turning the page when that does not fit; returns the top.
    qreal take(qreal height);
    // Draws one line of the contents: the name, then dots leading to its page number.
    void entry(const QFont &font, qreal indent, qreal top, qreal height, const QString &name,
               int page);

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
