#include "ui/skin/xp_canvas_paint.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRegion>

namespace skin {

namespace {

QPixmap blankImage(QSize size)
{
    QPixmap image(size);
    image.fill(Qt::transparent);
    return image;
}

// Copy, not blend: the art's pixels land on the surface unchanged.
void prepare(QPainter &painter)
{
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
}

}  // namespace

QPixmap stretchedPicture(const QPixmap &picture, QSize size)
{
    if (size.isEmpty())
        return {};
    QPixmap image = blankImage(size);
    if (!picture.isNull()) {
        QPainter painter(&image);
        prepare(painter);
        painter.drawPixmap(image.rect(), picture, picture.rect());
    }
    return image;
}

QPixmap slicedPicture(const QPixmap &picture, QSize size, int cap)
{
    if (size.isEmpty())
        return {};
    QPixmap image = blankImage(size);
    if (picture.isNull())
        return image;
    const int wt = size.width(), ht = size.height();
    const int wp = picture.width(), hp = picture.height();
    const QRect slices[3][2] = {
        {{0, 0, cap, ht}, {0, 0, cap, hp}},
        {{cap, 0, wt - 2 * cap, ht}, {cap, 0, wp - 2 * cap, hp}},
        {{wt - cap, 0, cap, ht}, {wp - cap, 0, cap, hp}},
    };
    QPainter painter(&image);
    prepare(painter);
    for (const auto &[destination, source] : slices) {
        // A bar narrower than its two caps has nothing left for the middle.
        if (destination.isEmpty() || source.isEmpty())
            continue;
        painter.drawPixmap(destination, picture, source);
    }
    return image;
}

QRegion keyColourPixels(const QImage &image, const QRect &area)
{
    constexpr QRgb kKeyColour = qRgb(255, 0, 255);
    QRegion pixels;
    const QRect inside = area & image.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if ((image.pixel(x, y) & RGB_MASK) == (kKeyColour & RGB_MASK))
                pixels += QRect(x, y, 1, 1);
    return pixels;
}

}  // namespace skin
