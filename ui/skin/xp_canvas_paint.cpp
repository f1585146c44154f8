#include "ui/skin/xp_canvas_paint.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QRegion>

#include <algorithm>

namespace skin {

namespace {

// At the picture's ratio, so the copy stays one device pixel for one.
QPixmap blankImage(QSize size, qreal ratio)
{
    QPixmap image(size * ratio);
    image.setDevicePixelRatio(ratio);
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
    QPixmap image = blankImage(size, picture.isNull() ? 1.0 : picture.devicePixelRatio());
    if (!picture.isNull()) {
        QPainter painter(&image);
        prepare(painter);
        painter.drawPixmap(QRect(QPoint(0, 0), size), picture, picture.rect());
    }
    return image;
}

QPixmap slicedPicture(const QPixmap &picture, QSize size, int cap)
{
    if (size.isEmpty())
        return {};
    const qreal ratio = picture.isNull() ? 1.0 : picture.devicePixelRatio();
    QPixmap image = blankImage(size, ratio);
    if (picture.isNull())
        return image;
    const int wt = size.width(), ht = size.height();
    // The destination in logical pixels, the source in the picture's device pixels.
    const int wp = picture.width(), hp = picture.height();
    const int cp = qRound(cap * ratio);
    const QRect slices[3][2] = {
        {{0, 0, cap, ht}, {0, 0, cp, hp}},
        {{cap, 0, wt - 2 * cap, ht}, {cp, 0, wp - 2 * cp, hp}},
        {{wt - cap, 0, cap, ht}, {wp - cp, 0, cp, hp}},
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
    const int ratio = std::max(1, qRound(image.devicePixelRatio()));
    const auto isKey = [&image, ratio](int x, int y) {
        for (int dy = 0; dy < ratio; ++dy)
            for (int dx = 0; dx < ratio; ++dx)
                if ((image.pixel(x * ratio + dx, y * ratio + dy) & RGB_MASK) != (kKeyColour & RGB_MASK))
                    return false;
        return true;
    };
    QRegion pixels;
    const QRect inside = area & QRect(0, 0, image.width() / ratio, image.height() / ratio);
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (isKey(x, y))
                pixels += QRect(x, y, 1, 1);
    return pixels;
}

void smoothWhenResampling(QPainter &painter, const QPixmap &picture)
{
    const qreal target = painter.device() ? painter.device()->devicePixelRatio() : 1.0;
    if (!qFuzzyCompare(target, picture.devicePixelRatio()))
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

}  // namespace skin
