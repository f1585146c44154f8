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
    const QFontMetricsF entry(entry_, &device);
    headingHeight_ = 1.5 * QFontMetricsF(heading_, &device).lineSpacing();
    entryHeight_ = entry.lineSpacing();
    indent_ = entry.horizontalAdvance(QStringLiteral("MMM"));
    numberWidth_ = entry.horizontalAdvance(QStringLiteral("000000"));

    const QFont titleFont = PdfPages::font(20, true);
    const qreal titleHeight = 2 * QFontMetricsF(titleFont, &device).lineSpacing();
    if (QPainter *painter = pages.painter()) {
        painter->setFont(titleFont);
        painter->drawText(QRectF(0, 0, pages.body().width(), titleHeight),
                          Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Cookbook"));
    }
    y_ = titleHeight;
}

void PdfContents::category(const QString &name)
{
    // A gap before each category but the first, unless it opens a page.
    if (!first_ && y_ > 0)
        y_ += entryHeight_ / 2;
    first_ = false;
    const qreal top = take(headingHeight_);
    if (QPainter *painter = pages_.painter()) {
        painter->setFont(heading_);
        const QRectF line(0, top, pages_.body().width(), headingHeight_);
        painter->drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                          QFontMetricsF(heading_, painter->device())
                              .elidedText(name.simplified(), Qt::ElideRight, line.width()));
    }
}

void PdfContents::recipe(const QString &name, int page)
{
    const qreal top = take(entryHeight_);
    QPainter *painter = pages_.painter();
    if (!painter)
        return;
    painter->setFont(entry_);
    const QFontMetricsF metrics(entry_, painter->device());
    const qreal width = pages_.body().width();
    const QString number = QString::number(page);
    const QString shown = metrics.elidedText(name.simplified(), Qt::ElideRight,
                                             width - indent_ - numberWidth_);
    const qreal nameEnd = indent_ + metrics.horizontalAdvance(shown);
    const qreal numberStart = width - metrics.horizontalAdvance(number);
    painter->drawText(QPointF(indent_, top + metrics.ascent()), shown);
    painter->drawText(QPointF(numberStart, top + metrics.ascent()), number);
    // Dots lead the eye from the name to its page, and keep the two one line of text.
    const qreal space = metrics.horizontalAdvance(u' ');
    const QRectF leader(nameEnd + space, top, numberStart - nameEnd - 2 * space, entryHeight_);
    const int dots = int(leader.width() / metrics.horizontalAdvance(QStringLiteral(". ")));
    if (dots > 0)
        painter->drawText(leader, Qt::AlignRight | Qt::AlignTop,
                          QStringLiteral(". ").repeated(dots).trimmed());
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
