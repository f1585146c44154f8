#pragma once
// `xp_canvas`, the painted frame of the program's windows: a title bar with the window icon
// and a shadowed caption, left, right and bottom borders, resize handles, and an active and an
// inactive look that follows whether its host is the program's active window.
//
// The host is the window of the frame's parent. It is meant to be a frameless top-level window
// (Qt::FramelessWindowHint) that the frame fills, through a layout without margins; the frame
// never sizes itself. The host's own controls are children of the frame created after it, so
// they lie on top of its pieces.
// On a frameless host the frame cuts the title bar's key-colour corner pixels out of the
// window with a window mask; where the window system does not take masks (Wayland) it leaves
// them see-through on a translucent window instead, and resizes through the window system.

#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QWidget>

#include <array>

class QLabel;
class QTimer;
namespace skin {
class XpCanvasPiece;
}

class xp_canvas : public QWidget {
    Q_OBJECT
    // Saved with the host's form; an absent property is its default. Caption: the instance's
    // name (its objectName, followed until a caption is set); Icon: the default icon;
    // Fixed_Single: false.
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QIcon Icon READ Icon WRITE setIcon)
    Q_PROPERTY(bool Fixed_Single READ Fixed_Single WRITE setFixed_Single)

public:
    explicit xp_canvas(QWidget *parent = nullptr);
    ~xp_canvas() override;

    // The title bar's caption. Setting it sets the host window's title to the same text.
    QString Caption() const;
    void setCaption(const QString &text);
    // The window icon, drawn 16 x 16 at the left of the title bar.
    QIcon Icon() const;
    void setIcon(const QIcon &icon);
    // True: the host can still be moved, but neither resized nor maximised through the frame.
    bool Fixed_Single() const;
    void setFixed_Single(bool fixed);
    // The part of the frame inside its title bar and borders, in the frame's pixels: where a
    // host that lays its controls out keeps them.
    QRect clientArea() const;

    // The layout pass: places and paints every piece from the frame's size, the host's state,
    // the current look and Fixed_Single (with the pictures drawn for the frame's device pixel
    // ratio, reloaded when that has changed), sets the host's "ScaleMode" to 3 (pixels), and ends
    // by emitting Resize().
    void layout_frame();
    // Make the active or the inactive pictures current; the next layout_frame paints them.
    void show_active_frame();
    void show_inactive_frame();
    // Resizes `host` by the cursor's travel from `press_point` to `release_point` (screen
    // pixels), dragging the edge or corner `edge`: 0 left, 1 right, 2 top, 3 bottom,
    // 4 bottom-right, 5 bottom-left, 6 top-right, 7 top-left. Any other code, a minimised or
    // maximised host, or a resulting size below zero leaves the host as it was.
    static void resize_host(QWidget *host, QPoint press_point, QPoint release_point, int edge);

signals:
    // The control's own input, passed on as Qt reports it; presses on the pieces are not
    // among them.
    void Click();
    void DblClick();
    void Resize();
    void KeyDown(int KeyCode, Qt::KeyboardModifiers Shift);
    void KeyPress(int KeyAscii);
    void KeyUp(int KeyCode, Qt::KeyboardModifiers Shift);
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void MouseMove(Qt::MouseButtons Button, Qt::KeyboardModifiers Shift, float X, float Y);
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, float X, float Y);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    QWidget *hostWindow() const;
    skin::XpCanvasPiece *handle(int edge) const;
    void showCaption(const QString &text);
    void followName(const QString &name);
    void paintTitleBar(int windowState);
    void placeHotSpots();
    void setPointers(int windowState);
    void applyKeyColourMask(int windowState);
    // Loads both looks' pictures and the default icon for the frame's device pixel ratio,
    // keeping the look in use.
    void loadPictures();

    void pictop_MouseDown(QPoint screen);
    void pictop_DblClick();
    void handle_MouseDown(int edge, QPoint screen);
    void handle_MouseUp(int edge, QPoint screen);
    void Timer1_Timer();
    void Timer2_Timer();
    void focusMoved(QWidget *old, QWidget *now);
    void UserControl_GotFocus();
    void UserControl_EnterFocus();
    void UserControl_ExitFocus();

    // The pieces; all are children of the frame or of its surfaces.
    skin::XpCanvasPiece *pictop;
    skin::XpCanvasPiece *picleft;
    skin::XpCanvasPiece *picright;
    skin::XpCanvasPiece *picbottom;
    QLabel *imgicon;
    QLabel *lblshadow;
    QLabel *lblcaption;
    // The resize hot spots by edge code. Codes 0, 1 and 3 are the borders themselves, so
    // their slots stay empty.
    std::array<skin::XpCanvasPiece *, 8> imgresize{};

    // The pictures in use, and the two looks they are taken from.
    QPixmap imgtop, imgtopmax, imgleft, imgright, imgbottom;
    QPixmap imgtop1, imgtopmax1, imgleft1, imgright1, imgbottom1;
    QPixmap imgtop2, imgtopmax2, imgleft2, imgright2, imgbottom2;
    QPixmap Image1;
    // The device pixel ratio the pictures were loaded for.
    qreal picturesRatio_ = 0;

    // Watch for the host losing (Timer1) and regaining (Timer2) activation; each stops itself.
    QTimer *Timer1;
    QTimer *Timer2;

    QIcon stored_icon;
    bool fixed_single = false;
    QPoint press_point;
    QPoint release_point;
    // A resize the window system is running, from the press to the release.
    bool systemResize_ = false;
    // The title bar's corners left see-through, in the frame's pixels; empty where a mask
    // shapes the window instead.
    QRegion clearCorners_;
    // Until a caption is set, the caption follows the instance's name.
    bool captionSet_ = false;
};
