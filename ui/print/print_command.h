#pragma once
// The Print command of the main window: writes print.txt and print.htm into the program folder
// from the four recipe boxes and shows them in the one preview window.

#include <QPointer>
#include <QString>
#include <QWidget>

class frmprint;
namespace platform {
class Dialogs;
}

namespace printdoc {

class PrintCommand {
public:
    // dialogs must outlive the command; the print files go into programFolder. A new preview
    // opens centred over mainWindow; without one the window system places it.
    PrintCommand(platform::Dialogs &dialogs, QString programFolder, QWidget *mainWindow = nullptr);
    // Closes an open preview: it shows messages through this command's dialogs.
    ~PrintCommand();
    PrintCommand(const PrintCommand &) = delete;
    PrintCommand &operator=(const PrintCommand &) = delete;

    // Prints the recipe shown in the boxes (name, author, ingredients, instructions). An exactly
    // empty name is answered with a message; a name, ingredients or instructions made only of
    // spaces stop silently. A file that cannot be written is reported and no preview opens.
    // Otherwise the preview is shown beside the main window, non-modal and without an owner; a
    // new preview opens centred over the main window, an open one reloads the page and comes
    // forward where it is.
    void run(const QString &text1, const QString &text2, const QString &text3,
             const QString &text4);

    // The open preview, or null.
    frmprint *preview() const;

private:
    platform::Dialogs &dialogs_;
    const QString folder_;
    QPointer<QWidget> mainWindow_;
    QPointer<frmprint> preview_;
};

}  // namespace printdoc
