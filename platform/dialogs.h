#pragma once
// Modal message, input, file and progress boxes. Everything the program asks or tells the user goes through
// this seam, so tests can replace it with a double that records and answers.

#include "platform/progress.h"

#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

namespace platform {

// Flags and answers of a message box, as the handlers name them.
enum MsgBoxFlags : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbDefaultButton2 = 256,
};
enum MsgBoxResult : int { vbOK = 1, vbYes = 6, vbNo = 7 };

inline const QString kAppTitle = QStringLiteral("Saporium");

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows a modal message box and returns the answer (vbOK, vbYes or vbNo). An empty title
    // shows the program's title.
    virtual int MsgBox(const QString &prompt, int flags = vbOKOnly, const QString &title = {}) = 0;
    // Shows a modal input box; returns the typed text, or "" when cancelled.
    virtual QString InputBox(const QString &prompt, const QString &title = {},
                             const QString &defaultText = {}) = 0;
    // The file and progress boxes below answer as if cancelled, and the progress box never
    // cancels, unless overridden: only the real boxes and the tests' double need them.

    // Asks for a password, hidden as it is typed; "" when cancelled.
    virtual QString PasswordBox(const QString &prompt, const QString &title = {});
    // Asks for existing files, any number; none when cancelled. filter as Qt's file dialogs
    // take it ("Recipes (*.json *.mmf)").
    virtual QStringList GetOpenFileNames(const QString &title, const QString &filter, const QString &folder = {});
    // Asks for an existing folder; "" when cancelled.
    virtual QString GetExistingDirectory(const QString &title);
    // Asks for the file to write, starting from suggested; "" when cancelled. filters: one per
    // kind of file offered; *chosen gets the index of the one the user chose.
    virtual QString GetSaveFileName(const QString &title, const QString &suggested, const QStringList &filters,
                                    int *chosen);
    // A progress box with Cancel for work that may take long. It appears only once the work has
    // taken half a second, and goes when the returned object does.
    virtual std::unique_ptr<Progress> StartProgress(const QString &label, const QString &title = {});
};

}  // namespace platform
