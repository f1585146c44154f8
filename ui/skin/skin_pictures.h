#pragma once
// The bitmaps the painted controls are drawn from, by file name ("face", "close", "top1", ...).

#include <QPixmap>
#include <QString>

namespace skin {

// The picture assets/skin/<name>.png, built into the program. A null pixmap for an unknown name.
QPixmap picture(const QString &name);

}  // namespace skin
