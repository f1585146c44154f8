#include "ui/skin/skin_pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QPixmapCache>

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

// make_art draws every skin picture at these ratios.
constexpr int kDensest = 3;

}  // namespace

QPixmap picture(const QString &name, qreal ratio)
{
    const int wanted = std::clamp(static_cast<int>(std::ceil(ratio)), 1, kDensest);
    for (int scale = wanted; scale >= 1; --scale) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        const QString path = QStringLiteral(":/skin/") + name + suffix + QStringLiteral(".png");
        QPixmap pixmap;
        if (QPixmapCache::find(path, &pixmap))
            return pixmap;
        if (!QFile::exists(path))
            continue;
        pixmap.load(path);
        // Qt's image reader reads the ratio from an @Nx name too, unless the user turned that
        // off; the controls cut the picture by it, so it is set here whatever the reader did.
        pixmap.setDevicePixelRatio(scale);
        QPixmapCache::insert(path, pixmap);
        return pixmap;
    }
    return {};
}

QPixmap picture(const QString &name)
{
    return picture(name, qGuiApp ? qGuiApp->devicePixelRatio() : 1.0);
}

}  // namespace skin
