#pragma once
// The painted frame of the window's non-modal boxes (Scale, Shopping list): a skinned title bar
// and border that can be resized, the box's controls laid out inside it, and the keys a box
// answers to. The box stays a top-level window owned by the main window, so it closes with it.

#include <QObject>

#include <initializer_list>

class QWidget;
class xp_canvas;
class xpcmdbutton;
class xptopbuttons;

namespace mainform {

class BoxFrame : public QObject {
public:
    // box: the top-level window, which the frame fills; body: the widget holding the box's
    // laid-out controls, a child of the frame; the caption buttons minimise and close the box.
    // The command buttons are reached with Tab and sized for their captions; Esc closes the box.
    BoxFrame(QWidget &box, xp_canvas &frame, QWidget &body, xptopbuttons &minimise, xptopbuttons &close,
             std::initializer_list<xpcmdbutton *> buttons);

private:
    void place();

    QWidget &box_;
    xp_canvas &frame_;
    QWidget &body_;
    xptopbuttons &minimise_;
    xptopbuttons &close_;
};

}  // namespace mainform
