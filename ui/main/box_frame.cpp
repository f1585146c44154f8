#include "ui/main/box_frame.h"

#include "ui/skin/outline_faces.h"
#include "ui/skin/xp_canvas.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"

#include <QShortcut>
#include <QWidget>

#include <algorithm>

namespace mainform {

namespace {

// The caption buttons' places from the frame's right edge, as the other windows have them.
constexpr int kCloseFromRight = 25;
constexpr int kMinimiseFromRight = 48;
constexpr int kCaptionButtonTop = 6;
// A command button as high as the forms make them, and wide enough for its caption.
constexpr int kButtonHeight = 25;
constexpr int kButtonMinWidth = 75;
constexpr int kCaptionPadding = 24;

void fitToCaption(xpcmdbutton *button)
{
    const int width = button->fontMetrics().horizontalAdvance(button->Caption()) + kCaptionPadding;
    button->setMinimumSize(std::max(kButtonMinWidth, width), kButtonHeight);
}

}  // namespace

BoxFrame::BoxFrame(QWidget &box, xp_canvas &frame, QWidget &body, xptopbuttons &minimise, xptopbuttons &close,
                   std::initializer_list<xpcmdbutton *> buttons)
    : QObject(&box), box_(box), frame_(frame), body_(body), minimise_(minimise), close_(close)
{
    box.setAttribute(Qt::WA_DeleteOnClose);
    skin::followPixelRatio(&box);
    for (xpcmdbutton *button : buttons) {
        button->setFocusPolicy(Qt::TabFocus);
        fitToCaption(button);
    }
    connect(&frame, &xp_canvas::Resize, this, &BoxFrame::place);
    connect(&minimise, &xptopbuttons::Click, this,
            [&box] { box.setWindowState(box.windowState() | Qt::WindowMinimized); });
    connect(&close, &xptopbuttons::Click, &box, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), &box), &QShortcut::activated, &box, &QWidget::close);
    // Never so small that the laid-out controls overlap the frame.
    const QSize frameOnly = frame.size() - frame.clientArea().size();
    box.setMinimumSize(body.minimumSizeHint() + frameOnly);
    place();
}

void BoxFrame::place()
{
    body_.setGeometry(frame_.clientArea());
    close_.move(frame_.width() - kCloseFromRight, kCaptionButtonTop);
    minimise_.move(frame_.width() - kMinimiseFromRight, kCaptionButtonTop);
}

}  // namespace mainform
