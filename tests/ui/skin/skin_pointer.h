#pragma once
// Driving the painted controls with the pointer as a user would: the cursor is moved through
// the window system (the hover watches read it), and presses and releases go to the window
// where the cursor is, so routing, the implicit grab and double-click detection are Qt's own.

#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace skintest {

inline void pointTo(const QWidget *widget, QPoint at)
{
    QCursor::setPos(widget->mapToGlobal(at));
    QCoreApplication::processEvents();
}

inline void pressAt(const QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    pointTo(widget, at);
    QTest::mousePress(widget->window()->windowHandle(), button, {}, widget->mapTo(widget->window(), at));
}

inline void releaseAt(const QWidget *widget, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    pointTo(widget, at);
    QTest::mouseRelease(widget->window()->windowHandle(), button, {}, widget->mapTo(widget->window(), at));
}

// Waits up to 300 ms for the condition; returns whether it holds.
inline bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 300)
        QTest::qWait(1);
    return done();
}

}  // namespace skintest
