#pragma once
// The bitmaps the painted controls are drawn from, by file name ("face", "close", "top1", ...).
//
// Each comes drawn for device pixel ratios 1, 2 and 3 (<name>.png, <name>@2x.png, <name>@3x.png,
// as Qt names them). A picture's devicePixelRatio() says which one it is: its width() and
// height() are device pixels, its deviceIndependentSize() the logical size the controls lay
// out by. Whoever cuts a picture cuts it in device pixels.

#include <QPixmap>
#include <QString>

namespace skin {

// The picture assets/skin/<name>.png for a screen of device pixel ratio `ratio`, built into the
// program: by Qt's rule for @Nx files, the variant for the ratio rounded up (1.5 takes @2x, which
// Qt then scales down when painting it), or the densest there is. The very 1x picture at ratio 1.
// A null pixmap for an unknown name.
QPixmap picture(const QString &name, qreal ratio);
// The same for the application's device pixel ratio (the highest of its screens).
QPixmap picture(const QString &name);

}  // namespace skin
