#include "ui/skin/xpcmdbutton.h"

#include "ui/skin/hover_watch.h"
#include "ui/skin/skin_pictures.h"
#include "ui/skin/xp_canvas_paint.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <array>
#include <utility>

namespace {

constexpr int kRestPlain = 0;
constexpr int kPressed = 1;
constexpr int kDisabled = 2;
constexpr int kHover = 3;
constexpr int kRestHighlighted = 4;

// Width of the face's frame: the part of each cell edge that is never stretched.
constexpr int kBorder = 3;

const QColor kEnabledCaption(0, 0, 0);
const QColor kDisabledCaption(161, 161, 146);

qint16 keyCode(const QKeyEvent *event)
{
    const int key = event->key();
    if (key > 0 && key < 0x100)
        return qint16(key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return qint16(112 + (key - Qt::Key_F1));
    static const std::array<std::pair<int, qint16>, 26> kSpecial{{
        {Qt::Key_Backspace, 8}, {Qt::Key_Tab, 9},       {Qt::Key_Backtab, 9},
        {Qt::Key_Return, 13},   {Qt::Key_Enter, 13},    {Qt::Key_Shift, 16},
        {Qt::Key_Control, 17},  {Qt::Key_Alt, 18},      {Qt::Key_Pause, 19},
        {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},   {Qt::Key_PageUp, 33},
        {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},      {Qt::Key_Home, 36},
        {Qt::Key_Left, 37},     {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
        {Qt::Key_Down, 40},     {Qt::Key_Print, 44},    {Qt::Key_Insert, 45},
        {Qt::Key_Delete, 46},   {Qt::Key_Help, 47},     {Qt::Key_Menu, 93},
        {Qt::Key_NumLock, 144}, {Qt::Key_ScrollLock, 145},
    }};
    for (const auto &[qtKey, code] : kSpecial) {
        if (qtKey == key)
            return code;
    }
    return 0;
}

bool withinInclusive(QPointF at, const QWidget *widget)
{
    return at.x() >= 0 && at.y() >= 0 && at.x() <= widget->width() && at.y() <= widget->height();
}

// A pointer event the caption label received, as the button would have received it.
QMouseEvent onButton(const QMouseEvent *event, const QWidget *label)
{
    return QMouseEvent(event->type(), label->mapToParent(event->position()),
                       event->scenePosition(), event->globalPosition(), event->button(),
                       event->buttons(), event->modifiers(), event->pointingDevice());
}

}  // namespace

xpcmdbutton::xpcmdbutton(QWidget *parent)
    : QAbstractButton(parent),
      lbl(new QLabel(this)),
      pc(skin::picture(QStringLiteral("face")), 1, 5),
      Timer1(new skin::HoverWatch(this))
{
    // QAbstractButton's defaults for a text push button, put back to a plain widget's: no
    // focus, the size policy, and the colour roles (a grab paints the background role).
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    setAttribute(Qt::WA_WState_OwnSizePolicy, false);
    setBackgroundRole(QPalette::NoRole);
    setForegroundRole(QPalette::NoRole);
    // Moves without a button held must reach the button, or it could not show its hover look.
    setMouseTracking(true);
    lbl->setMouseTracking(true);
    lbl->setTextFormat(Qt::PlainText);
    lbl->installEventFilter(this);
    colourCaption();

    connect(this, &QObject::objectNameChanged, this, &xpcmdbutton::followName);
    connect(Timer1, &skin::HoverWatch::left, this, &xpcmdbutton::hoverLeft);
    connect(this, &QAbstractButton::clicked, this, &xpcmdbutton::raiseClick);
    showCaption(QStringLiteral("xpcmdbutton"));
}

xpcmdbutton::~xpcmdbutton() = default;

int xpcmdbutton::State() const { return state_; }

void xpcmdbutton::setState(int state)
{
    state_ = state;
    RefreshLook();
}

QString xpcmdbutton::Caption() const { return caption_; }

void xpcmdbutton::setCaption(const QString &caption)
{
    captionSet_ = true;
    showCaption(caption);
}

void xpcmdbutton::followName(const QString &name)
{
    if (!captionSet_)
        showCaption(name);
}

void xpcmdbutton::setCaptionWithKey(const QString &marked)
{
    captionSet_ = true;
    caption_.clear();
    QString shown;
    for (qsizetype i = 0; i < marked.size(); ++i) {
        QString character(marked.at(i));
        const bool mark = character == u'&' && i + 1 < marked.size();
        if (mark)
            character = marked.at(++i);
        caption_ += character;
        const QString escaped = character.toHtmlEscaped();
        shown += mark && character != u'&' ? QStringLiteral("<u>") + escaped + QStringLiteral("</u>") : escaped;
    }
    lbl->setTextFormat(Qt::RichText);
    lbl->setText(shown);
    layoutCaption();
    // QAbstractButton claims the access key of its text and delivers it as a Shortcut event.
    setText(marked);
}

void xpcmdbutton::showCaption(const QString &text)
{
    caption_ = text;
    lbl->setTextFormat(Qt::PlainText);
    lbl->setText(text);
    layoutCaption();
    // The button's own text names it for assistive tools and is never painted. Doubled, an
    // ampersand is a plain character to Qt and marks no access key.
    QString named = text;
    setText(named.replace(u'&', QStringLiteral("&&")));
}

void xpcmdbutton::raiseClick()
{
    // The accessible press action clicks on a timer, by which time the host may have
    // disabled the button.
    if (isEnabled())
        emit Click();
}

qint16 xpcmdbutton::buttonCode(Qt::MouseButtons buttons)
{
    qint16 code = 0;
    if (buttons & Qt::LeftButton)
        code |= 1;
    if (buttons & Qt::RightButton)
        code |= 2;
    if (buttons & Qt::MiddleButton)
        code |= 4;
    return code;
}

qint16 xpcmdbutton::shiftCode(Qt::KeyboardModifiers modifiers)
{
    qint16 code = 0;
    if (modifiers & Qt::ShiftModifier)
        code |= 1;
    if (modifiers & Qt::ControlModifier)
        code |= 2;
    if (modifiers & Qt::AltModifier)
        code |= 4;
    return code;
}

void xpcmdbutton::RefreshLook()
{
    if (state_ == 1)
        restCell_ = kRestHighlighted;
    else if (state_ == 0)
        restCell_ = kRestPlain;
    PaintFace(isEnabled() ? restCell_ : kDisabled);
}

void xpcmdbutton::PaintFace(int cell)
{
    // Painting happens in paintEvent from the cell recorded here; an unchanged cell needs no
    // new paint, and a resize repaints by itself.
    if (cell == shownCell_)
        return;
    shownCell_ = cell;
    update();
}

void xpcmdbutton::paintFaceOn(QPainter &painter, const QPixmap &face) const
{
    const int w = width();
    const int h = height();
    const int b = kBorder;
    // Destinations in logical pixels, sources in the face's device pixels.
    const int cw = face.width();
    const int ch = face.height();
    const int sb = qRound(kBorder * face.devicePixelRatio());
    struct Slice {
        QRect to;
        QRect from;
    };
    const std::array<Slice, 9> slices{{
        {{0, 0, b, b}, {0, 0, sb, sb}},
        {{w - b, 0, b, b}, {cw - sb, 0, sb, sb}},
        {{w - b, h - b, b, b}, {cw - sb, ch - sb, sb, sb}},
        {{0, h - b, b, b}, {0, ch - sb, sb, sb}},
        {{b, 0, w - 2 * b, b}, {sb, 0, cw - 2 * sb, sb}},
        {{w - b, b, b, h - 2 * b}, {cw - sb, sb, sb, ch - 2 * sb}},
        {{0, b, b, h - 2 * b}, {0, sb, sb, ch - 2 * sb}},
        {{b, h - b, w - 2 * b, b}, {sb, ch - sb, cw - 2 * sb, sb}},
        {{b, b, w - 2 * b, h - 2 * b}, {sb, sb, cw - 2 * sb, ch - 2 * sb}},
    }};
    for (const Slice &slice : slices) {
        // Below 6 x 6 pixels some slices have no extent; they are left out rather than mirrored.
        if (!slice.to.isEmpty())
            painter.drawPixmap(slice.to, face, slice.from);
    }
}

void xpcmdbutton::paintEvent(QPaintEvent *)
{
    // A button moved to a screen of another pixel ratio takes that screen's face strip.
    const qreal ratio = devicePixelRatioF();
    if (ratio != faceRatio_) {
        faceRatio_ = ratio;
        pc = platform::PictureClip(skin::picture(QStringLiteral("face"), ratio), 1, 5);
    }
    const QPixmap face = pc.cell(shownCell_);
    QPainter painter(this);
    if (qFuzzyCompare(face.devicePixelRatio(), ratio)) {
        paintFaceOn(painter, face);
    } else {
        // A fractional ratio: slices cut from the next denser face, then scaled down as one
        // image, so no slice's edge blurs into its neighbour.
        QPixmap whole(size() * face.devicePixelRatio());
        whole.setDevicePixelRatio(face.devicePixelRatio());
        whole.fill(Qt::transparent);
        QPainter onWhole(&whole);
        paintFaceOn(onWhole, face);
        onWhole.end();
        skin::smoothWhenResampling(painter, whole);
        painter.drawPixmap(0, 0, whole);
    }
    if (hasFocus()) {
        // Inside the border, in the caption's colour, as the skin's buttons show the focus.
        painter.setPen(QPen(isEnabled() ? kEnabledCaption : kDisabledCaption, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(kBorder, kBorder, -kBorder - 1, -kBorder - 1));
    }
}

void xpcmdbutton::layoutCaption()
{
    RefreshLook();
    lbl->adjustSize();
    // Centred; widget positions are whole pixels, so half pixels round to the nearest.
    lbl->move(qRound((width() - lbl->width()) / 2.0), qRound((height() - lbl->height()) / 2.0));
}

void xpcmdbutton::colourCaption()
{
    // Set for every colour group, so the label's own disabled colours never apply.
    QPalette colours = lbl->palette();
    colours.setColor(QPalette::WindowText, isEnabled() ? kEnabledCaption : kDisabledCaption);
    lbl->setPalette(colours);
}

void xpcmdbutton::resizeEvent(QResizeEvent *) { layoutCaption(); }

void xpcmdbutton::showEvent(QShowEvent *) { RefreshLook(); }

void xpcmdbutton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        RefreshLook();
        colourCaption();
    } else if (event->type() == QEvent::FontChange) {
        // The label inherits the font; Qt has updated it before telling the button.
        layoutCaption();
    }
    // QAbstractButton lets go of a press held while the button is disabled, so it ends in no
    // click.
    QAbstractButton::changeEvent(event);
}

bool xpcmdbutton::event(QEvent *event)
{
    // An access key the host grabbed for this button clicks it at once; QAbstractButton would
    // answer only to the one of its own text, which never has one.
    if (event->type() == QEvent::Shortcut) {
        click();
        return true;
    }
    // QAbstractButton swallows pointer input while disabled; a plain widget lets it through to
    // the widget beneath, as the button always has.
    if (!isEnabled())
        return QWidget::event(event);
    return QAbstractButton::event(event);
}

// Every pointer event on the button is the button's own: QAbstractButton would pass on all but
// those of the left button.

void xpcmdbutton::mousePressEvent(QMouseEvent *event)
{
    pointerDown(event->button(), event->modifiers(), event->position());
    QAbstractButton::mousePressEvent(event);
    event->accept();
}

void xpcmdbutton::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click is ignored, so a double-click gives one Click.
}

void xpcmdbutton::mouseMoveEvent(QMouseEvent *event)
{
    pointerMove(event->buttons(), event->modifiers(), event->position());
    QAbstractButton::mouseMoveEvent(event);
    event->accept();
}

void xpcmdbutton::mouseReleaseEvent(QMouseEvent *event)
{
    pointerUp(event->button(), event->modifiers(), event->position());
    QAbstractButton::mouseReleaseEvent(event);
    event->accept();
}

bool xpcmdbutton::eventFilter(QObject *watched, QEvent *event)
{
    // A disabled label lets pointer input through to the button, which passes it on.
    if (watched != lbl || !isEnabled())
        return QAbstractButton::eventFilter(watched, event);
    // The label lies on top of the face; everything the pointer does on it is the button's.
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pointerDown(mouse->button(), mouse->modifiers(), mouse->position());
        QMouseEvent pressed = onButton(mouse, lbl);
        QAbstractButton::mousePressEvent(&pressed);
        return true;
    }
    case QEvent::MouseButtonDblClick:
        return true;
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // Over the label, a move counts as one at the label's top-left corner. A move the label
        // receives with the pointer elsewhere (a press on the label dragged away) is a move of
        // the button at its real position.
        const QPointF at = withinInclusive(mouse->position(), lbl)
                               ? QPointF(lbl->pos())
                               : QPointF(lbl->mapTo(this, mouse->position()));
        pointerMove(mouse->buttons(), mouse->modifiers(), at);
        QMouseEvent moved = onButton(mouse, lbl);
        QAbstractButton::mouseMoveEvent(&moved);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        pointerUp(mouse->button(), mouse->modifiers(), mouse->position());
        QMouseEvent released = onButton(mouse, lbl);
        QAbstractButton::mouseReleaseEvent(&released);
        return true;
    }
    default:
        return false;
    }
}

void xpcmdbutton::pointerDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                              QPointF reported)
{
    emit MouseDown(buttonCode(button), shiftCode(modifiers), float(reported.x()),
                   float(reported.y()));
    PaintFace(kPressed);
}

void xpcmdbutton::pointerMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers,
                              QPointF at)
{
    Timer1->start();
    if (!withinInclusive(at, this))
        return;
    const qint16 held = buttonCode(buttons);
    emit MouseMove(held, shiftCode(modifiers), float(at.x()), float(at.y()));
    PaintFace(held == 1 ? kPressed : kHover);
}

void xpcmdbutton::pointerUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                            QPointF reported)
{
    // Raised before QAbstractButton takes the release, so Click comes last, over the rest look.
    emit MouseUp(buttonCode(button), shiftCode(modifiers), float(reported.x()),
                 float(reported.y()));
    RefreshLook();
}

void xpcmdbutton::hoverLeft()
{
    emit MouseOut();
    RefreshLook();
}

// Keys never reach QAbstractButton, which would move the focus on the arrow keys; Space and
// Enter are pressed here, after the key events the host is told of.

void xpcmdbutton::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(keyCode(event), shiftCode(event->modifiers()));
    const QString typed = event->text();
    for (const QChar unit : typed)
        emit KeyPress(qint16(unit.unicode()));
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        spaceDown_ = true;
        PaintFace(kPressed);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
    }
}

void xpcmdbutton::keyReleaseEvent(QKeyEvent *event)
{
    // The window system repeats a held key as release and press pairs; only the final release
    // is a key going up.
    if (event->isAutoRepeat())
        return;
    emit KeyUp(keyCode(event), shiftCode(event->modifiers()));
    if (event->key() == Qt::Key_Space && spaceDown_) {
        spaceDown_ = false;
        RefreshLook();
        click();
    }
}

void xpcmdbutton::focusOutEvent(QFocusEvent *event)
{
    // Space let go elsewhere presses nothing.
    if (spaceDown_) {
        spaceDown_ = false;
        RefreshLook();
    }
    QAbstractButton::focusOutEvent(event);
}
