#include "ui/print/pdf_pages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace printdoc {

namespace {

QFont footerFont() { return PdfPages::font(9, false); }

}  // namespace

PdfPages::PdfPages(QPdfWriter &writer, QPainter *painter, int total)
    : writer_(writer), painter_(painter), total_(total)
{
    // Two lines under the text: a blank one, then the page number.
    footer_ = 2 * QFontMetricsF(footerFont(), &writer).lineSpacing();
    body_ = QSizeF(writer.width(), writer.height() - footer_);
}

QFont PdfPages::font(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void PdfPages::next()
{
    drawFooter();
    if (painter_)
        writer_.newPage();
    ++page_;
}

void PdfPages::finish() { drawFooter(); }

void PdfPages::drawFooter()
{
    if (!painter_)
        return;
    painter_->save();
    painter_->setFont(footerFont());
    painter_->drawText(QRectF(0, body_.height(), body_.width(), footer_),
                       Qt::AlignHCenter | Qt::AlignBottom,
                       QStringLiteral("Page %1 of %2").arg(page_).arg(total_));
    painter_->restore();
}

}  // namespace printdoc
