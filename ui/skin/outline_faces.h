#pragma once
// Fonts that stay sharp on high-density screens. The forms ask for MS Sans Serif, a face with
// bitmap glyphs only (13, 16 and 20 pixels), which cannot be drawn at 1.5 or 2 times the size:
// Qt would spread its small glyphs apart instead. At any device pixel ratio other than 1 such a
// face gives way to its outline look-alike at the same point size; at 1 the forms' faces are
// used exactly as asked.

#include <QString>

class QWidget;

namespace skin {

// The face to draw `asked` with at `ratio`.
QString faceFor(const QString &asked, qreal ratio);

// Gives every widget of `window` (the window included) the face its asked face calls for at
// `ratio`, and gives back the asked one when the ratio returns to 1.
void fitFaces(QWidget *window, qreal ratio);

// Fits the faces now for the window's own ratio, and again whenever the window moves to a
// screen of another ratio.
void followPixelRatio(QWidget *window);

}  // namespace skin
