#pragma once
// The program's own command button. Its face is painted from a strip of five 18 x 21 cells
// (logical pixels; the strip drawn for the screen's pixel ratio),
// stretched to any size by a nine-slice paint (3-pixel corners copied as they are, edges and
// centre stretched); its caption is a label centred on the face. The button follows the pointer
// itself (hover, pressed, leave) and tells its host about a click through Click().
//
// Looks and the cells they show: rest 0 (State 0) or 4 (State 1), pressed 1, disabled 2,
// hover 3.
//
// Persisted properties, as a Designer form sets them: "State" (int, default 0), "Caption"
// (default: the instance's object name), and QWidget's "enabled" and "font" (default: the
// host's font). A form that leaves one out gets the default.
//
// Click: a left press on the face or caption released over the button (a double-click counts
// once), a shortcut event delivered to the button, or the accessible press action; never while
// disabled. QAbstractButton decides the press and release and raises clicked(), which Click()
// follows. The button claims no access key unless given one (setCaptionWithKey), and takes
// no focus unless the host gives it a focus policy. With the focus it shows a dotted focus
// rectangle inside its border, and keys are raised as KeyDown, KeyPress and KeyUp; Space (on
// its release, showing the pressed look while held) and Enter also click it.
// While disabled it lets pointer input pass to the widget beneath, as a plain widget does.
//
// Assistive tools see Qt's own push button: named by the caption (kept as the button's text,
// with '&' doubled so that it marks no access key), its press action clicking a moment later.
//
// Event arguments: Button is 1 left, 2 right, 4 middle (the buttons held, for MouseMove; the
// button that changed, for MouseDown and MouseUp); Shift is 1 shift, 2 ctrl, 4 alt; X and Y
// are pixels of the button (of the caption label, for a press or release on the label).

#include "platform/picture_clip.h"

#include <QAbstractButton>

class QLabel;
class QPainter;
class QPixmap;

namespace skin {
class HoverWatch;
}

class xpcmdbutton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int State READ State WRITE setState)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)

public:
    explicit xpcmdbutton(QWidget *parent = nullptr);
    ~xpcmdbutton() override;

    // Returns/sets the state of the command button when mouse_out: 0 plain, 1 highlighted;
    // any other value is stored and leaves the rest look as it was.
    int State() const;
    void setState(int state);

    // The caption label's text. Until a caption is set, the caption follows the object name
    // (an unnamed button shows "xpcmdbutton").
    QString Caption() const;
    void setCaption(const QString &caption);
    // A caption with an access key: the character after a lone '&' is underlined and Alt with it
    // clicks the button from anywhere in its window ("&&" is a plain ampersand). Caption() then
    // gives the text without the marks, which also names the button for assistive tools.
    void setCaptionWithKey(const QString &marked);

    // The argument codes of the skinned controls' pointer and key events.
    static qint16 buttonCode(Qt::MouseButtons buttons);
    static qint16 shiftCode(Qt::KeyboardModifiers modifiers);

signals:
    void Click();
    // KeyCode: letters and digits give their upper-case character code, other Latin-1 keys
    // their character code, editing, navigation, function and modifier keys the usual virtual
    // key numbers (Enter 13, Escape 27, Left 37, F1 112, ...); any other key 0.
    void KeyDown(qint16 KeyCode, qint16 Shift);
    // KeyAscii: each UTF-16 unit of the typed text, its 16 bits kept as they are.
    void KeyPress(qint16 KeyAscii);
    void KeyUp(qint16 KeyCode, qint16 Shift);
    void MouseOut();
    void MouseDown(qint16 Button, qint16 Shift, float X, float Y);
    void MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void MouseUp(qint16 Button, qint16 Shift, float X, float Y);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void RefreshLook();
    void PaintFace(int cell);
    // The nine slices of `face` (one cell, at its own pixel ratio) over the button's rectangle.
    void paintFaceOn(QPainter &painter, const QPixmap &face) const;
    void layoutCaption();
    void colourCaption();
    void showCaption(const QString &text);
    void followName(const QString &name);
    void hoverLeft();

    void raiseClick();

    // `reported` is passed to the host as it is.
    void pointerDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF reported);
    void pointerMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF at);
    void pointerUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF reported);

    QLabel *lbl;
    QString caption_;
    // The face strip for the ratio in faceRatio_, which paintEvent keeps at the button's.
    platform::PictureClip pc;
    qreal faceRatio_ = 0;
    skin::HoverWatch *Timer1;

    int state_ = 0;
    int restCell_ = 0;
    int shownCell_ = 0;
    bool captionSet_ = false;
    bool spaceDown_ = false;  // Space is held on the focused button
};
