#pragma once
// The tree's commands on the recipe file itself: a backup on demand, a restore from a backup, and
// a password of one's own.

#include <QString>

class RecipeBas;

namespace platform {
class Dialogs;
}

namespace mainform {

class FindBar;

class FileCommands {
public:
    FileCommands(platform::Dialogs &dialogs, RecipeBas &store, FindBar &findBar);

    void backUpNow();
    void restore();
    void changePassword();

private:
    QString file() const;
    QString restoreFrom(const QString &backup);

    platform::Dialogs &dialogs_;
    RecipeBas &store_;
    FindBar &findBar_;
};

}  // namespace mainform
