#include "ui/skin/xp_canvas_host.h"

#include "platform/window.h"

#include <QRect>
#include <QString>
#include <QVariant>
#include <QWidget>

#include <cmath>

namespace skin {

namespace {

int toPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace

int XpCanvasHost::WindowState() const
{
    if (!window_)
        return 0;
    const Qt::WindowStates state = window_->windowState();
    if (state & Qt::WindowMinimized)
        return 1;
    // A full-screen window is sized by the system, as a maximised one is.
    if (state & (Qt::WindowMaximized | Qt::WindowFullScreen))
        return 2;
    return 0;
}

void XpCanvasHost::setWindowState(int state) const
{
    if (!window_)
        return;
    switch (state) {
    case 2:
        window_->setWindowState(Qt::WindowMaximized);
        break;
    case 1:
        window_->setWindowState(window_->windowState() | Qt::WindowMinimized);
        break;
    default:
        window_->setWindowState(Qt::WindowNoState);
        break;
    }
}

void XpCanvasHost::setCaption(const QString &text) const
{
    if (window_)
        window_->setWindowTitle(text);
}

void XpCanvasHost::setScaleMode(int mode) const
{
    if (window_)
        window_->setProperty("ScaleMode", mode);
}

int XpCanvasHost::ScaleWidth() const { return window_ ? window_->width() : 0; }

double XpCanvasHost::Left() const
{
    return window_ ? window_->geometry().x() * platform::TwipsPerPixelX(window_) : 0.0;
}

double XpCanvasHost::Top() const
{
    return window_ ? window_->geometry().y() * platform::TwipsPerPixelY(window_) : 0.0;
}

double XpCanvasHost::Width() const
{
    return window_ ? window_->width() * platform::TwipsPerPixelX(window_) : 0.0;
}

double XpCanvasHost::Height() const
{
    return window_ ? window_->height() * platform::TwipsPerPixelY(window_) : 0.0;
}

bool XpCanvasHost::Move(double left, double top, double width, double height) const
{
    if (!window_ || WindowState() != 0 || width < 0 || height < 0)
        return false;
    const double tppX = platform::TwipsPerPixelX(window_);
    const double tppY = platform::TwipsPerPixelY(window_);
    const QRect bounds(toPixels(left, tppX), toPixels(top, tppY), toPixels(width, tppX),
                       toPixels(height, tppY));
    window_->setGeometry(bounds);
    return true;
}

}  // namespace skin
