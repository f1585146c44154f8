#pragma once
// The window frame's view of its host window, under the names the frame works with: the
// window state as 0 normal, 1 minimised, 2 maximised; the scale mode; the inner width in
// pixels; the bounds in twips. Without a host window nothing is changed, the state reads as
// normal and the sizes as 0.

class QString;
class QWidget;

namespace skin {

class XpCanvasHost {
public:
    explicit XpCanvasHost(QWidget *window) : window_(window) {}

    QWidget *window() const { return window_; }

    int WindowState() const;
    // 2 maximises, 1 minimises, anything else restores the normal state.
    void setWindowState(int state) const;
    void setCaption(const QString &text) const;
    // Kept as the window's dynamic property "ScaleMode"; 3 means pixels.
    void setScaleMode(int mode) const;
    int ScaleWidth() const;

    double Left() const;
    double Top() const;
    double Width() const;
    double Height() const;
    // Moves and sizes the window, all four values in twips. Refused, leaving the window as it
    // was, when the window is minimised or maximised or a size is below zero; returns whether
    // the window took the bounds.
    bool Move(double left, double top, double width, double height) const;

private:
    QWidget *window_;
};

}  // namespace skin
