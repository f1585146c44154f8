// The recipe file's own commands on the real window: a password asked for at start-up, three
// tries, a password changed from the tree's menu, a backup made and restored from it, and another
// recipe file opened from it, a file box or the recent files.
#include "core/backups.h"
#include "core/collection.h"
#include "main_window_fixture.h"
#include "support/ordinary_user.h"
#include "ui/main/open_commands.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <ostream>

// Paths in failures as text, not as arrays of characters; found by gtest next to QString.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using Kind = testsupport::ScriptedDialogs::Shown::Kind;

class FileCommandsTest : public MainWindowTest {
protected:
    void SetUp() override { recipes::Backups::forgetRun(); }
    // Runs the command from the menu on the node; false when the menu there does not offer it.
    bool run(const QString &node, const QString &command)
    {
        const QModelIndex item = findNode(node);
        if (!item.isValid())
            return false;
        emit ui().Tv->customContextMenuRequested(ui().Tv->visualRect(item).center());
        auto *menu = window->findChild<QMenu *>(QStringLiteral("TreeMenu"));
        menu->hide();
        for (QAction *action : menu->actions())
            if (action->text() == command && action->isVisible()) {
                action->trigger();
                return true;
            }
        return false;
    }
    // The recent files as the root's submenu offers them, by the file each opens.
    QStringList recentEntries()
    {
        emit ui().Tv->customContextMenuRequested(ui().Tv->visualRect(findNode(QStringLiteral("Saporium"))).center());
        window->findChild<QMenu *>(QStringLiteral("TreeMenu"))->hide();
        QStringList files;
        for (QAction *action : window->findChild<QMenu *>(QStringLiteral("RecentFilesMenu"))->actions())
            files << action->data().toString();
        return files;
    }
    bool runRecent(const QString &file)
    {
        recentEntries();
        for (QAction *action : window->findChild<QMenu *>(QStringLiteral("RecentFilesMenu"))->actions())
            if (action->data().toString() == file) {
                action->trigger();
                return true;
            }
        return false;
    }
    // Opens file from the root's menu through the file box.
    void openOther(const QString &file)
    {
        dialogs.answerOpenFiles({file});
        ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Open another recipe file...")));
    }
    // A recipe file of its own in dir, holding one category of that name.
    static QString makeFile(const QTemporaryDir &dir, const QString &name, const QString &password = recipes::kBuiltInPassword)
    {
        const QString file = dir.filePath(name + QStringLiteral(".mdb"));
        recipes::Collection::create(file, password);
        recipes::Collection(file, password).addCategory(name);
        return file;
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

TEST_F(FileCommandsTest, AWindowClosedWithoutAChangeLeavesNoBackupAndWithOneLeavesOne)
{
    makeStarterLikeDb();
    const struct {
        const char *what;
        bool change;
    } cases[] = {{"only looked at", false}, {"a category deleted", true}, {"only looked at again", false}};
    int expected = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        recipes::Backups::forgetRun();
        open();
        recipes::Backups::waitForBackground(db.filePath());
        EXPECT_EQ(QDir(recipes::Backups::folderFor(db.filePath())).entryList(QDir::Files).size(), expected + 1)
            << "the window has made the run's backup, not yet kept";
        if (c.change) {
            dialogs.answerMsgBox(platform::vbYes);
            store().DeleteCategory(QStringLiteral("Breads"));
            ++expected;
        }
        window->close();
        window.reset();
        EXPECT_EQ(recipes::Backups::list(db.filePath()).size(), expected);
        EXPECT_EQ(QDir(recipes::Backups::folderFor(db.filePath())).entryList(QDir::Files).size(), expected)
            << "nothing half-written left";
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
    ASSERT_FALSE(findNode(QStringLiteral("Soups"), QStringLiteral("Saporium")).isValid());
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

namespace {

TEST_F(FileCommandsTest, AnotherFileOpensInTheWindowAndTheLastFiveAreRemembered)
{
    QSettings(QStringLiteral("saporium"), QStringLiteral("saporium")).clear();
    QTemporaryDir dir;
    const QString given = makeFile(dir, QStringLiteral("Given"));
    makeStarterLikeDb();
    // Started on a file of its own: that file, not the one in the program folder.
    window = std::make_unique<mainform::MainWindow>(dialogs, shell, db.folder(), given);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(store().session().path(), given);
    EXPECT_TRUE(findNode(QStringLiteral("Given"), QStringLiteral("Saporium")).isValid());
    EXPECT_FALSE(findNode(QStringLiteral("Soups"), QStringLiteral("Saporium")).isValid());
    // Only the root's menu offers them.
    EXPECT_FALSE(run(QStringLiteral("Given"), QStringLiteral("Open another recipe file...")));
    EXPECT_EQ(recentEntries(), QStringList{given});
    ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Back up now...")));
    EXPECT_EQ(recipes::Backups::list(given).size(), 1) << "the file commands work on the file opened";

    // The window's own file, then six more, the middle one with a password of its own.
    openOther(db.filePath());
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2);
    EXPECT_FALSE(findNode(QStringLiteral("Given"), QStringLiteral("Saporium")).isValid());
    QStringList opened{db.filePath(), given};
    for (const char *name : {"One", "Two", "Three", "Four", "Five", "Six"}) {
        SCOPED_TRACE(name);
        const bool own = QLatin1String(name) == QLatin1String("Three");
        const QString file = makeFile(dir, QLatin1String(name), own ? QStringLiteral("saffron") : recipes::kBuiltInPassword);
        if (own)
            dialogs.answerInputBox(QStringLiteral("saffron"));
        openOther(file);
        QCoreApplication::processEvents();
        EXPECT_TRUE(findNode(QLatin1String(name), QStringLiteral("Saporium")).isValid());
        EXPECT_EQ(store().session().path(), file);
        opened.prepend(file);
        EXPECT_EQ(recentEntries(), opened.mid(0, 5));
    }
    EXPECT_EQ(mainform::RecentFiles().files(), opened.mid(0, 5));
    QFile settings(QSettings(QStringLiteral("saporium"), QStringLiteral("saporium")).fileName());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    const QByteArray kept = settings.readAll();
    for (const char *password : {"saffron", "qmtrwz47195306"})
        EXPECT_FALSE(kept.contains(password)) << "a password in the settings";

    // A recent file opens again and goes first; one gone since is said and dropped.
    dialogs.answerInputBox(QStringLiteral("saffron"));
    ASSERT_TRUE(runRecent(opened.at(3)));
    QCoreApplication::processEvents();
    EXPECT_TRUE(findNode(QStringLiteral("Three"), QStringLiteral("Saporium")).isValid()) << "its password is asked for again";
    const QString gone = opened.at(4);
    ASSERT_TRUE(QFile::remove(gone));
    ASSERT_TRUE(runRecent(gone));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Cannot open the recipe file %1: there is no such file. It is "
                                                        "taken off the recent files.")
                                             .arg(gone));
    EXPECT_TRUE(findNode(QStringLiteral("Three"), QStringLiteral("Saporium")).isValid()) << "the window keeps its file";
    EXPECT_EQ(recentEntries(), (QStringList{opened.at(3), opened.at(0), opened.at(1), opened.at(2)}));
}

TEST_F(FileCommandsTest, SettingsThatCannotBeWrittenAreSaidOnceAndTheFileOpensAllTheSame)
{
    const QString settingsFile = QSettings(QStringLiteral("saporium"), QStringLiteral("saporium")).fileName();
    QFile::remove(settingsFile);
    // A folder where the settings file should be: no user, root included, can write it.
    ASSERT_TRUE(QDir().mkpath(settingsFile));
    QTemporaryDir dir;
    makeStarterLikeDb();
    const qsizetype shown = dialogs.messages().size();
    open();
    for (const char *name : {"One", "Two"}) {
        SCOPED_TRACE(name);
        openOther(makeFile(dir, QLatin1String(name)));
        EXPECT_TRUE(findNode(QLatin1String(name), QStringLiteral("Saporium")).isValid());
    }
    ASSERT_EQ(dialogs.messages().size(), shown + 1) << "one message for the run";
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The recent files could not be saved: %1 cannot be written.")
                                             .arg(settingsFile));
    ASSERT_TRUE(QDir(settingsFile).removeRecursively());
}

TEST_F(FileCommandsTest, AFileThatIsNoReadableRegularFileIsRefusedWithTheReason)
{
    // Root reads a file whatever its permissions.
    if (testsupport::ranAsOrdinaryUser())
        return;
    QTemporaryDir dir;
    const auto path = [&dir](const char *name) { return dir.filePath(QLatin1String(name)); };
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe.mdb")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mdb")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), path("device.mdb")));
    const QString locked = makeFile(dir, QStringLiteral("Locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    const struct {
        QString chosen, file, reason;
    } cases[] = {
        {path("missing"), path("missing.mdb"), QStringLiteral("there is no such file")},
        {path("folder.mdb"), path("folder.mdb"), QStringLiteral("it is a folder, not a file")},
        {path("pipe.mdb"), path("pipe.mdb"), QStringLiteral("it is a named pipe, not a recipe file")},
        {path("device.mdb"), path("device.mdb"), QStringLiteral("it is a device, not a recipe file")},
        {locked, locked, QStringLiteral("it cannot be read (Permission denied)")},
    };
    makeStarterLikeDb();
    open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.chosen.toStdString());
        openOther(c.chosen);
        EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Cannot open the recipe file %1: %2.").arg(c.file, c.reason));
        EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2) << "the window keeps its file";
    }
}

TEST_F(FileCommandsTest, AFileOpenInAnotherWindowBringsThatWindowForward)
{
    QTemporaryDir dir;
    const QString other = makeFile(dir, QStringLiteral("Other"));
    QProcess holder;
    holder.start(QStringLiteral(SINGLE_INSTANCE_HOLDER), {QStringLiteral("hold"), other});
    ASSERT_TRUE(holder.waitForStarted(60000));
    while (!holder.canReadLine() && holder.waitForReadyRead(60000)) {
    }
    ASSERT_EQ(holder.readLine(), QByteArray("claimed\n"));
    makeStarterLikeDb();
    open();

    openOther(other);
    while (!holder.canReadLine() && holder.waitForReadyRead(60000)) {
    }
    EXPECT_EQ(holder.readLine(), QByteArray("raised\n"));
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2) << "this window keeps its file";
    EXPECT_EQ(store().session().path(), db.basePath());
    holder.kill();
    holder.waitForFinished(60000);
}

TEST_F(FileCommandsTest, EachFailureIsSaidInItsCommandsBoxWithWhyAndTheRightIcon)
{
    makeStarterLikeDb();
    open();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    const struct {
        const char *what;
        std::function<void()> act;
        const char *said;  // in the box's text
        const char *title;
        int flags;
    } cases[] = {
        {"a category another program deleted since it was chosen: the command's own words, no icon",
         [&] {
             click(ui().add);
             clickNode(QStringLiteral("Breads"));
             db.open()->DeleteTableDef(QStringLiteral("Breads"));
             ui().Text1->setText(QStringLiteral("Toast"));
             dialogs.answerMsgBox(platform::vbYes);  // the category is right
             click(ui().Save);
             click(ui().Cancel);
         },
         "Please Choose a Category", "Saporium", platform::vbOKOnly},
        {"a category name the tree keeps for its top: the core's reason",
         [&] {
             dialogs.answerInputBox(QStringLiteral("Saporium"));
             click(ui().xpcmdbutton2);
         },
         "is reserved for the top of the recipe tree", "Saporium", platform::vbCritical},
        {"a backup folder that is a link: under the command's title",
         [&] {
             const QString folder = recipes::Backups::folderFor(db.filePath());
             QDir(folder).removeRecursively();
             ASSERT_TRUE(QFile::link(elsewhere.path(), folder));
             ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Back up now...")));
         },
         "is a symbolic link; backups go only into a real folder.", "Back up", platform::vbCritical},
        {"an import with a file that holds no recipe: its report, critical",
         [&] {
             const QString empty = elsewhere.filePath(QStringLiteral("empty.json"));
             QFile file(empty);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write("[]");
             file.close();
             dialogs.answerOpenFiles({empty});
             ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Import recipes...")));
         },
         "0 added, 0 skipped, 1 refused.", "Import recipes", platform::vbCritical},
        {"a wrong present password: said in the command's words",
         [&] {
             for (const char *typed : {"oregano", "basil", "basil"})
                 dialogs.answerInputBox(QLatin1String(typed));
             ASSERT_TRUE(run(QStringLiteral("Saporium"), QStringLiteral("Change password...")));
         },
         "That is not the file's password, so the password was not changed.", "Change password", platform::vbCritical},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.clear();
        c.act();
        const auto box = std::find_if(dialogs.shown().crbegin(), dialogs.shown().crend(),
                                      [](const auto &shown) { return shown.kind == Kind::Message; });
        ASSERT_NE(box, dialogs.shown().crend());
        EXPECT_TRUE(box->prompt.contains(QLatin1String(c.said))) << box->prompt.toStdString();
        EXPECT_EQ(box->title, QLatin1String(c.title));
        EXPECT_EQ(box->flags, c.flags);
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(db.tables(), (QStringList{QStringLiteral("Soups"), QStringLiteral("zzzNothing")}))
        << "no failure changed the file";
}

}  // namespace
