#pragma once
// The small square button on a painted title bar: close, maximise, minimise or restore, after
// its Value. It is exactly one 21 x 21 cell of its strip (logical pixels; the strip drawn for the
// screen's pixel ratio), shown unscaled: normal 0, hover 1,
// pressed 2, disabled 3. Like xpcmdbutton it follows the pointer itself, and its hover watch
// runs from creation, so a button created away from the pointer raises one MouseOut at once.
//
// Persisted properties, as a Designer form sets them: "Value" (int, default 0) and QWidget's
// "enabled". Event arguments as for xpcmdbutton.
//
// Click: a left press released over the button (a double-click counts once) or the accessible
// press action, never while disabled; QAbstractButton decides it and raises clicked(), which
// Click() follows. The button takes no focus unless the host gives it a focus policy, and even
// then leaves keys to its host. While disabled it lets pointer input pass to the widget
// beneath, as a plain widget does. Assistive tools see Qt's own push button, named "Close",
// "Maximize", "Minimize" or "Restore" after the strip it shows (kept as the button's text).

#include "platform/picture_clip.h"

#include <QAbstractButton>

#include <array>

namespace skin {
class HoverWatch;
}

class xptopbuttons : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int Value READ Value WRITE setValue)

public:
    enum Kind { Close = 0, Maximize = 1, Minimize = 2, Restore = 3 };

    explicit xptopbuttons(QWidget *parent = nullptr);
    ~xptopbuttons() override;

    // 0 close, 1 maximise, 2 minimise, 3 restore. Any other value is stored and read back,
    // and the button keeps the strip it shows.
    int Value() const;
    void setValue(int value);

signals:
    void Click();
    void MouseOut();
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    void RefreshLook();
    void raiseClick();
    void showCell(int cell);
    void hoverLeft();
    void loadStrips(qreal ratio);

    // The four strips for the ratio in stripsRatio_, which paintEvent keeps at the button's.
    std::array<platform::PictureClip, 4> pc;
    qreal stripsRatio_ = 0;
    skin::HoverWatch *Timer1;

    int value_ = 0;
    int strip_ = 0;
    int shownCell_ = 0;
};
