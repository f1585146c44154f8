#pragma once
// The main window `main`: the catalogue tree, the four recipe fields, the command buttons and
// the mode buttons. It keeps no data of its own but its mode (window_mode.h), which the mode
// buttons and the boxes' lock show: the store writes into its controls, and the selection strings
// live in the store.

#include "platform/text_box.h"
#include "platform/tree.h"
#include "ui/main/window_mode.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class main;
}
namespace platform {
class Dialogs;
class Shell;
class SingleInstance;
}  // namespace platform
namespace printdoc {
class PrintCommand;
}  // namespace printdoc
class RecipeBas;

class QMenu;

namespace mainform {

class CookingCommands;
class ExchangeCommands;
class FileCommands;
class FindBar;
class OpenCommands;
class UndoCommands;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // The web site the Website button opens.
    static const QString kWebsiteAddress;

    // programFolder holds Recipe.mdb, help.htm and the print files. recipeFile: the recipe file to
    // open, with its extension; empty: Recipe.mdb in programFolder. The dialogs and the shell
    // outlive the window.
    MainWindow(platform::Dialogs &dialogs, platform::Shell &shell, const QString &programFolder,
               const QString &recipeFile = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    RecipeBas &store() const { return *store_; }
    printdoc::PrintCommand &printCommand() const { return *print_; }
    // The help page, when it is not help.htm in the program folder (an installed program keeps
    // it with its other shared files).
    void setHelpFile(const QString &path) { helpFile_ = path; }
    FindBar &findBar() const { return *findBar_; }
    ExchangeCommands &exchangeCommands() const { return *exchange_; }
    CookingCommands &cookingCommands() const { return *cooking_; }
    OpenCommands &openCommands() const { return *open_; }
    // What the window is doing; the mode buttons and the boxes' lock show it.
    WindowState state() const { return state_; }

    // The recipe file the window works on, with its extension.
    QString recipeFile() const;
    // Lets go of the file in hand (its search, any recipe being added or edited, the choices) and
    // opens file in its place, asking for its own password if it has one; a file that does not
    // open leaves the tree empty and says why. The claim on the file is the caller's.
    void openRecipeFile(const QString &file);
    // Holds the claim on the window's file: see OpenCommands::keepClaim.
    void keepClaim(std::unique_ptr<platform::SingleInstance> claim);

    // Handlers, one per control event.
    void Tv_NodeClick(platform::Node node);
    void add_Click();
    void Save_Click();
    void Cancel_Click();
    void Edit_Click();
    void saveedited_Click();
    void canceledit_Click();
    void delete_Click();
    void xpcmdbutton1_Click();
    void delcatagroy_Click();
    void cancelcata_Click();
    void xpcmdbutton2_Click();
    void print_Click();
    void help_Click();
    void Website_Click();
    void xptopbuttons1_Click();
    void xptopbuttons3_Click();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // On activation: shows what other programs wrote to the file since the tree was filled.
    // Never while a recipe is being added or edited or a category chosen; the next activation
    // checks again.
    void catchUpWithFile();
    void refillKeepingPlace();
    void Form_Load();
    // The file is open and its tree filled: it goes first in the recent files, and this run's
    // backup of it starts in the background.
    void opened();
    // Asks for the file's own password, three tries at most; true once the tree is filled.
    bool openWithPassword();
    void Form_QueryUnload();
    void wireControls();
    void clearFields();
    // Shows the state: the mode's buttons, the boxes locked or not.
    void enter(WindowState state);
    // The mode a command that leaves it for another keeps while it has not got there: only
    // `target` itself stays.
    WindowMode keptOnTheWayTo(WindowMode target) const;
    // Runs a handler's store call; a failure is shown (failure_text.h) and ends the handler
    // (returns false).
    // When the call fails because a category it names is not in the file (chosen before it
    // was deleted, or never chosen), `unchosen` is shown instead of the engine's text, if given,
    // and `afterUnchosen` then runs, to forget the vanished choice.
    template <typename Call>
    bool storeCall(Call &&call, const QString &unchosen = {}, const std::function<void()> &afterUnchosen = {});
    // Refuses a recipe with no name, which the tree could not show; true when refused.
    bool refuseNamelessRecipe();

    std::unique_ptr<Ui::main> ui_;
    platform::Dialogs &dialogs_;
    platform::Shell &shell_;
    QString programFolder_;
    QString helpFile_;
    platform::ImageList imageList1_;
    std::unique_ptr<platform::Tree> tv_;
    std::unique_ptr<platform::TextBox> text1_, text2_, text3_, text4_;
    std::unique_ptr<RecipeBas> store_;
    std::unique_ptr<printdoc::PrintCommand> print_;
    std::unique_ptr<FindBar> findBar_;
    std::unique_ptr<ExchangeCommands> exchange_;
    std::unique_ptr<FileCommands> file_;
    std::unique_ptr<OpenCommands> open_;
    std::unique_ptr<UndoCommands> undo_;
    std::unique_ptr<CookingCommands> cooking_;  // after print_: goes first, with the boxes that print through it
    QString recipeFile_;  // empty: Recipe.mdb in the program folder
    QMenu *treeMenu_ = nullptr;
    QMenu *recentMenu_ = nullptr;
    WindowState state_;
    QString menuCategory_;  // the category the tree's menu was opened on; empty: the root
    QString menuRecipe_;    // the recipe it was opened on, in the category menuRecipeCategory_
    QString menuRecipeCategory_;
    bool unloaded_ = false;
};

}  // namespace mainform
