#include "ui/print/print_command.h"

#include "core/category_schema.h"

#include "platform/dialogs.h"
#include "platform/window.h"
#include "ui/print/frmprint.h"
#include "ui/print/print_document.h"

#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace printdoc {

namespace {

// Places a new window centred over another, as a dialog opens, but moved onto that window's
// screen where centring would push it past an edge: the painted caption must stay in reach.
void centreOver(QWidget *window, const QWidget *over)
{
    QRect frame(QPoint(), window->frameGeometry().size());
    frame.moveCenter(over->frameGeometry().center());
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

void openOver(QWidget *window, QWidget *over)
{
    window->winId();
    if (QWindow *handle = window->windowHandle())
        handle->setTransientParent(over->window()->windowHandle());
}

}  // namespace

PrintCommand::PrintCommand(platform::Dialogs &dialogs, QString programFolder, QWidget *mainWindow)
    : dialogs_(dialogs), folder_(std::move(programFolder)), mainWindow_(mainWindow)
{
}

PrintCommand::~PrintCommand()
{
    delete preview_.data();
}

frmprint *PrintCommand::preview() const
{
    return preview_.data();
}

void PrintCommand::run(const QString &text1, const QString &text2, const QString &text3,
                       const QString &text4)
{
    if (text1.isEmpty()) {
        dialogs_.MsgBox(QStringLiteral("Please Choose a Recipe"), platform::vbOKOnly);
        return;
    }
    const QString name = recipes::schema::trimBlanks(text1);
    if (name.isEmpty() || recipes::schema::trimBlanks(text3).isEmpty()
        || recipes::schema::trimBlanks(text4).isEmpty())
        return;

    QString error;
    if (!printdoc::writePrintFiles(folder_, text1, text2, text3, text4, &error)) {
        dialogs_.MsgBox(error, platform::vbCritical);
        return;
    }

    if (preview_) {
        preview_->reloadPage();
    } else {
        preview_ = new frmprint(dialogs_, folder_);
        // Only a new preview is placed: one the user has moved stays where it is. Where the
        // window system places windows itself, it is asked to open the preview over ours.
        if (mainWindow_ && platform::SystemPlacesWindows())
            openOver(preview_, mainWindow_);
        else if (mainWindow_)
            centreOver(preview_, mainWindow_);
    }
    preview_->setWindowTitle(QStringLiteral("Print [ ") + name + QStringLiteral(" ] Recipe"));
    // A minimised preview is restored: bringing it forward must show the new page.
    preview_->setWindowState(preview_->windowState() & ~Qt::WindowMinimized);
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

}  // namespace printdoc
