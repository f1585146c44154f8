#include "ui/skin/hover_watch.h"

#include "platform/window.h"

#include <QWidget>

namespace skin {

HoverWatch::HoverWatch(QWidget *control) : QObject(control), control_(control)
{
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &HoverWatch::tick);
}

void HoverWatch::start()
{
    if (!timer_.isActive())
        timer_.start();
}

void HoverWatch::stop() { timer_.stop(); }

bool HoverWatch::isActive() const { return timer_.isActive(); }

void HoverWatch::tick()
{
    const QPoint at = platform::ScreenToClient(control_, platform::GetCursorPos());
    const bool inside = at.x() >= 0 && at.y() >= 0 && at.x() <= control_->width()
                        && at.y() <= control_->height();
    emit polled();
    if (inside)
        return;
    timer_.stop();
    emit left();
}

}  // namespace skin
