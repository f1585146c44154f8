#include "ui/skin/xp_canvas_piece.h"

#include "ui/skin/xp_canvas_paint.h"

#include <QMouseEvent>
#include <QPainter>

namespace skin {

XpCanvasPiece::XpCanvasPiece(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
}

void XpCanvasPiece::setImage(const QPixmap &image)
{
    image_ = image;
    update();
}

void XpCanvasPiece::paintEvent(QPaintEvent *)
{
    if (image_.isNull())
        return;
    QPainter painter(this);
    // A surface that grew since its last pass (the title bar of a minimised window) shows
    // plain background beyond the kept image.
    const QSizeF shown = image_.deviceIndependentSize();
    if (shown.width() < width() || shown.height() < height())
        painter.fillRect(rect(), palette().window());
    skin::smoothWhenResampling(painter, image_);
    painter.drawPixmap(0, 0, image_);
}

void XpCanvasPiece::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    emit pressed(event->globalPosition().toPoint());
}

void XpCanvasPiece::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    emit released(event->globalPosition().toPoint());
}

void XpCanvasPiece::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    emit doubleClicked();
}

void XpCanvasPiece::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
}

}  // namespace skin
