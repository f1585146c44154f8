#pragma once
// What the window frame's tests share: a frameless host window that one xp_canvas fills, as
// the program's windows use it, and ways to look at the frame's pieces and pixels.

#include "ui/skin/skin_pictures.h"
#include "ui/skin/xp_canvas.h"

#include <QImage>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace xpcanvastest {

struct FramedWindow {
    std::unique_ptr<QWidget> window;
    xp_canvas *frame = nullptr;

    QWidget *piece(const char *name) const
    {
        return frame->findChild<QWidget *>(QString::fromLatin1(name));
    }
};

// A shown frameless window at `bounds` (screen pixels), filled by a frame named `name`.
inline FramedWindow framedWindow(QRect bounds, const QString &name = QStringLiteral("xp_canvas1"))
{
    // The offscreen platform has no window shapes and says so at every mask; the tests read
    // the mask from the widget, so that one message is dropped.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message != QLatin1String("This plugin does not support setting window masks"))
                previous(type, context, message);
        });
    FramedWindow framed;
    framed.window = std::make_unique<QWidget>();
    framed.window->setWindowFlag(Qt::FramelessWindowHint);
    auto *layout = new QVBoxLayout(framed.window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    framed.frame = new xp_canvas(framed.window.get());
    framed.frame->setObjectName(name);
    layout->addWidget(framed.frame);
    framed.window->setGeometry(bounds);
    framed.window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(framed.window.get()));
    return framed;
}

// What the widget shows when the window system asks it to repaint.
inline QImage grabbed(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QImage skinPicture(const char *name)
{
    return skin::picture(QString::fromLatin1(name)).toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool sameColumn(const QImage &a, int xa, const QImage &b, int xb)
{
    for (int y = 0; y < a.height(); ++y)
        if (y >= b.height() || a.pixel(xa, y) != b.pixel(xb, y))
            return false;
    return a.height() == b.height();
}

inline bool sameRow(const QImage &a, int ya, const QImage &b, int yb)
{
    return a.width() == b.width() && a.copy(0, ya, a.width(), 1) == b.copy(0, yb, b.width(), 1);
}

}  // namespace xpcanvastest
