#pragma once
// How the window frame puts its pictures on its surfaces: pixels are copied as they are and
// stretched without smoothing, so the one-pixel lines of the art stay sharp.
//
// Sizes and areas are logical pixels; a picture is cut in its own device pixels (see
// skin_pictures.h), and the images made here have the picture's device pixel ratio.

class QImage;
class QPainter;
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

// The pixels of `image` within `area` that are the key colour magenta (255, 0, 255), in logical
// pixels: a logical pixel counts when all its device pixels are the key colour.
QRegion keyColourPixels(const QImage &image, const QRect &area);

// Smooth scaling for `painter` when it will draw `picture` at another device pixel ratio than
// the picture's own (a 2x picture on a 1.5 screen); none when the ratios match, so pixels land
// unchanged.
void smoothWhenResampling(QPainter &painter, const QPixmap &picture);

}  // namespace skin
