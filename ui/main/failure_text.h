#pragma once
// The window's one place that turns a failure into a message box. Every command catches at its
// own boundary and asks here what to say, so that the same failure reads the same whichever
// command met it. The core throws recipes::Error; the tree throws platform::TreeError; anything
// else is a fault of the program, shown by its what() so that the window stays usable.

#include "core/recipe_error.h"

#include <QString>

#include <exception>

namespace exchange {
struct ImportReport;
}
namespace platform {
class Dialogs;
}

namespace mainform {

// One message box: its text, its title (empty: the program's name) and its MsgBox flags.
struct FailureText {
    QString text;
    QString title;
    int flags = 0;
};

// The words for a failure: a recipes::Error's whole message (what() stops at a NUL), else what().
QString failureReason(const std::exception &e);
// The core's kind of the failure; Failure for anything the core did not throw.
recipes::Error::Kind failureKind(const std::exception &e);
// The box a command titled `title` shows for `e`. A category gone from the file means the user's
// choice is stale: when the command has `unchosen` words for that, they are shown, without the
// critical icon; every other failure is critical and gives its reason.
FailureText failureBox(const std::exception &e, const QString &title = {}, const QString &unchosen = {});
// The box an import titled `title` ends with: its report, critical when anything was refused,
// unread or failed.
FailureText importBox(const exchange::ImportReport &report, const QString &title);
// Shows failureBox(e, title, unchosen).
void showFailure(platform::Dialogs &dialogs, const std::exception &e, const QString &title = {},
                 const QString &unchosen = {});

}  // namespace mainform
