// Backups and passwords on real recipe files: a backup before the first change of a run and
// never on a run that only views, one started in the background and kept only by a change, ten kept, a restore that gives back the file as it was (as the
// stock sqlcipher shell sees it), a password of one's own, and each way these can fail.
#include "core/backups.h"
#include "core/collection.h"
#include "core/file_lock.h"
#include "core/recipe_error.h"
#include "support/temp_db.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

using recipes::Backups;
using recipes::Collection;
using recipes::Recipe;

const Recipe kLeek{QStringLiteral("Leek soup"), QStringLiteral("Ann"), QStringLiteral("leeks"), QStringLiteral("boil")};

class BackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Backups::forgetRun();
        db.create();
        db.addCategory(QStringLiteral("Soups"), {testsupport::row(QStringLiteral("Pea "))});
    }
    QStringList backups() const { return Backups::list(db.filePath()); }

    // The file as the stock shell reads it with the key, or "" when the key does not open it.
    std::string shellDump(const QString &file, const QString &key) const
    {
        if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
            return "(no sqlcipher shell)";
        QProcess shell;
        shell.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), file});
        shell.write(QString(QStringLiteral("PRAGMA key = '") + key + QStringLiteral("';\n.dump\n")).toUtf8());
        shell.closeWriteChannel();
        EXPECT_TRUE(shell.waitForFinished(60000));
        const QByteArray out = shell.readAllStandardOutput();
        return out.contains("CREATE TABLE") ? out.toStdString() : std::string();
    }

    testsupport::TempDb db;
};

TEST_F(BackupTest, TheFirstChangeOfARunIsBackedUpAndTenAreKept)
{
    {
        Collection collection(db.filePath(), recipes::kBuiltInPassword);
        collection.categories();
        collection.recipeNames(QStringLiteral("Soups"));
        collection.recipe(QStringLiteral("Soups"), QStringLiteral("Pea"));
        EXPECT_TRUE(backups().isEmpty()) << "viewing never writes";
        EXPECT_FALSE(QFileInfo::exists(Backups::folderFor(db.filePath())));

        const std::string before = shellDump(db.filePath(), recipes::kBuiltInPassword);
        collection.addRecipe(QStringLiteral("Soups"), kLeek);
        collection.deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Pea"));
        ASSERT_EQ(backups().size(), 1) << "one per run, before its first change";
        EXPECT_EQ(shellDump(backups().front(), recipes::kBuiltInPassword), before) << "the file as it was";
        EXPECT_TRUE(QFileInfo(backups().front()).fileName().startsWith(QStringLiteral("Recipe-")));
    }
    // Twelve within a second or a minute: the names must still keep their order.
    QStringList madeNow;
    for (int i = 0; i < 12; ++i)
        madeNow.append(Backups::make(db.filePath(), recipes::kBuiltInPassword));
    EXPECT_EQ(backups(), madeNow.mid(2)) << "the newest ten, oldest first";
    EXPECT_EQ(QDir(Backups::folderFor(db.filePath())).entryList(QDir::Files).size(), Backups::kKept)
        << "nothing else is left in the folder";

    const QString made = db.folder() + QStringLiteral("/New.mdb");
    Collection::create(made, recipes::kBuiltInPassword);
    Collection(made, recipes::kBuiltInPassword).addCategory(QStringLiteral("Soups"));
    EXPECT_TRUE(Backups::list(made).isEmpty()) << "a file this run made has nothing to lose";
}

// Backups named before numbers told their order are older than any numbered one, whatever their
// dates say; the numbers, not the clock, order the rest. A copy whose writer is gone is removed,
// one still locked by its writer is left alone.
TEST_F(BackupTest, NumbersOrderBackupsAndOnlyAbandonedCopiesAreRemoved)
{
    const QDir folder(Backups::folderFor(db.filePath()));
    ASSERT_TRUE(QDir().mkpath(folder.path()));
    const QStringList planted = {
        QStringLiteral("Recipe-2026-12-07-1530.mdb"), QStringLiteral("Recipe-2026-12-07-1530-2.mdb"),
        QStringLiteral("Recipe-2031-01-01-0000.mdb"), QStringLiteral("Recipe-2020-01-01-000000-9.mdb"),
        QStringLiteral("Recipe-2019-05-05-101010-41.mdb"), QStringLiteral("Recipe-2020-01-01-000000-40.mdb.partial"),
        QStringLiteral("Recipe-2020-01-01-000000-43.mdb.partial")};
    for (const QString &name : planted) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    const std::optional<recipes::FileLock> writing =
        recipes::FileLock::tryExclusive(folder.filePath(QStringLiteral("Recipe-2020-01-01-000000-43.mdb.partial")));
    ASSERT_TRUE(writing);

    const QString made = Backups::make(db.filePath(), recipes::kBuiltInPassword);
    EXPECT_TRUE(made.endsWith(QStringLiteral("-44.mdb"))) << made.toStdString();
    QStringList expected;
    for (const int i : {0, 1, 2, 3, 4})
        expected.append(folder.filePath(planted[i]));
    expected.append(made);
    EXPECT_EQ(backups(), expected);
    EXPECT_FALSE(folder.exists(planted[5])) << "abandoned";
    EXPECT_TRUE(folder.exists(planted[6])) << "still being written";
}

TEST_F(BackupTest, ABackgroundBackupIsTheFileAsOpenedAndStaysOnlyWhenTheRunChangesIt)
{
    // Enough pages that the copy takes many steps, so that a change comes while it runs.
    std::vector<testsupport::Row> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back(testsupport::row(QStringLiteral("Stew %1 ").arg(i), {}, QString(400, QChar(u'a' + i % 26))));
    db.addCategory(QStringLiteral("Stews"), many);
    const QString older = Backups::make(db.filePath(), recipes::kBuiltInPassword);
    const auto bytes = [](const QString &file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
    };
    const QByteArray olderBytes = bytes(older);
    const struct {
        const char *what;
        bool changedElsewhereFirst;  // by another program once the copy is whole, before the run's change
        std::function<void()> act;   // right after the backup has started
        bool changed;
    } cases[] = {
        {"a change made while it runs waits for it, and is not in it", false,
         [&] { Collection(db.filePath(), recipes::kBuiltInPassword).addRecipe(QStringLiteral("Soups"), kLeek); }, true},
        {"another program's change after the copy, in instructions alone, is in it", true,
         [&] { Collection(db.filePath(), recipes::kBuiltInPassword).deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Leek soup")); },
         true},
        {"a run that changes nothing", false, [&] { Backups::endOfUse(db.filePath()); }, false},
        {"a run that changes nothing, ended once the copy is whole", false,
         [&] {
             Backups::waitForBackground(db.filePath());
             Backups::endOfUse(db.filePath());
         },
         false},
        {"the change of a run after one that changed nothing", false,
         [&] {
             Backups::endOfUse(db.filePath());
             Backups::startInBackground(db.filePath(), recipes::kBuiltInPassword);
             Collection(db.filePath(), recipes::kBuiltInPassword).addRecipe(QStringLiteral("Soups"), kLeek);
         },
         true},
        {"a copy that failed is made again by the change", false,
         [&] {
             Backups::endOfUse(db.filePath());
             Backups::startInBackground(db.filePath(), QStringLiteral("not its password"));
             Collection(db.filePath(), recipes::kBuiltInPassword).addRecipe(QStringLiteral("Soups"), kLeek);
         },
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Backups::forgetRun();
        const QStringList before = backups();
        std::string asOpened = shellDump(db.filePath(), recipes::kBuiltInPassword);
        Backups::startInBackground(db.filePath(), recipes::kBuiltInPassword);
        if (c.changedElsewhereFirst) {
            Backups::waitForBackground(db.filePath());
            ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Stews SET Instructions = 'Simmer. ' WHERE Name = 'Stew 7 '")), 0);
            asOpened = shellDump(db.filePath(), recipes::kBuiltInPassword);
        }
        c.act();
        const QStringList after = backups();
        ASSERT_EQ(after.size(), before.size() + (c.changed ? 1 : 0));
        EXPECT_EQ(after.front(), older) << "the older backups stay";
        EXPECT_EQ(bytes(older), olderBytes);
        EXPECT_EQ(QDir(Backups::folderFor(db.filePath())).entryList(QDir::Files).size(), after.size())
            << "no partial copy left";
        if (c.changed) {
            EXPECT_EQ(shellDump(after.back(), recipes::kBuiltInPassword), asOpened) << "the file just before the run's change";
            EXPECT_NE(shellDump(db.filePath(), recipes::kBuiltInPassword), asOpened) << "the change was made";
            QFile copy(after.back());
            ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
            EXPECT_FALSE(copy.read(6).startsWith("SQLite")) << "the copy is encrypted";
        }
    }
}

TEST_F(BackupTest, ARestoreGivesBackTheFileAsItWasAndBacksUpTheFileItReplaces)
{
    const std::string original = shellDump(db.filePath(), recipes::kBuiltInPassword);
    const QString backup = Backups::make(db.filePath(), recipes::kBuiltInPassword);
    {
        Collection collection(db.filePath(), recipes::kBuiltInPassword);
        collection.addRecipe(QStringLiteral("Soups"), kLeek);
        collection.deleteCategory(QStringLiteral("Soups"));
    }
    const std::string changed = shellDump(db.filePath(), recipes::kBuiltInPassword);
    Backups::forgetRun();
    Backups::startInBackground(db.filePath(), recipes::kBuiltInPassword);  // as the window does on opening
    const QString saved = Backups::restore(db.filePath(), recipes::kBuiltInPassword, backup);
    EXPECT_EQ(shellDump(db.filePath(), recipes::kBuiltInPassword), original);
    EXPECT_EQ(shellDump(saved, recipes::kBuiltInPassword), changed);
    const QStringList afterRestore = backups();
    Collection reopened(db.filePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(reopened.recipeNames(QStringLiteral("Soups")), QStringList{QStringLiteral("Pea")});
    reopened.addRecipe(QStringLiteral("Soups"), kLeek);  // the restored file takes changes
    EXPECT_EQ(backups(), afterRestore) << "the copy started before the restore is not taken for this run's backup";
    EXPECT_EQ(QDir(Backups::folderFor(db.filePath())).entryList(QDir::Files).size(), afterRestore.size())
        << "nor left beside the backups";
}

TEST_F(BackupTest, APasswordOfOnesOwnReplacesTheBuiltInOne)
{
    const QString mine = QStringLiteral("Thyme & 'sage' 2026");
    EXPECT_NE(testsupport::engineError([&] { Collection::changePassword(db.filePath(), QStringLiteral("wrong"), mine); })
                  .find("the password is wrong"),
              std::string::npos);
    EXPECT_TRUE(backups().isEmpty()) << "a refused change makes no backup";
    Collection::changePassword(db.filePath(), recipes::kBuiltInPassword, mine);

    try {
        Collection old(db.filePath(), recipes::kBuiltInPassword);
        ADD_FAILURE() << "the built-in password still opens the file";
    } catch (const recipes::Error &e) {
        EXPECT_EQ(e.kind(), recipes::Error::Kind::WrongPassword);
        EXPECT_TRUE(Collection::mayBeEncrypted(db.filePath()));
    }
    EXPECT_EQ(Collection(db.filePath(), mine).recipeNames(QStringLiteral("Soups")), QStringList{QStringLiteral("Pea")});
    QString quoted = mine;
    quoted.replace(u'\'', QStringLiteral("''"));
    EXPECT_FALSE(shellDump(db.filePath(), quoted).empty()) << "the shell opens it with the new password";
    EXPECT_TRUE(shellDump(db.filePath(), recipes::kBuiltInPassword).empty()) << "and not with the old";
    ASSERT_EQ(backups().size(), 1);
    EXPECT_FALSE(shellDump(backups().front(), recipes::kBuiltInPassword).empty()) << "the backup keeps the old key";
    EXPECT_FALSE(Collection::mayBeEncrypted(QStringLiteral(SAPORIUM_TEST_SOURCE))) << "a text file is no database";

    // The backup from before the change opens only with the old password; restored, the file
    // keeps the one it has now.
    const QString older = backups().front();
    Collection(db.filePath(), mine).addRecipe(QStringLiteral("Soups"), kLeek);
    const struct {
        const char *what;
        QString backupPassword;
        bool restored;
    } tries[] = {
        {"none given", QString(), false},
        {"a wrong one", QStringLiteral("oregano"), false},
        {"the backup's own", recipes::kBuiltInPassword, true},
    };
    for (const auto &t : tries) {
        SCOPED_TRACE(t.what);
        try {
            Backups::restore(db.filePath(), mine, older, t.backupPassword);
            EXPECT_TRUE(t.restored);
        } catch (const recipes::Error &e) {
            EXPECT_FALSE(t.restored) << e.message().toStdString();
            EXPECT_EQ(e.kind(), recipes::Error::Kind::WrongPassword);
        }
        const QStringList names = Collection(db.filePath(), mine).recipeNames(QStringLiteral("Soups"));
        EXPECT_EQ(names.contains(QStringLiteral("Leek soup")), !t.restored);
    }
    EXPECT_FALSE(shellDump(db.filePath(), quoted).empty()) << "the restored file opens with the present password";
}

// Limits every file this process writes to a few bytes while it lives, as a full disk does.
struct DiskFull {
    rlimit saved{};
    DiskFull()
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit tight = saved;
        tight.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~DiskFull() { setrlimit(RLIMIT_FSIZE, &saved); }
};

TEST_F(BackupTest, AFailedBackupStopsTheChangeAndABadBackupIsNotRestored)
{
    const auto recipeNames = [&] { return Collection(db.filePath(), recipes::kBuiltInPassword).recipeNames(QStringLiteral("Soups")); };
    const struct {
        const char *what;
        std::function<void()> setUp;
        std::function<void()> act;
        const char *said;
    } cases[] = {
        {"the disk is full while backing up", [] {},
         [&] {
             Collection collection(db.filePath(), recipes::kBuiltInPassword);
             DiskFull full;
             collection.addRecipe(QStringLiteral("Soups"), kLeek);
         },
         "Nothing was changed"},
        {"the backups folder cannot be made",
         [&] {
             QDir(Backups::folderFor(db.filePath())).removeRecursively();
             QFile(Backups::folderFor(db.filePath())).open(QIODevice::WriteOnly);
         },
         [&] { Collection(db.filePath(), recipes::kBuiltInPassword).deleteCategory(QStringLiteral("Soups")); },
         "cannot be made"},
        {"the backups folder is a file, found by the backup started in the background",
         [&] {
             QDir(Backups::folderFor(db.filePath())).removeRecursively();
             QFile(Backups::folderFor(db.filePath())).open(QIODevice::WriteOnly);
             Backups::startInBackground(db.filePath(), recipes::kBuiltInPassword);
         },
         [&] { Collection(db.filePath(), recipes::kBuiltInPassword).addRecipe(QStringLiteral("Soups"), kLeek); },
         "cannot be made"},
        {"the backups folder is a link to another folder",
         [&] {
             QDir(Backups::folderFor(db.filePath())).removeRecursively();
             QDir(db.folder()).mkdir(QStringLiteral("elsewhere"));
             QFile::link(db.folder() + QStringLiteral("/elsewhere"), Backups::folderFor(db.filePath()));
         },
         [&] { Collection(db.filePath(), recipes::kBuiltInPassword).deleteCategory(QStringLiteral("Soups")); },
         "is a symbolic link"},
        {"the backup's name is a link", [] {},
         [&] {
             const QString link = db.folder() + QStringLiteral("/copy.mdb");
             QFile::link(db.folder() + QStringLiteral("/nowhere.mdb"), link);
             Backups::make(db.filePath(), recipes::kBuiltInPassword, link);
         },
         "is a symbolic link"},
        {"a damaged backup",
         [&] {
             const QString backup = Backups::make(db.filePath(), recipes::kBuiltInPassword);
             QFile file(backup);
             file.open(QIODevice::ReadWrite);
             file.seek(file.size() / 2);  // inside a page past the first, which holds the schema
             file.write(QByteArray(100, 'x'));
         },
         [&] { Backups::restore(db.filePath(), recipes::kBuiltInPassword, Backups::list(db.filePath()).back()); },
         "was not restored"},
        {"a backup with another password",
         [&] {
             const QString backup = Backups::make(db.filePath(), recipes::kBuiltInPassword);
             Collection::changePassword(backup, recipes::kBuiltInPassword, QStringLiteral("other"));
         },
         [&] { Backups::restore(db.filePath(), recipes::kBuiltInPassword, Backups::list(db.filePath()).back()); },
         "was not restored"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Backups::forgetRun();
        c.setUp();
        const QStringList before = recipeNames();
        const QStringList backupsBefore = backups();
        const std::string said = testsupport::engineError(c.act);
        EXPECT_NE(said.find(c.said), std::string::npos) << said;
        EXPECT_EQ(recipeNames(), before) << "the file is as it was";
        EXPECT_EQ(backups(), backupsBefore) << "no new backup, no part of one";
        EXPECT_TRUE(QDir(db.folder() + QStringLiteral("/elsewhere")).isEmpty()) << "nothing written through a link";
        EXPECT_FALSE(QFileInfo::exists(db.folder() + QStringLiteral("/nowhere.mdb")));
        QFile::remove(Backups::folderFor(db.filePath()));
    }
}

}  // namespace
