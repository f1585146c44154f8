#pragma once
// Tells a painted control that the pointer has left it. The window system reports moves over a
// widget but nothing dependable when the pointer goes (not while a button is held, not when the
// widget is hidden under it), so the watch polls the cursor every 10 ms from the moment the
// control starts it until the first tick that finds the pointer outside the control's area.
// The area includes its right and bottom edge lines (x == width, y == height count as inside).
// On that tick the watch stops itself and emits left(); the owner then raises its own events
// and restores its look in its own order.

#include <QObject>
#include <QTimer>

class QWidget;

namespace skin {

class HoverWatch : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 10;

    // The watch is a child of `control` and polls relative to it.
    explicit HoverWatch(QWidget *control);

    // Starts polling; a watch already running keeps its tick schedule, so a stream of moves
    // cannot postpone the next tick.
    void start();
    void stop();
    bool isActive() const;

signals:
    // Emitted on every tick, after the pointer was looked at; lets an observer wait until the
    // watch has had its chance to notice something.
    void polled();
    // Emitted once per start, after the watch has stopped.
    void left();

private:
    void tick();

    QWidget *control_;
    QTimer timer_;
};

}  // namespace skin
