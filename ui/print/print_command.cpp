#include "ui/print/print_command.h"

#include "platform/text_box.h"

#include "platform/dialogs.h"
#include "ui/print/frmprint.h"
#include "ui/print/print_document.h"

#include <utility>

PrintCommand::PrintCommand(platform::Dialogs &dialogs, QString programFolder)
    : dialogs_(dialogs), folder_(std::move(programFolder))
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
    const QString name = platform::TrimBlanks(text1);
    if (name.isEmpty() || platform::TrimBlanks(text3).isEmpty()
        || platform::TrimBlanks(text4).isEmpty())
        return;

    QString error;
    if (!printdoc::writePrintFiles(folder_, text1, text2, text3, text4, &error)) {
        dialogs_.MsgBox(error, platform::vbCritical);
        return;
    }

    if (preview_)
        preview_->reloadPage();
    else
        preview_ = new frmprint(dialogs_, folder_);
    preview_->setWindowTitle(QStringLiteral("Print [ ") + name + QStringLiteral(" ] Recipe"));
    // A minimised preview is restored: bringing it forward must show the new page.
    preview_->setWindowState(preview_->windowState() & ~Qt::WindowMinimized);
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}
