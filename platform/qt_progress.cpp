#include "platform/qt_progress.h"

#include <QApplication>
#include <QEvent>
#include <QProgressDialog>

#include <algorithm>

namespace platform {

namespace {

constexpr int kSteps = 1000;
// Events are handled this often: the window stays painted and Cancel answers, and the work is
// not slowed by handling them after every step.
constexpr qint64 kEventsEveryMs = 40;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

}  // namespace

QtProgress::QtProgress(QWidget *parent, const QString &label, const QString &title)
    : dialog_(std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, kSteps, parent))
{
    dialog_->setWindowTitle(title);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(500);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
    qApp->installEventFilter(this);
    sinceEvents_.start();
}

QtProgress::~QtProgress() { qApp->removeEventFilter(this); }

bool QtProgress::update(qint64 done, qint64 total)
{
    if (sinceEvents_.elapsed() >= kEventsEveryMs) {
        const int value = total > 0 ? static_cast<int>(std::clamp<qint64>(done * kSteps / total, 0, kSteps)) : 0;
        dialog_->setValue(value);
        // The box's own timer, which shows it, and its Cancel button need the events handled.
        QCoreApplication::processEvents();
        sinceEvents_.restart();
    }
    return !dialog_->wasCanceled();
}

bool QtProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (!isUserInput(event->type()) || !watched->isWidgetType())
        return false;
    const auto *widget = static_cast<QWidget *>(watched);
    if (widget == dialog_.get() || dialog_->isAncestorOf(widget))
        return false;
    event->ignore();
    return true;
}

}  // namespace platform
