#pragma once
// Modal message and input boxes. Everything the program asks or tells the user goes through
// this seam, so tests can replace it with a double that records and answers.

#include <QString>

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
};

}  // namespace platform
