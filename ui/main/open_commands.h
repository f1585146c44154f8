#pragma once
// The tree's commands that change which recipe file the window works on: another file chosen in a
// file box, or one of the recent files. The window holds the claim on its file (one window per
// file): a file another window holds brings that window forward instead, and any other file opens
// in this window, which lets go of the one it had.

#include "ui/main/recent_files.h"

#include <QString>

#include <memory>

class QMenu;

namespace platform {
class Dialogs;
class SingleInstance;
}  // namespace platform

namespace mainform {

class MainWindow;

class OpenCommands {
public:
    // The dialogs and the window outlive the commands.
    OpenCommands(platform::Dialogs &dialogs, MainWindow &window);
    ~OpenCommands();
    OpenCommands(const OpenCommands &) = delete;
    OpenCommands &operator=(const OpenCommands &) = delete;

    // Holds the claim on the window's file until another file is opened; a second start on the
    // file brings the window forward.
    void keepClaim(std::unique_ptr<platform::SingleInstance> claim);
    // The window has opened the file: it goes first in the recent files.
    void opened(const QString &file);

    void chooseFile();
    void openRecent(const QString &file);
    // Puts the recent files into menu, most recent first, each opening its file.
    void fillRecentMenu(QMenu &menu);

    RecentFiles &recentFiles() { return recent_; }

private:
    // fromList: the name came from the recent files, which drop it when it cannot be opened.
    void open(const QString &given, bool fromList);
    void report(const QString &settingsFailure);

    platform::Dialogs &dialogs_;
    MainWindow &window_;
    RecentFiles recent_;
    std::unique_ptr<platform::SingleInstance> claim_;
    bool settingsReported_ = false;
};

}  // namespace mainform
