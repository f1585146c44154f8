#pragma once
// How the window frame puts its pictures on its surfaces: pixels are copied as they are and
// stretched without smoothing, so the one-pixel lines of the art stay sharp.

class QImage;
class QPixmap;
class QRect;
class QRegion;
class QSize;

namespace skin {

// A new image of `size` with the whole of `picture` stretched over it. Null for an empty size.
QPixmap stretchedPicture(const QPixmap &picture, QSize size);

// A new image of `size` with `picture` in three slices: its `cap` columns at either end
// copied unstretched to the image's ends, the columns between them stretched across the rest.
// Null for an empty size.
QPixmap slicedPicture(const QPixmap &picture, QSize size, int cap);

// The pixels of `image` within `area` that are the key colour magenta (255, 0, 255).
QRegion keyColourPixels(const QImage &image, const QRect &area);

}  // namespace skin
