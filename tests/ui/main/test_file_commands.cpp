// The recipe file's own commands on the real window: a password asked for at start-up, three
// tries, a password changed from the tree's menu, and a backup made and restored from it.
#include "core/backups.h"
#include "core/collection.h"
#include "main_window_fixture.h"

#include <QMenu>

namespace {

using Kind = testsupport::ScriptedDialogs::Shown::Kind;

class FileCommandsTest : public MainWindowTest {
protected:
    void SetUp() override { recipes::Backups::forgetRun(); }
    // Runs the command from the menu on the node; false when the menu there does not offer it.
    bool run(const QString &node, const QString &command)
    {
        QTreeWidgetItem *item = findNode(node);
        if (!item)
            return false;
        emit ui().Tv->customContextMenuRequested(ui().Tv->visualItemRect(item).center());
        auto *menu = window->findChild<QMenu *>(QStringLiteral("TreeMenu"));
        menu->hide();
        for (QAction *action : menu->actions())
            if (action->text() == command && action->isVisible()) {
                action->trigger();
                return true;
            }
        return false;
    }
    std::vector<Kind> kinds() const
    {
        std::vector<Kind> out;
        for (const auto &shown : dialogs.shown())
            out.push_back(shown.kind);
        return out;
    }
};

TEST_F(FileCommandsTest, AFileWithAPasswordOfItsOwnIsAskedForThreeTimes)
{
    const struct {
        const char *what;
        QStringList typed;  // "" cancels
        bool opens;
    } cases[] = {
        {"right at the second try", {QStringLiteral("thyme"), QStringLiteral("basil")}, true},
        {"wrong three times", {QStringLiteral("thyme"), QStringLiteral("sage"), QStringLiteral("dill")}, false},
        {"cancelled", {QString()}, false},
    };
    makeStarterLikeDb();
    recipes::Collection::changePassword(db.filePath(), recipes::kBuiltInPassword, QStringLiteral("basil"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        for (const QString &typed : c.typed)
            dialogs.answerInputBox(typed);
        open();
        QCoreApplication::processEvents();
        std::vector<Kind> expected(static_cast<std::size_t>(c.typed.size()), Kind::Password);
        if (!c.opens)
            expected.push_back(Kind::Message);
        EXPECT_EQ(kinds(), expected);
        EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), c.opens ? 2 : -1);
        if (!c.opens) {
            EXPECT_TRUE(dialogs.messages().back().contains(QStringLiteral("the password is wrong")))
                << "the start-up message as before";
        }
        TearDown();
    }
}

TEST_F(FileCommandsTest, ThePasswordIsChangedAndABackupRestoredFromTheRootsMenu)
{
    makeStarterLikeDb();
    open();
    // Not on a category: these work on the whole file.
    for (const char *command : {"Back up now...", "Restore from a backup...", "Change password..."})
        EXPECT_FALSE(run(QStringLiteral("Soups"), QLatin1String(command)));

    ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Back up now...")));
    ASSERT_EQ(recipes::Backups::list(db.filePath()).size(), 1);
    const QString backup = recipes::Backups::list(db.filePath()).front();
    EXPECT_TRUE(dialogs.messages().back().contains(QDir::toNativeSeparators(backup)));

    for (const char *typed : {"qmtrwz47195306", "basil", "basel"})
        dialogs.answerInputBox(QLatin1String(typed));
    ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Change password...")));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The two new passwords differ, so the password was not changed."));
    for (const char *typed : {"qmtrwz47195306", "basil", "basil"})
        dialogs.answerInputBox(QLatin1String(typed));
    ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Change password...")));
    EXPECT_TRUE(dialogs.messages().back().startsWith(QStringLiteral("The password is changed.")));
    EXPECT_EQ(recipes::Collection(db.filePath(), QStringLiteral("basil")).categories().size(), 3);

    // The window goes on with the new password: a change, then a restore of the backup.
    dialogs.answerMsgBox(platform::vbYes);
    store().DeleteCategory(QStringLiteral("Soups"));
    store().FillCatalogue();
    ASSERT_EQ(findNode(QStringLiteral("Soups"), QStringLiteral("Saporium")), nullptr);
    // The backup has the old password: the window asks for it, and the file keeps the new one.
    const struct {
        const char *what;
        QStringList typed;  // the backup's password, as tried; an empty one cancels
        bool restored;
    } tries[] = {
        {"a wrong password, then none", {QStringLiteral("oregano"), QString()}, false},
        {"the backup's own", {QStringLiteral("qmtrwz47195306")}, true},
    };
    for (const auto &t : tries) {
        SCOPED_TRACE(t.what);
        dialogs.answerOpenFiles({backup});
        dialogs.answerMsgBox(platform::vbYes);
        for (const QString &typed : t.typed)
            dialogs.answerInputBox(typed);
        ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Restore from a backup...")));
        EXPECT_EQ(dialogs.messages().back().startsWith(QStringLiteral("Your recipes are restored")), t.restored)
            << dialogs.messages().back().toStdString();
        EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), t.restored ? 2 : -1);
    }
    EXPECT_EQ(recipes::Collection(db.filePath(), QStringLiteral("basil")).categories().size(), 3);
}

}  // namespace
