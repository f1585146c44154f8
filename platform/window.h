#pragma once
// Cursor and window calls the painted controls need: where the pointer is, how many twips a
// pixel is, which of the program's windows is active, and moving a window with the mouse.

#include <QPoint>
#include <Qt>

class QWidget;

namespace platform {

// The cursor position in screen pixels.
QPoint GetCursorPos();
// A screen position in the widget's own pixels.
QPoint ScreenToClient(const QWidget *widget, QPoint screen);

// Twips per pixel of the screen the widget is on (1440 / logical dots per inch; 15 at 96).
// Without a widget, the primary screen's.
double TwipsPerPixelX(const QWidget *widget = nullptr);
double TwipsPerPixelY(const QWidget *widget = nullptr);

// The program's active top-level window. While another application is in front it stays the
// window that was active last, as long as that window is still shown; null when there is none.
QWidget *ActiveForm();

// Moves the window of `window` with the mouse while a button is held, from a press at `cursor`
// (screen pixels). Once the cursor has travelled the drag distance, the window system's own
// move takes over where it offers one; otherwise the window follows the cursor until the last
// button is released. Returns at once, with the move under way; false, moving nothing, when
// there is no shown window.
bool BeginWindowMove(QWidget *window, QPoint cursor);

// True where the window system places the program's windows and gives them their shape
// (Wayland): a client may not move itself there, nor cut its window with a mask.
bool SystemPlacesWindows();
// Hands the resize of the window of `window`, dragging `edges`, to the window system while the
// pressed button is held. False, resizing nothing, when the window system does not take it.
bool BeginWindowResize(QWidget *window, Qt::Edges edges);

// Shows a top-level window of the program's (a preview, a box) in front of the others, restored if
// minimised. With placeNew, for a window not shown before, it first opens over `over`: centred
// on it, as a dialog opens, but moved onto its screen where centring would push it past an edge,
// since the painted caption must stay in reach; where the window system places windows, it is
// asked to open the window over `over` instead. A window the user has moved stays where it is.
void BringForward(QWidget *window, QWidget *over, bool placeNew);

}  // namespace platform
