#pragma once
// Driving the painted controls with the pointer as a user would: the cursor is moved through
// the window system (the hover watches read it), and presses and releases go to the window
// where the cursor is, so routing, the implicit grab and double-click detection are Qt's own.

#include "ui/skin/hover_watch.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
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

// Counts the events of one type that reach a widget, sent to it or passed on by a child.
class EventCount : public QObject {
public:
    EventCount(QWidget *widget, QEvent::Type type) : type_(type)
    {
        widget->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == type_)
            ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

// A bound for waiting on an event that normally comes within a few ticks, long enough for a
// slow machine under the sanitizers.
constexpr int kLongWaitMs = 20000;

// Waits for the condition; returns whether it holds.
inline bool waitFor(const std::function<bool()> &done)
{
    return QTest::qWaitFor(done, kLongWaitMs);
}

// Waits until the control's hover watch has looked at the pointer `polls` more times, or has
// stopped: a check that nothing was raised is made only after the watch had its chance.
inline bool waitForPolls(const QWidget *control, int polls = 3)
{
    auto *watch = control->findChild<skin::HoverWatch *>();
    if (!watch)
        return false;
    int seen = 0;
    const QMetaObject::Connection counting =
        QObject::connect(watch, &skin::HoverWatch::polled, [&seen] { ++seen; });
    const bool done = QTest::qWaitFor([&] { return seen >= polls || !watch->isActive(); }, kLongWaitMs);
    QObject::disconnect(counting);
    return done;
}

}  // namespace skintest
