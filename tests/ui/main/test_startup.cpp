// Start-up and shut-down of the main window.

#include "main_window_fixture.h"
#include "ui/skin/skin_pointer.h"

#include <QFileInfo>
#include <QSignalSpy>

TEST_F(MainWindowTest, OpensInBrowsingModeWithEveryControlInPlace)
{
    makeStarterLikeDb();
    open();

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Saporium V1.2"));
    EXPECT_EQ(window->size(), QSize(649, 434));
    EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "the window is fixed-size";
    EXPECT_TRUE(modeButtons().isEmpty());
    EXPECT_TRUE(locked());
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));

    struct Expected {
        QWidget *widget;
        const char *name;
        QRect geometry;  // twips / 15
        QString caption;
    };
    const Expected controls[] = {
        {ui().xpcmdbutton2, "xpcmdbutton2", {8, 32, 83, 20}, QStringLiteral("Add Category")},
        {ui().xpcmdbutton1, "xpcmdbutton1", {94, 32, 84, 20}, QStringLiteral("Del Category")},
        {ui().Tv, "Tv", {8, 56, 169, 369}, {}},
        {ui().Picture1, "Picture1", {187, 29, 457, 34}, {}},
        {ui().add, "add", {0, 4, 57, 25}, QStringLiteral("ADD")},
        {ui().delete_, "delete", {56, 4, 57, 25}, QStringLiteral("Delete")},
        {ui().Edit, "Edit", {112, 4, 57, 25}, QStringLiteral("Edit")},
        {ui().print, "print", {168, 4, 57, 25}, QStringLiteral("Print")},
        {ui().Website, "Website", {224, 4, 185, 25}, QStringLiteral("Website ( More 50,000 recipes)")},
        {ui().help, "help", {408, 4, 41, 25}, QStringLiteral("Help")},
        {ui().Text1, "Text1", {280, 80, 233, 19}, {}},
        {ui().Text2, "Text2", {280, 112, 233, 19}, {}},
        {ui().Text3, "Text3", {200, 152, 433, 97}, {}},
        {ui().Text4, "Text4", {200, 272, 433, 153}, {}},
        {ui().Save, "Save", {544, 81, 57, 17}, QStringLiteral("Save")},
        {ui().Cancel, "Cancel", {544, 113, 57, 17}, QStringLiteral("Cancel")},
        {ui().saveedited, "saveedited", {528, 81, 81, 17}, QStringLiteral("Save Edited")},
        {ui().canceledit, "canceledit", {528, 113, 57, 17}, QStringLiteral("Cancel")},
        {ui().delcatagroy, "delcatagroy", {528, 81, 105, 17}, QStringLiteral("Delete a Category")},
        {ui().cancelcata, "cancelcata", {528, 113, 57, 17}, QStringLiteral("Cancel")},
    };
    for (const Expected &c : controls) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.widget->objectName(), QLatin1String(c.name));
        EXPECT_EQ(c.widget->geometry(), c.geometry);
        if (auto *button = qobject_cast<xpcmdbutton *>(c.widget)) {
            EXPECT_EQ(button->Caption(), c.caption);
            EXPECT_EQ(button->font().family(), QStringLiteral("Tahoma"));
            EXPECT_EQ(button->font().pointSize(), 9);
        }
    }
    EXPECT_EQ(ui().xp_canvas1->Caption(), QStringLiteral("Saporium V1.2"));
    EXPECT_TRUE(ui().xp_canvas1->Fixed_Single());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    const std::tuple<xptopbuttons *, QRect, int, bool> captionButtons[] = {
        {ui().xptopbuttons3, {578, 6, 21, 21}, 2, true},
        {ui().xptopbuttons2, {601, 6, 21, 21}, 1, false},
        {ui().xptopbuttons1, {624, 6, 21, 21}, 0, true},
    };
    for (const auto &[button, geometry, value, enabled] : captionButtons) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_EQ(button->geometry(), geometry);
        EXPECT_EQ(button->Value(), value);
        EXPECT_EQ(button->isEnabled(), enabled);
    }
    EXPECT_EQ(ui().Label1->buddy(), ui().Text1);
    EXPECT_EQ(ui().Label4->buddy(), ui().Text4);
    EXPECT_EQ(ui().Label1->text(), QStringLiteral("Recipe Name:"));
    EXPECT_EQ(ui().Label4->text(), QStringLiteral("Preparation Instructions:"));
    EXPECT_TRUE(ui().Tv->font().bold());
    EXPECT_EQ(ui().Tv->font().family(), QStringLiteral("MS Sans Serif"));
}

TEST_F(MainWindowTest, TabOrderFollowsTheTabIndexes)
{
    makeStarterLikeDb();
    open();
    // The painted buttons take the focus by Tab after the four boxes; hidden ones are passed by.
    const QWidget *expected[] = {ui().Tv,     ui().Text1,   ui().Text2, ui().Text3,       ui().Text4,
                                 ui().help,   ui().Website, ui().print, ui().delete_,     ui().add,
                                 ui().Edit,   ui().xpcmdbutton1, ui().xpcmdbutton2, ui().Tv};
    // The next widget Tab would reach: focusable by Tab, shown and enabled.
    auto nextTabStop = [](const QWidget *from) {
        QWidget *w = from->nextInFocusChain();
        while (w != from && !((w->focusPolicy() & Qt::TabFocus) && w->isVisible() && w->isEnabled()))
            w = w->nextInFocusChain();
        return w;
    };
    for (size_t i = 0; i + 1 < std::size(expected); ++i)
        EXPECT_EQ(nextTabStop(expected[i]), expected[i + 1]) << expected[i]->objectName().toStdString();
}

TEST_F(MainWindowTest, TheTreeShowsEveryCategoryAndRecipeAtStart)
{
    makeStarterLikeDb();
    open();
    const QAbstractItemModel &model = *ui().Tv->model();
    EXPECT_EQ(model.rowCount(), 1);
    const QModelIndex root = model.index(0, 0);
    EXPECT_EQ(root.data().toString(), QStringLiteral("Saporium"));
    ASSERT_EQ(model.rowCount(root), 3);
    EXPECT_EQ(model.index(0, 0, root).data().toString(), QStringLiteral("Breads"));
    EXPECT_EQ(model.index(1, 0, root).data().toString(), QStringLiteral("Soups"));
    EXPECT_EQ(model.index(2, 0, root).data().toString(), QStringLiteral("zzzNothing"));
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2);
    // "zzzNothing" sorts last and is empty, so no category is shown expanded.
    for (int i = 0; i < model.rowCount(root); ++i)
        EXPECT_FALSE(ui().Tv->isExpanded(model.index(i, 0, root))) << i;
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(store().session().path(), db.folder() + QStringLiteral("/Recipe"));
}

TEST_F(MainWindowTest, AMissingDatabaseOpensAnEmptyWindowWithOneMessage)
{
    open();
    EXPECT_EQ(ui().Tv->model()->rowCount(), 0);
    ASSERT_EQ(dialogs.shown().size(), 1u);
    const auto &shown = dialogs.shown()[0];
    EXPECT_EQ(shown.flags, 16);
    EXPECT_EQ(shown.title, QStringLiteral("Saporium"));
    EXPECT_TRUE(shown.prompt.contains(db.filePath())) << shown.prompt.toStdString();
    EXPECT_FALSE(QFileInfo::exists(db.filePath())) << "opening never creates the file";
}

TEST_F(MainWindowTest, AWrongPasswordFileOpensAnEmptyWindowNamingTheReason)
{
    dao::DBEngine::CreateDatabase(db.filePath(), QStringLiteral("not-the-password"));
    dialogs.answerInputBox(QString());  // asked for the file's own password, the user cancels
    open();
    EXPECT_EQ(ui().Tv->model()->rowCount(), 0);
    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, testsupport::ScriptedDialogs::Shown::Password);
    EXPECT_TRUE(dialogs.shown()[1].prompt.contains(QStringLiteral("password"))) << dialogs.shown()[1].prompt.toStdString();
}

TEST_F(MainWindowTest, ClosingReleasesTheStoreAndClearsTheSharedState)
{
    makeStarterLikeDb();
    open();
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    ASSERT_TRUE(store().IsOpen()) << "showing a recipe leaves the store open";
    click(ui().xptopbuttons1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(store().IsOpen());
    EXPECT_FALSE(store().HasOpenCategory());
    EXPECT_TRUE(store().session().path().isEmpty());
    EXPECT_TRUE(store().SelRecipe.isEmpty());
    EXPECT_TRUE(store().SelRecipeCategory.isEmpty());
    EXPECT_TRUE(store().SelCategory.isEmpty());
    EXPECT_TRUE(store().NewCategory.isEmpty());
    store().CloseStore();
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(MainWindowTest, TheDisabledMaximiseButtonIgnoresAClickThatTheMinimiseButtonTakes)
{
    makeStarterLikeDb();
    open();
    // Pressed through the window at the button's place, as the pointer would, so that Qt's
    // routing decides who gets the click.
    const auto clickOn = [this](xptopbuttons *button) {
        QSignalSpy clicks(button, &xptopbuttons::Click);
        skintest::pressAt(button, {10, 10});
        skintest::releaseAt(button, {10, 10});
        return clicks.count();
    };
    ASSERT_FALSE(ui().xptopbuttons2->isEnabled());
    EXPECT_EQ(clickOn(ui().xptopbuttons2), 0);
    EXPECT_FALSE(window->isMinimized());
    EXPECT_FALSE(window->isMaximized());
    EXPECT_EQ(clickOn(ui().xptopbuttons3), 1);
    EXPECT_TRUE(window->isMinimized());
}
