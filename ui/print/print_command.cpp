#include "ui/print/print_command.h"

#include "core/category_schema.h"

#include "platform/dialogs.h"
#include "platform/window.h"
#include "ui/print/frmprint.h"
#include "ui/print/print_document.h"

#include <utility>

namespace printdoc {

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

    // Only a new preview is placed: one the user has moved stays where it is.
    const bool isNew = !preview_;
    if (preview_)
        preview_->reloadPage();
    else
        preview_ = new frmprint(dialogs_, folder_);
    preview_->setWindowTitle(QStringLiteral("Print [ ") + name + QStringLiteral(" ] Recipe"));
    // A minimised preview is restored: bringing it forward must show the new page.
    platform::BringForward(preview_, mainWindow_, isNew);
}

}  // namespace printdoc
