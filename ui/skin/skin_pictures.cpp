#include "ui/skin/skin_pictures.h"

#include <QPixmapCache>

namespace skin {

QPixmap picture(const QString &name)
{
    const QString path = QStringLiteral(":/skin/") + name + QStringLiteral(".png");
    QPixmap pixmap;
    if (!QPixmapCache::find(path, &pixmap)) {
        pixmap.load(path);
        QPixmapCache::insert(path, pixmap);
    }
    return pixmap;
}

}  // namespace skin
