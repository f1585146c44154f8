#pragma once
// Undo and redo of this run's changes to the window's recipe file: Ctrl+Z and Ctrl+Shift+Z, and
// "Undo ..." / "Redo ..." on the tree root's menu, naming the change. The steps are kept per
// open file (see recipes::ChangeHistory) and forgotten when another file is opened.
//
// Nothing is offered while the window is busy (a recipe being added or edited, a category being
// chosen): the boxes and the tree are in a state of their own then, and Ctrl+Z belongs to the
// box being typed in.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;
class RecipeBas;

namespace platform {
class Dialogs;
}
namespace recipes {
class ChangeHistory;
}

namespace mainform {

class UndoCommands : public QObject {
    Q_OBJECT
public:
    // busy: whether the window is busy now; refill: shows the file anew after a step.
    UndoCommands(platform::Dialogs &dialogs, RecipeBas &store, QWidget &window, std::function<bool()> busy,
                 std::function<void()> refill);
    ~UndoCommands() override;

    // Adds the two entries, hidden, at the end of the tree's menu.
    void addTo(QMenu &menu);
    // Before the menu shows: the entries appear on the root only, when there is a step to name.
    void prepareMenu(bool root);

    // The store's file is open: its steps are kept from now on.
    void fileOpened();
    // The file is let go of: its steps are forgotten.
    void forget();

    void undo();
    void redo();

private:
    void step(bool forward);

    platform::Dialogs &dialogs_;
    RecipeBas &store_;
    std::function<bool()> busy_;
    std::function<void()> refill_;
    std::unique_ptr<recipes::ChangeHistory> history_;
    QAction *separator_ = nullptr;
    QAction *undoAction_ = nullptr;
    QAction *redoAction_ = nullptr;
};

}  // namespace mainform
