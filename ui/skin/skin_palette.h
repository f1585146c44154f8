#pragma once
// The colours the skinned windows draw their own controls with, whatever the desktop's theme.
// The painted frame and buttons have fixed light colours; a box, label or tree that took the
// theme's colours instead could end up light text on the skin's light ground (or dark on dark),
// so every role of every group is set, and none is left to the theme.

#include <QPalette>

namespace skin {

// The light palette Qt gives when no theme is in use, with every role resolved, so that a
// widget given it never takes a colour from the application's palette.
QPalette palette();

}  // namespace skin
