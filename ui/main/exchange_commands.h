#pragma once
// The tree's "Import recipes..." and "Export..." commands: files in and out of the open recipe
// file, with a progress box for long work and the same report as the command line gives.

#include <QString>

class QWidget;
class RecipeBas;

namespace platform {
class Dialogs;
}

namespace mainform {

class ExchangeCommands {
public:
    ExchangeCommands(platform::Dialogs &dialogs, RecipeBas &store);

    // category: the category the menu was opened on, whose recipes the command works on (an
    // import puts every recipe there); empty for the root: the whole collection.
    void importFiles(const QString &category);
    void importFolder(const QString &category);
    void exportRecipes(const QString &category);

private:
    void importPaths(const QStringList &paths, const QString &category);

    platform::Dialogs &dialogs_;
    RecipeBas &store_;
};

}  // namespace mainform
