#include "ui/skin/xptopbuttons.h"

#include "ui/skin/hover_watch.h"
#include "ui/skin/skin_pictures.h"
#include "ui/skin/xp_canvas_paint.h"
#include "ui/skin/xpcmdbutton.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kNormal = 0;
constexpr int kHover = 1;
constexpr int kPressed = 2;
constexpr int kDisabled = 3;
// A strip cell's side in logical pixels.
constexpr int kCell = 21;

// The button's text after its strip: never painted, it names the button for assistive tools.
QString nameOf(int strip)
{
    switch (strip) {
    case xptopbuttons::Maximize:
        return QStringLiteral("Maximize");
    case xptopbuttons::Minimize:
        return QStringLiteral("Minimize");
    case xptopbuttons::Restore:
        return QStringLiteral("Restore");
    default:
        return QStringLiteral("Close");
    }
}

}  // namespace

xptopbuttons::xptopbuttons(QWidget *parent)
    : QAbstractButton(parent),
      Timer1(new skin::HoverWatch(this))
{
    // QAbstractButton's defaults for a text push button, put back to a plain widget's: no
    // focus, the size policy, and the colour roles (a grab paints the background role).
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred));
    setAttribute(Qt::WA_WState_OwnSizePolicy, false);
    setBackgroundRole(QPalette::NoRole);
    setForegroundRole(QPalette::NoRole);
    setText(nameOf(strip_));
    setMouseTracking(true);
    connect(Timer1, &skin::HoverWatch::left, this, &xptopbuttons::hoverLeft);
    connect(this, &QAbstractButton::clicked, this, &xptopbuttons::raiseClick);
    RefreshLook();
    // Always one cell in logical pixels (315 x 315 twips at 96 dpi); the strips drawn for the
    // screen's pixel ratio give the same logical cell at every density.
    setFixedSize(kCell, kCell);
    Timer1->start();
}

xptopbuttons::~xptopbuttons() = default;

int xptopbuttons::Value() const { return value_; }

void xptopbuttons::setValue(int value)
{
    value_ = value;
    RefreshLook();
}

void xptopbuttons::raiseClick()
{
    // The accessible press action clicks on a timer, by which time the host may have
    // disabled the button.
    if (isEnabled())
        emit Click();
}

void xptopbuttons::RefreshLook()
{
    if (value_ >= 0 && value_ < int(pc.size()) && value_ != strip_) {
        strip_ = value_;
        update();
        setText(nameOf(strip_));
    }
    showCell(isEnabled() ? kNormal : kDisabled);
}

void xptopbuttons::showCell(int cell)
{
    if (cell == shownCell_)
        return;
    shownCell_ = cell;
    update();
}

void xptopbuttons::loadStrips(qreal ratio)
{
    stripsRatio_ = ratio;
    const char *names[] = {"close", "maximize", "minimize", "restore"};
    for (std::size_t i = 0; i < pc.size(); ++i)
        pc[i] = platform::PictureClip(skin::picture(QString::fromLatin1(names[i]), ratio), 1, 4);
}

void xptopbuttons::paintEvent(QPaintEvent *)
{
    // A button moved to a screen of another pixel ratio takes that screen's strips.
    if (devicePixelRatioF() != stripsRatio_)
        loadStrips(devicePixelRatioF());
    const QPixmap cell = pc[std::size_t(strip_)].cell(shownCell_);
    QPainter painter(this);
    skin::smoothWhenResampling(painter, cell);
    painter.drawPixmap(QRect(0, 0, kCell, kCell), cell, cell.rect());
}

void xptopbuttons::showEvent(QShowEvent *) { RefreshLook(); }

void xptopbuttons::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        showCell(isEnabled() ? kNormal : kDisabled);
    // QAbstractButton lets go of a press held while the button is disabled, so it ends in no
    // click.
    QAbstractButton::changeEvent(event);
}

bool xptopbuttons::event(QEvent *event)
{
    // QAbstractButton swallows pointer input while disabled; a plain widget lets it through to
    // the widget beneath (the title bar), as the button always has.
    if (!isEnabled())
        return QWidget::event(event);
    return QAbstractButton::event(event);
}

// Every pointer event on the button is the button's own: QAbstractButton would pass on all but
// those of the left button.

void xptopbuttons::mousePressEvent(QMouseEvent *event)
{
    showCell(kPressed);
    emit MouseDown(xpcmdbutton::buttonCode(event->button()),
                   xpcmdbutton::shiftCode(event->modifiers()), float(event->position().x()),
                   float(event->position().y()));
    QAbstractButton::mousePressEvent(event);
    event->accept();
}

void xptopbuttons::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click is ignored, so a double-click gives one Click.
}

void xptopbuttons::mouseMoveEvent(QMouseEvent *event)
{
    Timer1->start();
    QAbstractButton::mouseMoveEvent(event);
    event->accept();
    const QPointF at = event->position();
    if (at.x() < 0 || at.y() < 0 || at.x() > width() || at.y() > height())
        return;
    const qint16 held = xpcmdbutton::buttonCode(event->buttons());
    emit MouseMove(held, xpcmdbutton::shiftCode(event->modifiers()), float(at.x()),
                   float(at.y()));
    showCell(held == 1 ? kPressed : kHover);
}

void xptopbuttons::mouseReleaseEvent(QMouseEvent *event)
{
    showCell(kNormal);
    emit MouseUp(xpcmdbutton::buttonCode(event->button()),
                 xpcmdbutton::shiftCode(event->modifiers()), float(event->position().x()),
                 float(event->position().y()));
    // Taken after MouseUp, so Click comes last.
    QAbstractButton::mouseReleaseEvent(event);
    event->accept();
}

// Keys go to the host as they would past a plain widget: QAbstractButton would click on the
// space bar and move the focus on the arrow keys.

void xptopbuttons::keyPressEvent(QKeyEvent *event) { QWidget::keyPressEvent(event); }

void xptopbuttons::keyReleaseEvent(QKeyEvent *event) { QWidget::keyReleaseEvent(event); }

void xptopbuttons::hoverLeft()
{
    emit MouseOut();
    if (isEnabled())
        showCell(kNormal);
}
