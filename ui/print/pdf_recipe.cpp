#include "ui/print/pdf_recipe.h"

#include "core/printed_recipe.h"
#include "core/recipe.h"
#include "ui/print/pdf_pages.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextOption>

namespace printdoc {

PdfRecipe::PdfRecipe(const recipes::Recipe &stored, QPaintDevice &device, QSizeF page)
    : page_(page)
{
    // The printed lines all end in CR LF; as paragraphs they need neither the CR nor a last end.
    QString text = QString::fromUtf8(recipes::printedText(stored));
    text.chop(2);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));

    document_.documentLayout()->setPaintDevice(&device);
    document_.setDocumentMargin(0);
    document_.setDefaultFont(PdfPages::font(11, true));
    QTextOption option;
    // A word wider than the page is broken rather than cut off at its edge.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document_.setDefaultTextOption(option);
    document_.setPageSize(page);
    document_.setPlainText(text);
}

int PdfRecipe::pageCount() const { return document_.pageCount(); }

void PdfRecipe::drawPage(QPainter &painter, int index) const
{
    const QRectF area(QPointF(0, index * page_.height()), page_);
    painter.save();
    painter.translate(0, -area.top());
    painter.setClipRect(area);
    QAbstractTextDocumentLayout::PaintContext context;
    // Lines only touching the page's edges belong to the pages before and after: drawn here too,
    // hidden by the clip, they would still be found as text on this page.
    context.clip = area.adjusted(0, 1, 0, -1);
    document_.documentLayout()->draw(&painter, context);
    painter.restore();
}

}  // namespace printdoc
