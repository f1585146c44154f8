#include "ui/skin/xptopbuttons.h"

#include "ui/skin/hover_watch.h"
#include "ui/skin/skin_accessibility.h"
#include "ui/skin/skin_pictures.h"
#include "ui/skin/xpcmdbutton.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kNormal = 0;
constexpr int kHover = 1;
constexpr int kPressed = 2;
constexpr int kDisabled = 3;

}  // namespace

xptopbuttons::xptopbuttons(QWidget *parent)
    : QWidget(parent),
      pc{{
          {skin::picture(QStringLiteral("close")), 1, 4},
          {skin::picture(QStringLiteral("maximize")), 1, 4},
          {skin::picture(QStringLiteral("minimize")), 1, 4},
          {skin::picture(QStringLiteral("restore")), 1, 4},
      }},
      Timer1(new skin::HoverWatch(this))
{
    skin::installAccessibility();
    setMouseTracking(true);
    connect(Timer1, &skin::HoverWatch::left, this, &xptopbuttons::hoverLeft);
    RefreshLook();
    // Always one cell in logical pixels (315 x 315 twips at 96 dpi). Qt scales logical pixels
    // on dense screens itself, so the cell and the control coincide at every density.
    setFixedSize(pc[0].cellSize());
    Timer1->start();
}

xptopbuttons::~xptopbuttons() = default;

int xptopbuttons::Value() const { return value_; }

void xptopbuttons::setValue(int value)
{
    value_ = value;
    RefreshLook();
}

int xptopbuttons::strip() const { return strip_; }

void xptopbuttons::performClick()
{
    if (isEnabled())
        emit Click();
}

void xptopbuttons::RefreshLook()
{
    if (value_ >= 0 && value_ < int(pc.size()) && value_ != strip_) {
        strip_ = value_;
        update();
        if (QAccessible::isActive()) {
            QAccessibleEvent named(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
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

void xptopbuttons::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(0, 0, pc[std::size_t(strip_)].cell(shownCell_));
}

void xptopbuttons::showEvent(QShowEvent *) { RefreshLook(); }

void xptopbuttons::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (!isEnabled())
            leftDown_ = false;
        showCell(isEnabled() ? kNormal : kDisabled);
    }
    QWidget::changeEvent(event);
}

void xptopbuttons::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        leftDown_ = true;
    showCell(kPressed);
    emit MouseDown(xpcmdbutton::buttonCode(event->button()),
                   xpcmdbutton::shiftCode(event->modifiers()), float(event->position().x()),
                   float(event->position().y()));
}

void xptopbuttons::mouseDoubleClickEvent(QMouseEvent *)
{
    // The second press of a double-click is ignored, so a double-click gives one Click.
}

void xptopbuttons::mouseMoveEvent(QMouseEvent *event)
{
    Timer1->start();
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
    const bool clicked = event->button() == Qt::LeftButton && leftDown_
                         && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        leftDown_ = false;
    showCell(kNormal);
    emit MouseUp(xpcmdbutton::buttonCode(event->button()),
                 xpcmdbutton::shiftCode(event->modifiers()), float(event->position().x()),
                 float(event->position().y()));
    if (clicked && isEnabled())
        emit Click();
}

void xptopbuttons::hoverLeft()
{
    emit MouseOut();
    if (isEnabled())
        showCell(kNormal);
}
