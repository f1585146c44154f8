#include "ui/main/file_commands.h"

#include "core/backups.h"
#include "core/collection.h"
#include "core/recipe_error.h"
#include "platform/dialogs.h"
#include "store/RecipeBas.h"
#include "ui/main/box_prompt.h"
#include "ui/main/failure_text.h"
#include "ui/main/find_bar.h"

#include <QDir>
#include <QFileInfo>

namespace mainform {

namespace {

const QString kBackupTitle = QStringLiteral("Back up");
const QString kRestoreTitle = QStringLiteral("Restore from a backup");
const QString kPasswordTitle = QStringLiteral("Change password");

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

}  // namespace

FileCommands::FileCommands(platform::Dialogs &dialogs, RecipeBas &store, FindBar &findBar)
    : dialogs_(dialogs), store_(store), findBar_(findBar)
{
}

QString FileCommands::file() const { return store_.session().file(); }

void FileCommands::backUpNow()
{
    try {
        const QString made = store_.session().backUp();
        dialogs_.MsgBox(QStringLiteral("Your recipes are backed up in %1. The newest %2 backups in that folder are kept.")
                            .arg(shown(made), QString::number(recipes::Backups::kKept)),
                        platform::vbOKOnly, kBackupTitle);
    } catch (const recipes::Error &e) {
        showFailure(dialogs_, e, kBackupTitle);
    }
}

void FileCommands::restore()
{
    const QStringList chosen = dialogs_.GetOpenFileNames(kRestoreTitle, QStringLiteral("Recipe backups (*.mdb)"),
                                                         recipes::Backups::folderFor(file()));
    if (chosen.isEmpty())
        return;
    const QString backup = chosen.front();
    const int answer = dialogs_.MsgBox(
        QStringLiteral("Replace all your recipes with those in the backup %1?\n\nYour recipes as they are now are "
                       "backed up first.")
            .arg(QFileInfo(backup).fileName()),
        platform::vbYesNo | platform::vbDefaultButton2, kRestoreTitle);
    if (answer != platform::vbYes)
        return;
    // Nothing may hold the file while it is replaced; the search starts afresh on the new one.
    findBar_.restart();
    store_.CloseStore();
    QString message;
    int flags = platform::vbOKOnly;
    try {
        const QString saved = restoreFrom(backup);
        message = QStringLiteral("Your recipes are restored from %1. Those you had before are in the backup %2.")
                      .arg(QFileInfo(backup).fileName(), shown(saved));
    } catch (const recipes::Error &e) {
        message = failureReason(e);
        flags = platform::vbCritical;
    }
    try {
        store_.FillCatalogue();
    } catch (const std::exception &e) {
        // Said after the restore's own outcome, in the same box.
        message += u'\n' + failureReason(e);
        flags = platform::vbCritical;
    }
    dialogs_.MsgBox(message, flags, kRestoreTitle);
}

QString FileCommands::restoreFrom(const QString &backup)
{
    // A backup made before a password change opens only with the password it was made under.
    const QString name = QFileInfo(backup).fileName();
    BoxPrompt prompt(
        dialogs_, kRestoreTitle,
        [name](int attempt, int tries) {
            return attempt == 1
                ? QStringLiteral("The backup %1 was made under another password. Type that password:").arg(name)
                : QStringLiteral("That password does not open the backup %1 either. Try again (%2 of %3):")
                      .arg(name)
                      .arg(attempt)
                      .arg(tries);
        },
        QStringLiteral("No password was given for the backup %1, so nothing was restored.").arg(name));
    return store_.session().restore(backup, &prompt);
}

void FileCommands::changePassword()
{
    const QString current = dialogs_.PasswordBox(QStringLiteral("Type the password the file has now:"), kPasswordTitle);
    if (current.isEmpty())
        return;
    const QString fresh = dialogs_.PasswordBox(QStringLiteral("Type the new password:"), kPasswordTitle);
    if (fresh.isEmpty())
        return;
    const QString again = dialogs_.PasswordBox(QStringLiteral("Type the new password again:"), kPasswordTitle);
    if (again.isEmpty())
        return;
    if (fresh != again) {
        dialogs_.MsgBox(QStringLiteral("The two new passwords differ, so the password was not changed."),
                        platform::vbCritical, kPasswordTitle);
        return;
    }
    findBar_.restart();
    store_.CloseStore();
    try {
        store_.session().changePassword(current, fresh);
        dialogs_.MsgBox(QStringLiteral("The password is changed. Keep it safe: without it, nobody can open your "
                                       "recipes, you included. Backups made before keep the old password."),
                        platform::vbOKOnly, kPasswordTitle);
    } catch (const recipes::Error &e) {
        if (e.kind() == recipes::Error::Kind::WrongPassword)
            dialogs_.MsgBox(QStringLiteral("That is not the file's password, so the password was not changed."),
                            platform::vbCritical, kPasswordTitle);
        else
            showFailure(dialogs_, e, kPasswordTitle);
    }
}

}  // namespace mainform
