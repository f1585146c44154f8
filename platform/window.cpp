#include "platform/window.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <cstdio>

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

// The window follows the cursor, keeping the offset it had at the press, until a release
// leaves no button held. It watches the whole application because the pressed widget, the
// window's own handle and any widget under the cursor may each receive the events.
class CursorMove final : public QObject {
public:
    CursorMove(QWidget *window, QPoint cursor)
        : QObject(qApp), window_(window), offset_(cursor - window->pos())
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
            fprintf(stderr, "filter %p move buttons %d global %g,%g\n", (void*)this, int(mouse->buttons()), mouse->globalPosition().x(), mouse->globalPosition().y());
            // No button held: the release happened where we could not see it.
            if (mouse->buttons() == Qt::NoButton || !window_)
                finish();
            else
                window_->move(mouse->globalPosition().toPoint() - offset_);
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

    void finish()
    {
        qApp->removeEventFilter(this);
        deleteLater();
    }

    QPointer<QWidget> window_;
    QPoint offset_;
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
    window = window->window();
    if (QWindow *handle = window->windowHandle(); handle && handle->startSystemMove())
        return true;
    CursorMove::start(window, cursor);
    return true;
}

}  // namespace platform
