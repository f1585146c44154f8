#include "ui/main/main_window.h"

#include "core/category_schema.h"
#include "core/recipe_error.h"
#include "engine/refusals.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/single_instance.h"
#include "store/RecipeBas.h"
#include "ui/main/box_prompt.h"
#include "ui/main/cooking_commands.h"
#include "ui/main/exchange_commands.h"
#include "ui/main/link_drop.h"
#include "ui/main/failure_text.h"
#include "ui/main/field_fit.h"
#include "ui/main/file_commands.h"
#include "ui/main/find_bar.h"
#include "ui/main/main_keys.h"
#include "ui/main/open_commands.h"
#include "ui/main/undo_commands.h"
#include "ui/print/print_command.h"
#include "ui/skin/outline_faces.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"
#include "ui_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QMenu>
#include <QScrollBar>
#include <QSet>
#include <QShortcut>
#include <QTimer>
#include "platform/tree_view.h"
#include <QUrl>

namespace mainform {

namespace {

// The tree's 16 x 16 image `name` for a screen of pixel ratio `ratio`, with that ratio set: the
// icon finds the name@2x / name@3x file itself (by Qt's rule, 1.5 takes @2x, scaled down
// smoothly). The very 1x picture at ratio 1.
QPixmap treeImage(QLatin1String name, qreal ratio)
{
    const QString path = QStringLiteral(":/main/%1.png").arg(name);
    if (ratio == 1.0)
        return QPixmap(path);
    return QIcon(path).pixmap(QSize(16, 16), ratio);
}

}  // namespace

const QString MainWindow::kWebsiteAddress = QStringLiteral("https://www.example.org/saporium/");

MainWindow::MainWindow(platform::Dialogs &dialogs, platform::Shell &shell, const QString &programFolder,
                       const QString &recipeFile, QWidget *parent)
    : QWidget(parent), ui_(std::make_unique<Ui::main>()), dialogs_(dialogs), shell_(shell),
      programFolder_(programFolder), recipeFile_(recipeFile)
{
    // The painted frame is the window's title bar and border.
    setWindowFlag(Qt::FramelessWindowHint);
    ui_->setupUi(this);
    // "delete" cannot name a C++ member, so the form calls the button delete_.
    ui_->delete_->setObjectName(QStringLiteral("delete"));
    setFixedSize(size());
    // Each file brings its @2x or @3x variant along for a dense screen, by Qt's own rule.
    QIcon icon;
    icon.addFile(QStringLiteral(":/main/saporium16.png"));
    icon.addFile(QStringLiteral(":/main/saporium32.png"));
    setWindowIcon(icon);

    QFont treeFont(QStringLiteral("MS Sans Serif"));
    treeFont.setPointSizeF(8.25);
    treeFont.setBold(true);
    ui_->Tv->setFont(treeFont);
    for (QWidget *box : {static_cast<QWidget *>(ui_->Text1), static_cast<QWidget *>(ui_->Text2),
                         static_cast<QWidget *>(ui_->Text3), static_cast<QWidget *>(ui_->Text4)}) {
        // Locked boxes keep the white background of editable ones.
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, Qt::white);
        box->setPalette(palette);
    }
    skin::followPixelRatio(this);
    fitFieldsToFonts(*ui_);

    for (const char *name : {"root", "category", "selected", "recipe"})
        imageList1_.push_back(treeImage(QLatin1String(name), devicePixelRatioF()));
    tv_ = std::make_unique<platform::Tree>(ui_->Tv);
    text1_ = std::make_unique<platform::TextBox>(ui_->Text1);
    text2_ = std::make_unique<platform::TextBox>(ui_->Text2);
    text3_ = std::make_unique<platform::TextBox>(ui_->Text3);
    text4_ = std::make_unique<platform::TextBox>(ui_->Text4);
    store_ = std::make_unique<RecipeBas>(
        RecipeControls{*tv_, imageList1_, *text1_, *text2_, *text3_, *text4_}, dialogs_);
    print_ = std::make_unique<printdoc::PrintCommand>(dialogs_, programFolder_, this);
    exchange_ = std::make_unique<ExchangeCommands>(dialogs_, *store_);
    cooking_ = std::make_unique<CookingCommands>(dialogs_, *store_, *print_, *this);
    findBar_ = std::make_unique<FindBar>(
        FindBar::Controls{ui_->FindBar, ui_->Find, ui_->FindCount, ui_->closefind, ui_->Tv}, *store_);
    store_->AfterFill = [this](bool full) { findBar_->treeFilled(full); };
    file_ = std::make_unique<FileCommands>(dialogs_, *store_, *findBar_);
    open_ = std::make_unique<OpenCommands>(dialogs_, *this);
    undo_ = std::make_unique<UndoCommands>(
        dialogs_, *store_, *this,
        [this] { return state_.mode != WindowMode::Browsing; },
        [this] { refillKeepingPlace(); });

    wireControls();
    Form_Load();
}

MainWindow::~MainWindow()
{
    if (!unloaded_) {
        store_->session().endOfUse();
        store_->CloseStore();
    }
}

void MainWindow::wireControls()
{
    wireKeys(*this, *ui_);
    auto *find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, findBar_.get(), &FindBar::Show);
    treeMenu_ = new QMenu(this);
    treeMenu_->setObjectName(QStringLiteral("TreeMenu"));
    treeMenu_->addAction(QStringLiteral("Find..."), findBar_.get(), &FindBar::Show);
    // On a recipe, its own; the list on the root.
    QAction *cookingSeparator = treeMenu_->addSeparator();
    QAction *scale = treeMenu_->addAction(QStringLiteral("Scale..."), this,
                                          [this] { cooking_->scale(menuRecipeCategory_, menuRecipe_); });
    QAction *addToList = treeMenu_->addAction(QStringLiteral("Add to shopping list"), this,
                                              [this] { cooking_->addToList(menuRecipeCategory_, menuRecipe_); });
    QAction *shoppingList = treeMenu_->addAction(QStringLiteral("Shopping list..."), this,
                                                 [this] { cooking_->showList(); });
    // On the root they work on the whole collection, on a category on that category alone.
    QAction *separator = treeMenu_->addSeparator();
    QAction *importFiles = treeMenu_->addAction(QStringLiteral("Import recipes..."), this,
                                                [this] { exchange_->importFiles(menuCategory_); });
    QAction *importFolder = treeMenu_->addAction(QStringLiteral("Import a folder..."), this,
                                                 [this] { exchange_->importFolder(menuCategory_); });
    QAction *importLink = treeMenu_->addAction(QStringLiteral("Import from a link..."), this,
                                               [this] { exchange_->importLink(menuCategory_); });
    QAction *exportRecipes = treeMenu_->addAction(QStringLiteral("Export..."), this,
                                                  [this] { exchange_->exportRecipes(menuCategory_); });
    // On the root only: they work on the file as a whole.
    QAction *fileSeparator = treeMenu_->addSeparator();
    QAction *backUp = treeMenu_->addAction(QStringLiteral("Back up now..."), this, [this] { file_->backUpNow(); });
    QAction *restore = treeMenu_->addAction(QStringLiteral("Restore from a backup..."), this, [this] { file_->restore(); });
    QAction *password = treeMenu_->addAction(QStringLiteral("Change password..."), this, [this] { file_->changePassword(); });
    QAction *openSeparator = treeMenu_->addSeparator();
    QAction *openOther = treeMenu_->addAction(QStringLiteral("Open another recipe file..."), this,
                                              [this] { open_->chooseFile(); });
    recentMenu_ = treeMenu_->addMenu(QStringLiteral("Recent files"));
    recentMenu_->setObjectName(QStringLiteral("RecentFilesMenu"));
    undo_->addTo(*treeMenu_);
    QAction *recent = recentMenu_->menuAction();
    ui_->Tv->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->Tv, &QWidget::customContextMenuRequested, this,
            [this, separator, importFiles, importFolder, importLink, exportRecipes, fileSeparator, backUp, restore, password,
             openSeparator, openOther, recent, cookingSeparator, scale, addToList, shoppingList](const QPoint &at) {
                const platform::Node node = tv_->NodeAt(at);
                const bool root = !node.isNull() && node.key() == RecipeBas::kRootKey;
                const bool category = !node.isNull() && !root && !node.parent().isNull()
                    && node.parent().key() == RecipeBas::kRootKey;
                const bool recipe = !node.isNull() && !node.parent().isNull() && !node.parent().parent().isNull()
                    && node.parent().parent().key() == RecipeBas::kRootKey;
                menuCategory_ = category ? node.key() : QString();
                // As a click on the node names it: a category's key is its name, a recipe's text trimmed.
                menuRecipeCategory_ = recipe ? node.parent().key() : QString();
                menuRecipe_ = recipe ? recipes::schema::trimBlanks(node.text()) : QString();
                cookingSeparator->setVisible(root || recipe);
                scale->setVisible(recipe);
                addToList->setVisible(recipe);
                shoppingList->setVisible(root);
                for (QAction *action : {separator, importFiles, importFolder, importLink, exportRecipes})
                    action->setVisible(root || category);
                for (QAction *action : {fileSeparator, backUp, restore, password, openSeparator, openOther, recent})
                    action->setVisible(root);
                if (root)
                    open_->fillRecentMenu(*recentMenu_);
                undo_->prepareMenu(root);
                treeMenu_->popup(ui_->Tv->viewport()->mapToGlobal(at));
            });
    new LinkDrop(*tv_, *exchange_, [this] { return state_.mode != WindowMode::Browsing; }, this);
    connect(tv_.get(), &platform::Tree::NodeClick, this, &MainWindow::Tv_NodeClick);
    const std::pair<xpcmdbutton *, void (MainWindow::*)()> buttons[] = {
        {ui_->add, &MainWindow::add_Click},
        {ui_->Save, &MainWindow::Save_Click},
        {ui_->Cancel, &MainWindow::Cancel_Click},
        {ui_->Edit, &MainWindow::Edit_Click},
        {ui_->saveedited, &MainWindow::saveedited_Click},
        {ui_->canceledit, &MainWindow::canceledit_Click},
        {ui_->delete_, &MainWindow::delete_Click},
        {ui_->xpcmdbutton1, &MainWindow::xpcmdbutton1_Click},
        {ui_->delcatagroy, &MainWindow::delcatagroy_Click},
        {ui_->cancelcata, &MainWindow::cancelcata_Click},
        {ui_->xpcmdbutton2, &MainWindow::xpcmdbutton2_Click},
        {ui_->print, &MainWindow::print_Click},
        {ui_->help, &MainWindow::help_Click},
        {ui_->Website, &MainWindow::Website_Click},
    };
    for (const auto &[button, handler] : buttons)
        connect(button, &xpcmdbutton::Click, this, handler);
    connect(ui_->xptopbuttons1, &xptopbuttons::Click, this, &MainWindow::xptopbuttons1_Click);
    connect(ui_->xptopbuttons3, &xptopbuttons::Click, this, &MainWindow::xptopbuttons3_Click);
}

QString MainWindow::recipeFile() const
{
    return recipeFile_.isEmpty() ? programFolder_ + QStringLiteral("/Recipe.mdb") : recipeFile_;
}

void MainWindow::keepClaim(std::unique_ptr<platform::SingleInstance> claim) { open_->keepClaim(std::move(claim)); }

void MainWindow::opened()
{
    open_->opened(recipeFile());
    undo_->fileOpened();
    // Made while the user looks, so that the first change waits for little or nothing of it.
    store_->session().startBackup();
}

void MainWindow::openRecipeFile(const QString &file)
{
    store_->session().endOfUse();
    undo_->forget();
    cooking_->forget();
    findBar_->restart();
    store_->CloseStore();
    store_->SelRecipe.clear();
    store_->SelRecipeCategory.clear();
    store_->SelCategory.clear();
    store_->NewCategory.clear();
    enter({WindowMode::Browsing, true});
    clearFields();
    // A file that does not open must not leave the other file's recipes on show.
    tv_->Clear();
    recipeFile_ = file;
    Form_Load();
}

void MainWindow::Form_Load()
{
    // The default file keeps the name it always had, without its extension.
    store_->session().switchTo(recipeFile_.isEmpty() ? programFolder_ + QStringLiteral("/Recipe") : recipeFile_);
    try {
        store_->FillCatalogue();
        opened();
    } catch (const std::exception &e) {
        // The window opens all the same; the user is told once why the recipes are missing,
        // after the window has appeared.
        const FailureText box = failureBox(e);
        const bool askPassword = failureKind(e) == recipes::Error::Kind::WrongPassword;
        QTimer::singleShot(0, this, [this, box, askPassword] {
            if (!askPassword || !openWithPassword())
                dialogs_.MsgBox(box.text, box.flags, box.title);
        });
    }
}

bool MainWindow::openWithPassword()
{
    BoxPrompt prompt(dialogs_, QStringLiteral("Password"), [](int attempt, int tries) {
        return attempt == 1 ? QStringLiteral("Your recipe file has a password of its own. Type it to open the file:")
                            : QStringLiteral("That password does not open the file. Try again (%1 of %2):")
                                  .arg(QString::number(attempt), QString::number(tries));
    });
    try {
        store_->session().unlock(prompt, [this] { store_->FillCatalogue(); });
    } catch (const std::exception &) {
        // Declined or refused: the caller shows the failure that asked for the password.
        return false;
    }
    opened();
    return true;
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        catchUpWithFile();
    // The boxes show the desktop's font, and the labels' faces follow the screen's pixel ratio.
    if (event->type() == QEvent::ApplicationFontChange || event->type() == QEvent::ScreenChangeInternal)
        fitFieldsToFonts(*ui_);
    return QWidget::event(event);
}

void MainWindow::catchUpWithFile()
{
    // Adding or editing a recipe or choosing a category has the tree and the boxes in a state of
    // its own; a modal box belongs to a handler still running.
    const bool busy = state_.mode != WindowMode::Browsing || QApplication::activeModalWidget() != nullptr;
    if (unloaded_ || busy || !store_->ChangedElsewhere())
        return;
    refillKeepingPlace();
}

void MainWindow::refillKeepingPlace()
{
    // Where the user was: the nodes opened and the node chosen, by key, or for a recipe by its
    // category's key and its text, which is all that survives a rebuild.
    QSet<QString> opened;
    for (int top = 0; top < tv_->TopCount(); ++top) {
        const platform::Node root = tv_->Top(top);
        if (tv_->IsExpanded(root))
            opened.insert(root.key());
        for (int row = 0; row < root.childCount(); ++row)
            if (tv_->IsExpanded(root.child(row)))
                opened.insert(root.child(row).key());
    }
    QString currentKey, currentRecipe;
    bool onRecipe = false;
    if (const platform::Node current = tv_->Current(); !current.isNull()) {
        onRecipe = !current.parent().parent().isNull();
        currentKey = (onRecipe ? current.parent() : current).key();
        if (onRecipe)
            currentRecipe = current.text();
    }
    const int scrolled = ui_->Tv->verticalScrollBar()->value();

    try {
        store_->FillCatalogue();
    } catch (const std::exception &) {
        // Not worth a box on every activation; the next command that reads the file says why.
        return;
    }

    const auto restore = [this, &opened](const platform::Node &node) {
        if (!node.index.model()->hasChildren(node.index))
            return;
        if (opened.contains(node.key()))
            tv_->Expand(node);
        else
            ui_->Tv->collapse(node.index);
    };
    for (int top = 0; top < tv_->TopCount(); ++top) {
        const platform::Node root = tv_->Top(top);
        restore(root);
        for (int row = 0; row < root.childCount(); ++row)
            restore(root.child(row));
    }
    platform::Node current = currentKey.isEmpty() ? platform::Node{} : tv_->nodeByKey(currentKey);
    if (!current.isNull() && onRecipe) {
        const platform::Node category = current;
        current = {};
        for (int i = 0; i < category.childCount() && current.isNull(); ++i)
            if (category.child(i).text() == currentRecipe)
                current = category.child(i);
    }
    if (!current.isNull())
        tv_->SetCurrent(current);
    ui_->Tv->verticalScrollBar()->setValue(scrolled);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload();
    event->accept();
}

void MainWindow::Form_QueryUnload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    store_->session().endOfUse();
    store_->CloseStore();
    store_->session().switchTo({});
    store_->SelRecipe.clear();
    store_->SelRecipeCategory.clear();
    store_->SelCategory.clear();
    store_->NewCategory.clear();
    // The program ends with its main window: the preview goes too.
    QApplication::closeAllWindows();
    QApplication::quit();
}

template <typename Call>
bool MainWindow::storeCall(Call &&call, const QString &unchosen, const std::function<void()> &afterUnchosen)
{
    try {
        call();
        return true;
    } catch (const std::exception &e) {
        const bool stale = failureKind(e) == recipes::Error::Kind::NoSuchCategory
            && (!unchosen.isEmpty() || afterUnchosen);
        if (!stale || !unchosen.isEmpty())
            showFailure(dialogs_, e, {}, unchosen);
        if (stale && afterUnchosen)
            afterUnchosen();
        return false;
    }
}

bool MainWindow::refuseNamelessRecipe()
{
    if (!recipes::schema::trimBlanks(text1_->Text()).isEmpty())
        return false;
    dialogs_.MsgBox(QStringLiteral("The recipe has no name. Type its name in the Recipe Name box, then save it "
                                   "again."),
                    platform::vbCritical);
    return true;
}

void MainWindow::clearFields()
{
    for (platform::TextBox *box : {text1_.get(), text2_.get(), text3_.get(), text4_.get()})
        box->SetText(QString());
}

void MainWindow::enter(WindowState state)
{
    state_ = state;
    const ModeButtons shown = modeButtons(state.mode);
    const std::pair<QWidget *, bool> buttons[] = {
        {ui_->Save, shown.save},
        {ui_->Cancel, shown.cancel},
        {ui_->saveedited, shown.saveEdited},
        {ui_->canceledit, shown.cancelEdit},
        {ui_->delcatagroy, shown.deleteCategory},
        {ui_->cancelcata, shown.cancelCategory},
    };
    for (const auto &[button, visible] : buttons)
        button->setVisible(visible);
    for (platform::TextBox *box : {text1_.get(), text2_.get(), text3_.get(), text4_.get()})
        box->SetLocked(state.boxesLocked);
}

WindowMode MainWindow::keptOnTheWayTo(WindowMode target) const
{
    return state_.mode == target ? target : WindowMode::Browsing;
}

void MainWindow::Tv_NodeClick(platform::Node node)
{
    // Nodes are told apart by their place in the tree: a recipe may have any name, the empty
    // one or a category's included, and a category's text may differ from its name (control
    // characters are shown as symbols). A category's key is its name exactly as the file
    // spells it, trailing blanks included, so it is never trimmed.
    const platform::Node parent = node.parent();
    if (parent.isNull())
        return;  // the root
    if (parent.parent().isNull()) {
        if (node.key() != RecipeBas::kNothingCategory)
            store_->SelCategory = node.key();
        return;
    }
    store_->SelRecipeCategory.clear();
    store_->SelRecipe.clear();
    store_->SelRecipe = recipes::schema::trimBlanks(node.text());
    store_->SelRecipeCategory = parent.key();
    storeCall([this] { store_->ShowRecipe(store_->SelRecipeCategory, store_->SelRecipe); },
              QStringLiteral("Please Choose a Recipe"), [this] {
                  // The category went away behind the tree's back: show the file as it is now.
                  store_->SelRecipeCategory.clear();
                  store_->SelRecipe.clear();
                  storeCall([this] { store_->FillCatalogue(); });
              });
    // The store locks the boxes when the recipe is no longer there.
    state_.boxesLocked = text1_->Locked();
}

void MainWindow::add_Click()
{
    // Editing or choosing a category ends at once; adding starts once the categories show.
    enter({keptOnTheWayTo(WindowMode::Adding), state_.boxesLocked});
    clearFields();
    if (!storeCall([this] { store_->FillCategories(); }))
        return;
    enter({WindowMode::Adding, false});
    text1_->SetFocus();
}

void MainWindow::Save_Click()
{
    if (store_->SelCategory.isEmpty()) {
        dialogs_.MsgBox(QStringLiteral("Please Choose a Category"));
        return;
    }
    if (refuseNamelessRecipe())
        return;
    const QString question = QStringLiteral("The Category is: ") + store_->SelCategory.toUpper()
        + QStringLiteral("\r\nIs This Category Right ?\r\n")
        + QStringLiteral("If Not Right Choose [ No ] and then choose the Right Category");
    if (dialogs_.MsgBox(question, platform::vbYesNo | platform::vbCritical | platform::vbDefaultButton2,
                        QStringLiteral("Choose Category"))
        != platform::vbYes)
        return;
    // A category deleted since it was chosen is chosen no more.
    if (!storeCall([this] { store_->AddRecipe(store_->SelCategory); }, QStringLiteral("Please Choose a Category"),
                   [this] { store_->SelCategory.clear(); }))
        return;
    dialogs_.MsgBox(QStringLiteral("Recipe Added"));
    store_->SelCategory.clear();
    clearFields();
    enter({WindowMode::Browsing, true});
    storeCall([this] { store_->ShowCatalogue(); });
}

void MainWindow::Cancel_Click()
{
    enter({WindowMode::Browsing, true});
    store_->SelCategory.clear();
    clearFields();
    storeCall([this] { store_->FillCatalogue(); });
}

void MainWindow::Edit_Click()
{
    // Adding or choosing a category ends even when there is nothing to edit; the boxes stay as
    // they are then, unlocked after adding.
    if (text1_->Text().isEmpty()) {
        enter({keptOnTheWayTo(WindowMode::Editing), state_.boxesLocked});
        dialogs_.MsgBox(QStringLiteral("Please Choose a Recipe To Edit"));
        return;
    }
    enter({WindowMode::Editing, false});
    text1_->SetFocus();
}

void MainWindow::saveedited_Click()
{
    if (store_->SelRecipe.isEmpty() || store_->SelRecipeCategory.isEmpty())
        return;
    if (refuseNamelessRecipe())
        return;
    // A vanished category is a vanished recipe; any other refusal is shown as it is. Either way
    // the edited text stays in the boxes and editing goes on.
    RecipeBas::Outcome result = RecipeBas::Outcome::NotFound;
    bool vanished = false;
    if (!storeCall([&] { result = store_->UpdateRecipe(store_->SelRecipeCategory, store_->SelRecipe); }, {},
                   [&] { vanished = true; })
        && !vanished)
        return;
    if (result == RecipeBas::Outcome::NotFound) {
        dialogs_.MsgBox(QStringLiteral("The recipe %1 is no longer in the category %2, so nothing was "
                                       "updated. Your changes are still in the boxes.")
                            .arg(dao::refusals::quotedName(store_->SelRecipe),
                                 dao::refusals::quotedName(store_->SelRecipeCategory)),
                        platform::vbCritical);
        return;
    }
    store_->SelRecipeCategory.clear();
    store_->SelRecipe.clear();
    enter({WindowMode::Browsing, true});
}

void MainWindow::canceledit_Click()
{
    enter({WindowMode::Browsing, true});
    store_->SelRecipeCategory.clear();
}

void MainWindow::delete_Click()
{
    // Only the recipe the boxes show may go: after ADD and typing, the last clicked recipe is
    // not what the user is looking at.
    const QString unchosen = QStringLiteral("Please Choose a Recipe To Delete");
    if (text1_->Text().isEmpty() || store_->SelRecipeCategory.isEmpty()
        || recipes::schema::trimBlanks(text1_->Text()) != store_->SelRecipe) {
        dialogs_.MsgBox(unchosen);
        return;
    }
    // A refusal leaves the recipe, the boxes and the tree as they were.
    RecipeBas::Outcome result = RecipeBas::Outcome::NotFound;
    QString failure;
    try {
        result = store_->DeleteRecipe(store_->SelRecipeCategory, store_->SelRecipe);
    } catch (const std::exception &e) {
        if (failureKind(e) == recipes::Error::Kind::NoSuchCategory) {
            dialogs_.MsgBox(unchosen);
            return;
        }
        failure = failureReason(e);
    }
    if (result == RecipeBas::Outcome::Done) {
        dialogs_.MsgBox(QStringLiteral("Record Deleted"));
        return;
    }
    QString message = QStringLiteral("Nothing was deleted: ");
    if (failure.isEmpty())
        message += QStringLiteral("there is no recipe %1 in the category %2 any more.")
                       .arg(dao::refusals::quotedName(store_->SelRecipe),
                            dao::refusals::quotedName(store_->SelRecipeCategory));
    else
        message += failure;
    dialogs_.MsgBox(message, platform::vbCritical);
}

void MainWindow::xpcmdbutton1_Click()
{
    // Adding or editing ends at once, the typed text and the boxes' lock as they are.
    enter({keptOnTheWayTo(WindowMode::ChoosingCategory), state_.boxesLocked});
    store_->SelCategory.clear();
    if (!storeCall([this] { store_->FillCategories(); }))
        return;
    enter({WindowMode::ChoosingCategory, state_.boxesLocked});
}

void MainWindow::delcatagroy_Click()
{
    if (store_->SelCategory.isEmpty()) {
        dialogs_.MsgBox(QStringLiteral("Please Choose a Category"));
        return;
    }
    if (store_->SelCategory == RecipeBas::kNothingCategory) {
        store_->SelCategory.clear();
        return;
    }
    storeCall([this] { store_->DeleteCategory(store_->SelCategory); }, QStringLiteral("Please Choose a Category"),
              [this] { store_->SelCategory.clear(); });
}

void MainWindow::cancelcata_Click()
{
    enter({WindowMode::Browsing, state_.boxesLocked});
    storeCall([this] { store_->FillCatalogue(); });
}

void MainWindow::xpcmdbutton2_Click()
{
    storeCall([this] { store_->AddCategory(); });
}

void MainWindow::print_Click()
{
    print_->run(text1_->Text(), text2_->Text(), text3_->Text(), text4_->Text());
}

void MainWindow::help_Click()
{
    shell_.ShellExecute(QUrl::fromLocalFile(helpFile_.isEmpty() ? programFolder_ + QStringLiteral("/help.htm") : helpFile_));
}

void MainWindow::Website_Click() { shell_.ShellExecute(QUrl(kWebsiteAddress)); }

void MainWindow::xptopbuttons1_Click() { close(); }

void MainWindow::xptopbuttons3_Click() { setWindowState(windowState() | Qt::WindowMinimized); }

}  // namespace mainform
