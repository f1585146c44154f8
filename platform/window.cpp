#include "platform/window.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace platform {

namespace {

QScreen *screenOf(const QWidget *widget)
{
    QScreen *screen = widget ? widget->screen() : nullptr;
    return screen ? screen : QGuiApplication::primaryScreen();
}

QPointer<QWidget> &lastActiveForm()
{
    static QPointer<QWidget> last;
    return last;
}

// Remembers each window as it becomes active, so that the answer survives another
// application coming to the front (Qt then reports no active window at all).
void trackActiveForm()
{
    static QPointer<QObject> tracker;
    if (tracker || !qApp)
        return;
    tracker = new QObject(qApp);
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, tracker, [] {
        if (QWidget *active = QApplication::activeWindow())
            lastActiveForm() = active;
    });
}

// Moves a window with the mouse from a press until the last button is released. Nothing
// happens until the cursor has travelled the drag distance, so that a double-click on a title
// bar still reaches the program: a window manager that takes over the pointer swallows it.
// From there the window system's own move is asked for; where it refuses, the window follows
// the cursor itself, keeping the offset it had at the press. The whole application is watched
// because the pressed widget, the window's own handle and the widget under the cursor may each
// receive the events.
class CursorMove final : public QObject {
public:
    CursorMove(QWidget *window, QPoint cursor)
        : QObject(qApp), window_(window), press_(cursor), offset_(cursor - window->pos())
    {
        qApp->installEventFilter(this);
    }

    static void start(QWidget *window, QPoint cursor)
    {
        delete current();
        current() = new CursorMove(window, cursor);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            // No button held: the release happened where we could not see it.
            if (mouse->buttons() == Qt::NoButton || !window_)
                finish();
            else
                follow(mouse->globalPosition().toPoint(), mouse->buttons());
            break;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->buttons() == Qt::NoButton)
                finish();
            break;
        case QEvent::ApplicationDeactivate:
            finish();
            break;
        default:
            break;
        }
        return false;
    }

private:
    static QPointer<CursorMove> &current()
    {
        static QPointer<CursorMove> move;
        return move;
    }

    void follow(QPoint cursor, Qt::MouseButtons buttons)
    {
        if (!following_) {
            if ((cursor - press_).manhattanLength() < QApplication::startDragDistance())
                return;
            following_ = true;
            // Window managers run their move for the left button only. Theirs keeps the
            // window where it is now, so the grip trails the cursor by the drag distance.
            QWindow *handle = window_->windowHandle();
            if (buttons == Qt::LeftButton && handle && handle->startSystemMove()) {
                finish();
                return;
            }
        }
        window_->move(cursor - offset_);
    }

    void finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint press_;
    QPoint offset_;
    bool following_ = false;
};

}  // namespace

QPoint GetCursorPos() { return QCursor::pos(); }

QPoint ScreenToClient(const QWidget *widget, QPoint screen) { return widget->mapFromGlobal(screen); }

double TwipsPerPixelX(const QWidget *widget)
{
    QScreen *screen = screenOf(widget);
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

double TwipsPerPixelY(const QWidget *widget)
{
    QScreen *screen = screenOf(widget);
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

QWidget *ActiveForm()
{
    trackActiveForm();
    if (QWidget *active = QApplication::activeWindow()) {
        lastActiveForm() = active;
        return active;
    }
    QWidget *last = lastActiveForm();
    return last && last->isVisible() ? last : nullptr;
}

bool BeginWindowMove(QWidget *window, QPoint cursor)
{
    if (!window || !window->isVisible())
        return false;
    CursorMove::start(window->window(), cursor);
    return true;
}

bool SystemPlacesWindows()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool BeginWindowResize(QWidget *window, Qt::Edges edges)
{
    if (!window || !window->isVisible())
        return false;
    QWindow *handle = window->window()->windowHandle();
    return handle && handle->startSystemResize(edges);
}

void BringForward(QWidget *window, QWidget *over, bool placeNew)
{
    if (placeNew && over && SystemPlacesWindows()) {
        window->winId();
        if (QWindow *handle = window->windowHandle())
            handle->setTransientParent(over->window()->windowHandle());
    } else if (placeNew && over) {
        QRect frame(QPoint(), window->frameGeometry().size());
        frame.moveCenter(over->window()->frameGeometry().center());
        if (const QScreen *screen = over->screen()) {
            // A window larger than the screen keeps its top left corner on it.
            const auto inside = [](int start, int length, int first, int last) {
                return std::max(first, std::min(start, last - length + 1));
            };
            const QRect room = screen->availableGeometry();
            frame.moveTo(inside(frame.left(), frame.width(), room.left(), room.right()),
                         inside(frame.top(), frame.height(), room.top(), room.bottom()));
        }
        window->move(frame.topLeft());
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace platform
