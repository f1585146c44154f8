#include "ui/print/pdf_contents.h"

#include "ui/print/pdf_pages.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

namespace printdoc {

PdfContents::PdfContents(PdfPages &pages)
    : pages_(pages), heading_(PdfPages::font(12, true)), entry_(PdfPages::font(11, false))
{
    QPaintDevice &device = pages.writer();
    const QFontMetricsF metrics(entry_, &device);
    headingHeight_ = 1.5 * QFontMetricsF(heading_, &device).lineSpacing();
    entryHeight_ = metrics.lineSpacing();
    indent_ = metrics.horizontalAdvance(QStringLiteral("MMM"));
    numberWidth_ = metrics.horizontalAdvance(QStringLiteral("000000"));

    const QFont titleFont = PdfPages::font(20, true);
    const qreal titleHeight = 2 * QFontMetricsF(titleFont, &device).lineSpacing();
    if (QPainter *painter = pages.painter()) {
        painter->setFont(titleFont);
        painter->drawText(QRectF(0, 0, pages.body().width(), titleHeight),
                          Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Cookbook"));
    }
    y_ = titleHeight;
}

void PdfContents::category(const QString &name, int page)
{
    // A gap before each category but the first, unless it opens a page.
    if (!first_ && y_ > 0)
        y_ += entryHeight_ / 2;
    first_ = false;
    entry(heading_, 0, take(headingHeight_), headingHeight_, name, page);
}

void PdfContents::recipe(const QString &name, int page)
{
    entry(entry_, indent_, take(entryHeight_), entryHeight_, name, page);
}

void PdfContents::entry(const QFont &font, qreal indent, qreal top, qreal height,
                        const QString &name, int page)
{
    QPainter *painter = pages_.painter();
    if (!painter)
        return;
    painter->setFont(font);
    const QFontMetricsF metrics(font, painter->device());
    const qreal width = pages_.body().width();
    const qreal baseline = top + (height + metrics.ascent() - metrics.descent()) / 2;
    const QString shown = metrics.elidedText(name.simplified(), Qt::ElideRight,
                                             width - indent - numberWidth_);
    painter->drawText(QPointF(indent, baseline), shown);
    if (page <= 0)
        return;
    const QString number = QString::number(page);
    const qreal nameEnd = indent + metrics.horizontalAdvance(shown);
    const qreal numberStart = width - metrics.horizontalAdvance(number);
    painter->drawText(QPointF(numberStart, baseline), number);
    // Dots lead the eye from the name to its page, and keep the two one line of text.
    const qreal space = metrics.horizontalAdvance(u' ');
    const qreal dot = metrics.horizontalAdvance(QStringLiteral(". "));
    const int dots = int((numberStart - nameEnd - 2 * space) / dot);
    if (dots > 0) {
        const QString leader = QStringLiteral(". ").repeated(dots).trimmed();
        painter->drawText(QPointF(numberStart - space - metrics.horizontalAdvance(leader), baseline),
                          leader);
    }
}

qreal PdfContents::take(qreal height)
{
    if (y_ + height > pages_.body().height()) {
        pages_.next();
        y_ = 0;
    }
    const qreal top = y_;
    y_ += height;
    return top;
}

}  // namespace printdoc
