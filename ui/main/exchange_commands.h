#pragma once
// The tree's "Import recipes...", "Import from a link..." and "Export..." commands: files and
// linked pages in, files out of the open recipe file, with a progress box for long work (Cancel
// stops a page being fetched too) and the same report as the command line gives.

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
    // Asks for the link of a recipe page; an empty answer or Cancel does nothing.
    void importLink(const QString &category);
    void exportRecipes(const QString &category);

    // Imports files, folders and http(s) links given otherwise (pasted, dropped), then refills
    // the tree and shows the report.
    void importPaths(const QStringList &paths, const QString &category);

    platform::Dialogs &dialogs_;
    RecipeBas &store_;
};

}  // namespace mainform
