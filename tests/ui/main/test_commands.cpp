// The main window's handlers, driven through the tree and the buttons, grouped by mode.

#include "main_window_fixture.h"

#include "ui/print/frmprint.h"
#include "ui/print/print_command.h"

#include <QFile>
#include <QMenu>

#include <functional>
#include <vector>

class CommandsTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        makeStarterLikeDb();
        open();
    }
    const testsupport::ScriptedDialogs::Shown &lastShown()
    {
        EXPECT_FALSE(dialogs.shown().empty());
        return dialogs.shown().back();
    }
};

// ---- Browsing -------------------------------------------------------------------------------

TEST_F(CommandsTest, ClickingARecipeShowsItAndRemembersItsCategory)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    EXPECT_EQ(boxes(), (QStringList{QStringLiteral("Leek "), QStringLiteral("Ann"), QStringLiteral("leeks\nwater"),
                                    QStringLiteral("boil")}));
    EXPECT_EQ(store().SelRecipe, QStringLiteral("Leek"));
    EXPECT_EQ(store().SelRecipeCategory, QStringLiteral("Soups"));
    EXPECT_TRUE(locked());
}

TEST_F(CommandsTest, ClickingTheRootOrZzzNothingChangesNothing)
{
    clickNode(QStringLiteral("Breads"), QStringLiteral("Saporium"));
    EXPECT_EQ(store().SelCategory, QStringLiteral("Breads"));
    clickNode(QStringLiteral("Saporium"));
    clickNode(QStringLiteral("zzzNothing"));
    EXPECT_EQ(store().SelCategory, QStringLiteral("Breads"));
    EXPECT_TRUE(store().SelRecipe.isEmpty());
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(CommandsTest, ARecipeOfAVanishedCategoryAsksForAnotherAndShowsTheFileAsItIs)
{
    db.open()->DeleteTableDef(QStringLiteral("Breads"));  // another program, behind the tree's back
    ui().Tv->expandAll();
    clickNode(QStringLiteral("Rye"), QStringLiteral("Breads"));
    ASSERT_EQ(dialogs.messages(), std::vector{QStringLiteral("Please Choose a Recipe")});
    EXPECT_EQ(lastShown().flags, 0);
    EXPECT_EQ(lastShown().title, QStringLiteral("Saporium"));
    EXPECT_FALSE(findNode(QStringLiteral("Breads")).isValid()) << "the tree was rebuilt";
    EXPECT_TRUE(store().SelRecipeCategory.isEmpty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(CommandsTest, SavingAnEditWhoseCategoryVanishedKeepsTheEditAndSaysTheRecipeIsGone)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Eve"));
    db.open()->DeleteTableDef(QStringLiteral("Soups"));  // another program, behind the tree's back
    click(ui().saveedited);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("The recipe \"Leek\" is no longer in the category "
                                                             "\"Soups\", so nothing was updated. Your changes are "
                                                             "still in the boxes.")});
    EXPECT_EQ(boxes()[1], QStringLiteral("Eve"));
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
}

// ---- Adding a recipe ------------------------------------------------------------------------

TEST_F(CommandsTest, AddShowsCategoriesOnlyAndUnlocksEmptyBoxes)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().add);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_FALSE(locked());
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 0);
    EXPECT_TRUE(ui().Text1->hasFocus());
}

TEST_F(CommandsTest, SaveWithoutACategoryAsksForOneAndStaysInAdding)
{
    click(ui().add);
    ui().Text1->setText(QStringLiteral("Toast"));
    click(ui().Save);
    ASSERT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Please Choose a Category")});
    EXPECT_EQ(lastShown().flags, 0);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_EQ(boxes().first(), QStringLiteral("Toast"));
}

TEST_F(CommandsTest, SaveAsksForTheCategoryAndNoKeepsEverything)
{
    click(ui().add);
    clickNode(QStringLiteral("Breads"));
    ui().Text1->setText(QStringLiteral("Toast"));
    dialogs.answerMsgBox(platform::vbNo);
    click(ui().Save);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(lastShown().prompt, QStringLiteral("The Category is: BREADS\r\nIs This Category Right ?\r\nIf Not "
                                                 "Right Choose [ No ] and then choose the Right Category"));
    EXPECT_EQ(lastShown().title, QStringLiteral("Choose Category"));
    EXPECT_EQ(lastShown().flags, 276);
    EXPECT_EQ(db.rows(QStringLiteral("Breads")).size(), 1u);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_EQ(boxes().first(), QStringLiteral("Toast"));
}

TEST_F(CommandsTest, ConfirmedSaveStoresTheRecipeAndReturnsToBrowsing)
{
    clickNode(QStringLiteral("Breads"));  // chosen before ADD, still proposed after it
    click(ui().add);
    ui().Text1->setText(QStringLiteral("  Toast "));
    ui().Text3->setPlainText(QStringLiteral("bread\nbutter"));
    ui().Text4->setPlainText(QStringLiteral("toast it"));
    dialogs.answerMsgBox(platform::vbYes);
    click(ui().Save);

    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Recipe Added"));
    EXPECT_EQ(db.rows(QStringLiteral("Breads")).back(),
              row(QStringLiteral("Toast "), QStringLiteral(" "), QStringLiteral("bread\r\nbutter "),
                  QStringLiteral("toast it ")));
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));
    EXPECT_TRUE(store().SelCategory.isEmpty());
    const QModelIndex breads = findNode(QStringLiteral("Breads"), QStringLiteral("Saporium"));
    ASSERT_EQ(ui().Tv->model()->rowCount(breads), 2);
    EXPECT_EQ(ui().Tv->model()->index(1, 0, breads).data().toString(), QStringLiteral("Toast"));
}

TEST_F(CommandsTest, ARefusedAddKeepsTheTypingAndTheMode)
{
    click(ui().add);
    clickNode(QStringLiteral("Breads"));
    ui().Text1->setText(QString(300, QLatin1Char('x')));
    dialogs.answerMsgBox(platform::vbYes);
    click(ui().Save);
    EXPECT_EQ(lastShown().flags, 16);
    EXPECT_EQ(lastShown().prompt,
              QStringLiteral("The text in the Recipe Name box is 300 characters long, but at most 254 fit. Shorten it by 46 characters."));
    EXPECT_NE(dialogs.messages().back(), QStringLiteral("Recipe Added"));
    EXPECT_EQ(boxes().first().size(), 300);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_EQ(db.rows(QStringLiteral("Breads")).size(), 1u);
}

TEST_F(CommandsTest, CancelLeavesAddingWithoutStoring)
{
    clickNode(QStringLiteral("Breads"));
    click(ui().add);
    ui().Text1->setText(QStringLiteral("Toast"));
    click(ui().Cancel);
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());
    EXPECT_TRUE(store().SelCategory.isEmpty());
    EXPECT_EQ(boxes().first(), QString());
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2);
    EXPECT_EQ(db.rows(QStringLiteral("Breads")).size(), 1u);
}

// ---- Editing a recipe -----------------------------------------------------------------------

TEST_F(CommandsTest, EditWithNothingShownSaysSoAndShowsNoModeButtons)
{
    click(ui().Edit);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Please Choose a Recipe To Edit")});
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());

    // While adding, Edit hides Save and Cancel and leaves the boxes unlocked.
    click(ui().add);
    click(ui().Edit);
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_FALSE(locked());
}

TEST_F(CommandsTest, SaveEditedRenamesTheFirstRecipeAndReturnsToBrowsing)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
    EXPECT_FALSE(locked());
    ui().Text1->setText(QStringLiteral("Leek and potato"));
    click(ui().saveedited);

    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Recipe UpDated")});
    EXPECT_EQ(db.rows(QStringLiteral("Soups"))[0].name, QStringLiteral("Leek and potato "));
    EXPECT_EQ(db.rows(QStringLiteral("Soups"))[0].ingredients, QStringLiteral("leeks\r\nwater "));
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());
    EXPECT_EQ(boxes().first(), QString());
    EXPECT_TRUE(store().SelRecipe.isEmpty());
    EXPECT_TRUE(store().SelRecipeCategory.isEmpty());
    EXPECT_TRUE(findNode(QStringLiteral("Leek and potato"), QStringLiteral("Soups")).isValid());
}

TEST_F(CommandsTest, ARefusedEditKeepsTheTextTheModeAndTheRow)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    ui().Text2->setText(QString(256, QLatin1Char('a')));
    click(ui().saveedited);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(lastShown().flags, 16);
    EXPECT_EQ(lastShown().title, QStringLiteral("Saporium"));
    EXPECT_EQ(boxes()[1].size(), 256);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
    EXPECT_FALSE(locked());
    EXPECT_EQ(db.rows(QStringLiteral("Soups"))[0].author, QStringLiteral("Ann "));
    EXPECT_EQ(store().SelRecipe, QStringLiteral("Leek"));
}

TEST_F(CommandsTest, EditingARecipeRemovedMeanwhileSaysSoAndKeepsTheText)
{
    clickNode(QStringLiteral("Pea"), QStringLiteral("Soups"));
    click(ui().Edit);
    ui().Text4->setPlainText(QStringLiteral("new steps"));
    deleteBehindTheBack(QStringLiteral("Soups"), 1);
    click(ui().saveedited);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(lastShown().prompt.contains(QStringLiteral("Pea"))) << lastShown().prompt.toStdString();
    EXPECT_NE(lastShown().prompt, QStringLiteral("Recipe UpDated"));
    EXPECT_EQ(boxes()[3], QStringLiteral("new steps"));
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
}

TEST_F(CommandsTest, CancelEditKeepsTheTextLocksAndForgetsTheCategory)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("changed"));
    click(ui().canceledit);
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());
    EXPECT_EQ(boxes()[1], QStringLiteral("changed"));
    EXPECT_TRUE(store().SelRecipeCategory.isEmpty());
    EXPECT_EQ(store().SelRecipe, QStringLiteral("Leek"));

    // Save Edited now has no category to save into and does nothing at all.
    ui().saveedited->show();
    click(ui().saveedited);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(db.rows(QStringLiteral("Soups"))[0].author, QStringLiteral("Ann "));
}

TEST_F(CommandsTest, AddWhileEditingAndEditWhileAddingSwitchModes)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    click(ui().add);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    ui().Text1->setText(QStringLiteral("typed"));
    click(ui().Edit);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
}

TEST_F(CommandsTest, EachHandlerLeavesTheModeItsButtonsAndTheLockOfTheBoxes)
{
    using mainform::WindowMode;
    const QString save = QStringLiteral("Save"), cancel = QStringLiteral("Cancel");
    const QString saveEdited = QStringLiteral("saveedited"), cancelEdit = QStringLiteral("canceledit");
    const QString deleteCategory = QStringLiteral("delcatagroy"), cancelCategory = QStringLiteral("cancelcata");
    const auto leek = [this] { clickNode(QStringLiteral("Leek"), QStringLiteral("Soups")); };
    const auto press = [this](xpcmdbutton *MainForm::*button) { return [this, button] { click(ui().*button); }; };
    struct Case {
        const char *what;
        std::vector<std::function<void()>> steps;
        WindowMode mode;
        QStringList buttons;
        bool locked;
    };
    const std::vector<Case> cases = {
        {"opened", {}, WindowMode::Browsing, {}, true},
        {"add", {press(&MainForm::add)}, WindowMode::Adding, {save, cancel}, false},
        {"add, cancel", {press(&MainForm::add), press(&MainForm::Cancel)}, WindowMode::Browsing, {}, true},
        {"add, save without a category", {press(&MainForm::add), press(&MainForm::Save)}, WindowMode::Adding,
         {save, cancel}, false},
        {"edit", {leek, press(&MainForm::Edit)}, WindowMode::Editing, {saveEdited, cancelEdit}, false},
        {"edit, cancel", {leek, press(&MainForm::Edit), press(&MainForm::canceledit)}, WindowMode::Browsing, {}, true},
        {"edit, save with no name",
         {leek, press(&MainForm::Edit), [this] { ui().Text1->setText(QStringLiteral(" ")); }, press(&MainForm::saveedited)},
         WindowMode::Editing, {saveEdited, cancelEdit}, false},
        {"choose a category", {press(&MainForm::xpcmdbutton1)}, WindowMode::ChoosingCategory,
         {deleteCategory, cancelCategory}, true},
        {"choose a category, cancel", {press(&MainForm::xpcmdbutton1), press(&MainForm::cancelcata)},
         WindowMode::Browsing, {}, true},
        {"edit, add", {leek, press(&MainForm::Edit), press(&MainForm::add)}, WindowMode::Adding, {save, cancel}, false},
        {"choose a category, add", {press(&MainForm::xpcmdbutton1), press(&MainForm::add)}, WindowMode::Adding,
         {save, cancel}, false},
        {"a recipe shown, choose a category, edit", {leek, press(&MainForm::xpcmdbutton1), press(&MainForm::Edit)},
         WindowMode::Editing, {saveEdited, cancelEdit}, false},
        // Browsing with unlocked boxes: Edit with no name ends adding and leaves the boxes open.
        {"add, edit with no name", {press(&MainForm::add), press(&MainForm::Edit)}, WindowMode::Browsing, {}, false},
        // Edit with no name while editing goes on editing.
        {"edit, name emptied, edit",
         {leek, press(&MainForm::Edit), [this] { ui().Text1->clear(); }, press(&MainForm::Edit)}, WindowMode::Editing,
         {saveEdited, cancelEdit}, false},
        // Choosing a category, and leaving it, keep the boxes as adding left them.
        {"add, choose a category", {press(&MainForm::add), press(&MainForm::xpcmdbutton1)},
         WindowMode::ChoosingCategory, {deleteCategory, cancelCategory}, false},
        {"add, choose a category, cancel",
         {press(&MainForm::add), press(&MainForm::xpcmdbutton1), press(&MainForm::cancelcata)}, WindowMode::Browsing,
         {}, false},
        // Editing with locked boxes: the recipe clicked meanwhile was gone from the file.
        {"edit, a vanished recipe clicked",
         {leek, press(&MainForm::Edit), [this] { deleteBehindTheBack(QStringLiteral("Soups"), 1); },
          [this] { clickNode(QStringLiteral("Pea"), QStringLiteral("Soups")); }},
         WindowMode::Editing, {saveEdited, cancelEdit}, true},
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(t.what);
        // A window of its own on the same file: only the last case changes the file.
        window.reset();
        form.reset();
        open();
        for (const auto &step : t.steps)
            step();
        EXPECT_EQ(window->state().mode, t.mode);
        EXPECT_EQ(window->state().boxesLocked, t.locked);
        EXPECT_EQ(modeButtons(), t.buttons);
        EXPECT_EQ(locked(), t.locked);
    }
}

// ---- Deleting a recipe ----------------------------------------------------------------------

TEST_F(CommandsTest, DeleteRemovesTheShownRecipeAtOnce)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().delete_);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Record Deleted")});
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u);
    EXPECT_EQ(boxes().first(), QString());
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 1);
}

TEST_F(CommandsTest, DeleteRefusesWhenTheBoxesDoNotShowTheChosenRecipe)
{
    click(ui().delete_);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Please Choose a Recipe To Delete"));

    // After ADD and typing a name, the last clicked recipe is not what the user looks at.
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().add);
    ui().Text1->setText(QStringLiteral("Something new"));
    click(ui().delete_);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Please Choose a Recipe To Delete"));
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 2u);
}

TEST_F(CommandsTest, DeletingARecipeAlreadyGoneSaysNothingWasDeleted)
{
    clickNode(QStringLiteral("Pea"), QStringLiteral("Soups"));
    deleteBehindTheBack(QStringLiteral("Soups"), 1);
    click(ui().delete_);
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_NE(dialogs.messages().back(), QStringLiteral("Record Deleted"));
    EXPECT_TRUE(dialogs.messages().back().startsWith(QStringLiteral("Nothing was deleted")));
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u);
}

// ---- Undo and redo --------------------------------------------------------------------------

TEST_F(CommandsTest, CtrlZUndoesADeleteCtrlShiftZDoesItAgainAndTheRootMenuNamesEach)
{
    const auto rootMenu = [this] { return menuOn(findNode(QStringLiteral("Saporium"))); };
    const auto press = [this](Qt::KeyboardModifiers modifiers) {
        ui().Tv->setFocus();
        QTest::keyClick(ui().Tv, Qt::Key_Z, modifiers);
    };
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const QStringList plainMenu = rootMenu();
    const std::vector<testsupport::Row> soups = db.rows(QStringLiteral("Soups"));
    press(Qt::ControlModifier);  // nothing to undo yet
    EXPECT_EQ(db.rows(QStringLiteral("Soups")), soups);

    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().delete_);
    ASSERT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u);
    EXPECT_EQ(rootMenu(), plainMenu + QStringList{QStringLiteral("Undo delete of recipe Leek")});

    press(Qt::ControlModifier);
    EXPECT_EQ(db.rows(QStringLiteral("Soups")), soups) << "back in its place, before Pea";
    EXPECT_TRUE(findNode(QStringLiteral("Leek"), QStringLiteral("Soups")).isValid());
    EXPECT_EQ(rootMenu(), plainMenu + QStringList{QStringLiteral("Redo delete of recipe Leek")});

    press(Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u);
    EXPECT_FALSE(findNode(QStringLiteral("Leek"), QStringLiteral("Soups")).isValid());
    EXPECT_EQ(rootMenu(), plainMenu + QStringList{QStringLiteral("Undo delete of recipe Leek")});

    // Not offered while a recipe is being added: the boxes and the tree are the adding's own.
    click(ui().add);
    press(Qt::ControlModifier);
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u);
    EXPECT_EQ(rootMenu(), plainMenu);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Record Deleted")});
}

TEST_F(CommandsTest, DeleteAfterCancelEditAsksToChooseARecipe)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().Edit);
    click(ui().canceledit);
    click(ui().delete_);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Please Choose a Recipe To Delete")});
    EXPECT_EQ(lastShown().flags, 0);
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 2u);
    EXPECT_EQ(boxes().first(), QStringLiteral("Leek ")) << "the boxes keep what they showed";
}

// ---- Categories -----------------------------------------------------------------------------

TEST_F(CommandsTest, CategoryDeletionModeDeletesOneCategoryAfterAnother)
{
    click(ui().xpcmdbutton1);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("delcatagroy"), QStringLiteral("cancelcata")}));
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 0);

    click(ui().delcatagroy);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Please Choose a Category"));

    clickNode(QStringLiteral("Soups"));
    dialogs.answerMsgBox(platform::vbYes);
    click(ui().delcatagroy);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Category Soups Has Been Deleted"));
    EXPECT_EQ(db.tables(), (QStringList{QStringLiteral("Breads"), QStringLiteral("zzzNothing")}));
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("delcatagroy"), QStringLiteral("cancelcata")}));
    EXPECT_EQ(categoryChildren(QStringLiteral("Breads")), 1) << "the full tree is back";

    // The deleted category is chosen no more.
    EXPECT_TRUE(store().SelCategory.isEmpty());
    click(ui().delcatagroy);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Please Choose a Category"));
    EXPECT_EQ(lastShown().flags, 0);

    click(ui().cancelcata);
    EXPECT_TRUE(modeButtons().isEmpty());
}

TEST_F(CommandsTest, ZzzNothingCannotBeDeleted)
{
    click(ui().xpcmdbutton1);
    store().SelCategory = QStringLiteral("zzzNothing");
    click(ui().delcatagroy);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_TRUE(store().SelCategory.isEmpty());
    EXPECT_TRUE(db.tables().contains(QStringLiteral("zzzNothing")));
}

TEST_F(CommandsTest, AddCategoryWorksInAnyModeAndShowsTheFullTree)
{
    click(ui().add);
    dialogs.answerInputBox(QStringLiteral("Pies"));
    click(ui().xpcmdbutton2);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Pies Category Created")});
    EXPECT_TRUE(findNode(QStringLiteral("Pies"), QStringLiteral("Saporium")).isValid());
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2);

    dialogs.answerInputBox(QStringLiteral("Saporium"));
    click(ui().xpcmdbutton2);
    EXPECT_EQ(lastShown().flags, 16);
    EXPECT_FALSE(db.tables().contains(QStringLiteral("Saporium")));
}

// ---- Help and web site ----------------------------------------------------------------------

TEST_F(CommandsTest, HelpAndWebsiteOpenTheirTargetsThroughTheShell)
{
    click(ui().help);
    click(ui().Website);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(db.folder() + QStringLiteral("/help.htm")));
    EXPECT_EQ(shell.opened[1].host(), QStringLiteral("www.example.org"));
    EXPECT_TRUE(dialogs.shown().empty());
}

// ---- Printing -------------------------------------------------------------------------------

TEST_F(CommandsTest, PrintWritesBesideTheProgramAndOpensThePreviewBesideTheWindow)
{
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    click(ui().print);
    QFile txt(db.folder() + QStringLiteral("/print.txt"));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    EXPECT_EQ(txt.readAll(), QByteArray("Name: Leek\r\n\r\nAuthor: Ann\r\n\r\nIngredints:\r\nleeks\r\nwater\r\n"
                                        "\r\n\r\nInstructions:\r\nboil\r\n"));
    frmprint *preview = window->printCommand().preview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), QStringLiteral("Print [ Leek ] Recipe"));
    EXPECT_EQ(preview->parentWidget(), nullptr);
    EXPECT_TRUE(dialogs.shown().empty());

    // The main window stays usable beside it, and takes it along when it closes.
    clickNode(QStringLiteral("Pea"), QStringLiteral("Soups"));
    EXPECT_EQ(boxes().first(), QStringLiteral("Pea "));
    QPointer<frmprint> watched(preview);
    window->close();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(watched.isNull() || !watched->isVisible());
}

TEST_F(CommandsTest, PrintWithNothingShownAsksForARecipe)
{
    click(ui().print);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Please Choose a Recipe")});
    EXPECT_FALSE(QFile::exists(db.folder() + QStringLiteral("/print.txt")));
}
