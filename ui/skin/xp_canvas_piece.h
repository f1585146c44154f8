#pragma once
// One piece of the window frame: a borderless surface that shows the image the frame's layout
// pass last painted for it (the invisible resize hot spots have none) and reports the mouse
// presses on it to the frame. Presses on a piece never reach the frame's own mouse events.

#include <QPixmap>
#include <QPoint>
#include <QWidget>

namespace skin {

class XpCanvasPiece : public QWidget {
    Q_OBJECT
public:
    XpCanvasPiece(const QString &name, QWidget *parent);

    // Kept until the next pass replaces it, so every repaint shows the last pass's result.
    // Drawn at its logical size, whatever its device pixel ratio.
    void setImage(const QPixmap &image);
    const QPixmap &image() const { return image_; }

signals:
    // Any button; `screen` is the cursor in screen pixels at the event.
    void pressed(QPoint screen);
    // The release of a press on this piece, wherever the cursor is by then.
    void released(QPoint screen);
    // Replaces the second press of a double-click: no pressed() is sent for it.
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QPixmap image_;
};

}  // namespace skin
