// The file shared over time: cheap reopening through cached connections, files replaced or
// deleted behind the cache, other programs' locks and changes, read-only use, and a worker
// thread's private connection beside the cache.

#include "engine/db_engine.h"
#include "engine/engine_error.h"

#include "support/ordinary_user.h"
#include "support/temp_db.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

using testing::HasSubstr;
using testsupport::engineError;
using testsupport::kConnect;
using testsupport::kPassword;
using testsupport::row;
using testsupport::TempDb;

namespace {

const QString kSoups = QStringLiteral("Soups");

ino_t inodeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

// How many of this process's open files are the file (or its journal).
int descriptorsOn(const QString &path)
{
    int count = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::Files | QDir::System))
        if (QFile::symLinkTarget(fds.filePath(fd)).startsWith(path))
            ++count;
    return count;
}

void addRecipe(dao::Database &handle, const QString &name)
{
    auto rs = handle.OpenRecordset(kSoups);
    rs->AddNew();
    rs->SetField(0, name);
    rs->Update();
}

void createTable(dao::Database &handle, const QString &name)
{
    dao::TableDef def = handle.CreateTableDef(name);
    def.Append(def.CreateField(QStringLiteral("Name"), dao::dbText));
    handle.AppendTableDef(def);
}

// Another program holding the file: the stock shell inside a transaction it keeps open until
// release().
class ShellHoldingLock {
public:
    ShellHoldingLock(const QString &file, const char *begin, const QString &marker)
    {
        process_.start(QStringLiteral("/usr/bin/sqlcipher"), {file});
        if (!process_.waitForStarted())
            return;
        process_.write(QStringLiteral("PRAGMA key='%1';\n%2;\n.shell touch '%3'\n")
                           .arg(kPassword, QString::fromLatin1(begin), marker)
                           .toUtf8());
        process_.waitForBytesWritten(5000);
        for (int waited = 0; waited < 60000 && !QFile::exists(marker); waited += 20)
            QThread::msleep(20);
        locked_ = QFile::exists(marker);
    }
    ~ShellHoldingLock() { release(); }
    bool locked() const { return locked_; }
    void release()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.write("ROLLBACK;\n.quit\n");
        process_.waitForBytesWritten(5000);
        process_.closeWriteChannel();
        process_.waitForFinished(60000);
    }

private:
    QProcess process_;
    bool locked_ = false;
};

class DatabaseSharing : public testing::Test {
protected:
    void SetUp() override
    {
        dao::DBEngine::ResetCache();
        db.create();
        db.addCategory(kSoups, {row(QStringLiteral("Leek"))});
    }
    std::vector<QString> names(const TempDb &from) const
    {
        std::vector<QString> out;
        for (const auto &r : from.rows(kSoups))
            out.push_back(r.name.value_or(QString()));
        return out;
    }
    bool haveShell() const { return QFile::exists(QStringLiteral("/usr/bin/sqlcipher")); }

    TempDb db;
};

// Reopening is cheap because it reuses the keyed connection (its cost is measured in bench/):
// however many handles are open on the file, it is open once.
TEST_F(DatabaseSharing, HandlesOnOneFileShareOneConnection)
{
    std::vector<std::unique_ptr<dao::Database>> handles;
    handles.push_back(db.open());
    handles.back()->TableDefs();
    const int once = descriptorsOn(db.filePath());
    ASSERT_GT(once, 0);
    for (int i = 0; i < 10; ++i) {
        handles.push_back(db.open());
        handles.back()->OpenRecordset(kSoups)->MoveFirst();
    }
    EXPECT_EQ(descriptorsOn(db.filePath()), once);
}

TEST_F(DatabaseSharing, SeesWhatAnotherProgramChangedBetweenOperationsAndHoldsNoLockMeanwhile)
{
    auto handle = db.open();
    auto rs = handle->OpenRecordset(kSoups);
    EXPECT_EQ(rs->Fields(1), QString());
    // The other connection has no busy timeout: any lock of ours would fail these at once.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Soups (Name) VALUES ('Onion');"
                                        "CREATE TABLE Pies (Name)")),
              0);
    EXPECT_EQ(db.tables(), (QStringList{QStringLiteral("Pies"), kSoups}));
    EXPECT_EQ(names(db), (std::vector{QStringLiteral("Leek"), QStringLiteral("Onion")}));
}

TEST_F(DatabaseSharing, HandlesOutliveACacheResetAndStillWrite)
{
    auto handle = db.open();
    dao::DBEngine::ResetCache();
    addRecipe(*handle, QStringLiteral("Onion"));
    EXPECT_EQ(names(db), (std::vector{QStringLiteral("Leek"), QStringLiteral("Onion")}));
}

// A replaced file is opened afresh; a handle still open on the file it replaced cannot write
// into that unlinked file, where the change would be lost while reported saved.
TEST_F(DatabaseSharing, AReplacedFileIsOpenedAfreshAndTheOldOneNeverWritten)
{
    auto stale = db.open();
    auto staleRs = stale->OpenRecordset(kSoups);
    const QString kept = db.folder() + QStringLiteral("/kept.mdb");
    ASSERT_EQ(::link(QFile::encodeName(db.filePath()).constData(), QFile::encodeName(kept).constData()), 0);
    TempDb other;
    other.create();
    other.addCategory(QStringLiteral("Pies"), {row(QStringLiteral("Apple"))});
    ASSERT_EQ(std::rename(QFile::encodeName(other.filePath()).constData(),
                          QFile::encodeName(db.filePath()).constData()),
              0);

    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Pies")});
    const std::string replaced = "was replaced or deleted by another program after it was opened. "
                                 "Nothing was written.";
    EXPECT_THAT(engineError([&] { addRecipe(*stale, QStringLiteral("Lost")); }), HasSubstr(replaced));
    EXPECT_THAT(engineError([&] { createTable(*stale, QStringLiteral("Stews")); }), HasSubstr(replaced));
    EXPECT_THAT(engineError([&] { stale->DeleteTableDef(kSoups); }), HasSubstr(replaced));
    EXPECT_THAT(engineError([&] { staleRs->Delete(); }), HasSubstr(replaced));

    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Pies")});
    auto old = dao::DBEngine::OpenDatabase(kept, false, false, kConnect);
    EXPECT_EQ(old->TableDefs(), QStringList{kSoups});
    EXPECT_EQ(old->OpenRecordset(kSoups)->RecordCount(), 1);
}

TEST_F(DatabaseSharing, AFileRewrittenInPlaceIsOpenedAfresh)
{
    auto before = db.open();
    auto beforeRs = before->OpenRecordset(kSoups);
    TempDb other;
    other.create();
    other.addCategory(QStringLiteral("Pies"));
    const ino_t inode = inodeOf(db.filePath());
    {
        QFile file(db.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(other.fileBytes());
    }
    ASSERT_EQ(inodeOf(db.filePath()), inode);
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Pies")});
    beforeRs->AddNew();
    beforeRs->SetField(0, QStringLiteral("Lost"));
    EXPECT_THAT(engineError([&] { beforeRs->Update(); }),
                HasSubstr("was replaced or deleted by another program"));
    EXPECT_EQ(db.fileBytes(), other.fileBytes());
}

TEST_F(DatabaseSharing, ADeletedFileIsReportedMissingAndNotRecreated)
{
    auto before = db.open();
    ASSERT_TRUE(QFile::remove(db.filePath()));
    EXPECT_THAT(engineError([&] { db.open(); }), HasSubstr("Recipe.mdb: the file does not exist."));
    EXPECT_THAT(engineError([&] { addRecipe(*before, QStringLiteral("Lost")); }),
                HasSubstr("was replaced or deleted by another program"));
    EXPECT_FALSE(QFile::exists(db.filePath()));
}

// Without this a long session, or a test run, would keep every deleted file open until exit.
TEST_F(DatabaseSharing, ReleasesDeletedFilesWhenItNextOpensOneAfresh)
{
    db.open()->TableDefs();
    ASSERT_GT(descriptorsOn(db.filePath()), 0);
    ASSERT_TRUE(QFile::remove(db.filePath()));
    TempDb other;
    other.create();
    other.open()->TableDefs();
    EXPECT_EQ(descriptorsOn(db.filePath()), 0);
}

TEST_F(DatabaseSharing, AFileAnotherProgramLocksWhollyCannotBeOpenedAndSaysSo)
{
    if (!haveShell())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    auto earlier = db.open();  // a cached connection, to be checked on reopening
    ShellHoldingLock shell(db.filePath(), "BEGIN EXCLUSIVE", db.folder() + QStringLiteral("/locked"));
    ASSERT_TRUE(shell.locked());
    const std::string locked = "Cannot open the recipe database " + db.filePath().toStdString()
        + ": the file is locked by another program. Try again when that program has finished with it.";
    EXPECT_EQ(engineError([&] { db.open(); }), locked);
    dao::DBEngine::ResetCache();
    EXPECT_EQ(engineError([&] { db.open(); }), locked);
    shell.release();
    EXPECT_EQ(db.tables(), QStringList{kSoups});
}

TEST_F(DatabaseSharing, AWriteWaitingOnAnotherProgramFailsCleanlyAndSucceedsOnRetry)
{
    if (!haveShell())
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    ShellHoldingLock shell(db.filePath(), "BEGIN IMMEDIATE", db.folder() + QStringLiteral("/locked"));
    ASSERT_TRUE(shell.locked());
    auto handle = db.open();  // readers are still let in
    auto rs = handle->OpenRecordset(kSoups);
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));
    rs->AddNew();
    rs->SetField(0, QStringLiteral("Onion"));
    EXPECT_EQ(engineError([&] { rs->Update(); }),
              "Cannot add the recipe to the category Soups: the recipe database "
                  + db.filePath().toStdString()
                  + " is locked by another program. Try again when that program has finished with it.");
    shell.release();
    EXPECT_EQ(names(db), std::vector{QStringLiteral("Leek")});
    rs->Update();  // the refused row is still pending
    EXPECT_EQ(names(db), (std::vector{QStringLiteral("Leek"), QStringLiteral("Onion")}));
}

TEST_F(DatabaseSharing, AReadOnlyOpenReadsButRefusesEveryWrite)
{
    auto handle = dao::DBEngine::OpenDatabase(db.basePath(), false, true, kConnect);
    EXPECT_EQ(handle->TableDefs(), QStringList{kSoups});
    auto rs = handle->OpenRecordset(kSoups);
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));
    const std::string readOnly = "the recipe database " + db.filePath().toStdString()
        + " is open for reading only.";
    EXPECT_THAT(engineError([&] { addRecipe(*handle, QStringLiteral("Onion")); }), HasSubstr(readOnly));
    EXPECT_THAT(engineError([&] { rs->Delete(); }), HasSubstr(readOnly));
    EXPECT_THAT(engineError([&] { createTable(*handle, QStringLiteral("Pies")); }), HasSubstr(readOnly));
    EXPECT_THAT(engineError([&] { handle->DeleteTableDef(kSoups); }), HasSubstr(readOnly));
    EXPECT_EQ(db.tables(), QStringList{kSoups});
    EXPECT_EQ(names(db), std::vector{QStringLiteral("Leek")});
}

TEST_F(DatabaseSharing, AWriteProtectedFileIsReportedOnWriteAndWritableAgainOnceFreed)
{
    if (testsupport::ranAsOrdinaryUser())
        return;
    auto before = db.open();
    ASSERT_TRUE(QFile::setPermissions(db.filePath(), QFileDevice::ReadOwner));
    dao::DBEngine::ResetCache();
    auto handle = db.open();
    EXPECT_THAT(engineError([&] { addRecipe(*handle, QStringLiteral("Onion")); }),
                HasSubstr("cannot be changed: the file or its folder is read-only."));
    ASSERT_TRUE(QFile::setPermissions(db.filePath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    addRecipe(*db.open(), QStringLiteral("Onion"));
    EXPECT_EQ(names(db), (std::vector{QStringLiteral("Leek"), QStringLiteral("Onion")}));
}

// The search worker reads through a private connection on its own thread while the window's
// thread opens and drops cached connections. Whatever both threads reach must be guarded: the
// ThreadSanitizer build of these tests (scripts/test.sh) fails on anything that is not. Each
// round of the main thread derives the key anew, which gives the worker many rounds meanwhile.
class WorkerBesideCache : public DatabaseSharing {
protected:
    // Runs worker on a thread of its own, round after round, while the main thread opens the
    // file through the cache, runs mainRound on the handle and drops the cache, six times.
    // Returns how many rounds the worker ran.
    int runBeside(const std::function<void()> &worker, const std::function<void(dao::Database &)> &mainRound)
    {
        std::atomic<bool> done = false;
        int rounds = 0;
        std::thread thread([&] {
            while (!done.load()) {
                worker();
                ++rounds;
            }
        });
        for (int round = 0; round < 6; ++round) {
            auto shared = db.open();
            auto again = db.open();  // from the cache
            mainRound(*again);
            dao::DBEngine::ResetCache();
        }
        done = true;
        thread.join();
        return rounds;
    }
};

// Both threads read a table with more distinct declared types than the engine remembers, so
// that both keep adding to what it remembers instead of only looking answers up.
TEST_F(WorkerBesideCache, BothThreadsReadDeclaredLengthLimitsAtOnce)
{
    constexpr int kColumns = 300;
    QStringList columns;
    for (int i = 1; i <= kColumns; ++i)
        columns.append(QStringLiteral("c%1 %2(%1)").arg(i).arg(i % 2 ? QStringLiteral("VARCHAR") : QStringLiteral("TEXT")));
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE Wide (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')')), 0);
    const QString wide = QStringLiteral("Wide");
    const auto limits = [&](dao::Database &handle) {
        const auto rs = handle.OpenRecordset(wide);
        return std::pair(rs->FieldLimit(0), rs->FieldLimit(kColumns - 1));
    };
    const std::pair<std::optional<int>, std::optional<int>> expected(1, kColumns);

    auto reader = dao::DBEngine::OpenPrivate(db.filePath(), kPassword);
    int wrong = 0;
    const int rounds = runBeside([&] { wrong += limits(*reader) != expected; },
                                 [&](dao::Database &shared) { EXPECT_EQ(limits(shared), expected); });
    EXPECT_GT(rounds, 0);
    EXPECT_EQ(wrong, 0);
}

// A private handle whose file was deleted under it refuses each write it tries; what it does
// then must not reach the cache the main thread is changing.
TEST_F(WorkerBesideCache, AWorkersRefusedWriteLeavesTheCacheAlone)
{
    TempDb gone;
    gone.create();
    gone.addCategory(kSoups);
    auto stale = dao::DBEngine::OpenPrivate(gone.filePath(), kPassword);
    auto staleRs = stale->OpenRecordset(kSoups);
    staleRs->AddNew();
    staleRs->SetField(0, QStringLiteral("Lost"));
    ASSERT_TRUE(QFile::remove(gone.filePath()));

    int notRefused = 0;
    const int rounds = runBeside(
        [&] {
            notRefused += engineError([&] { staleRs->Update(); }).find("was replaced or deleted by another program")
                == std::string::npos;
        },
        [&](dao::Database &shared) { EXPECT_EQ(shared.OpenRecordset(kSoups)->Fields(0), QStringLiteral("Leek")); });
    EXPECT_GT(rounds, 0);
    EXPECT_EQ(notRefused, 0);
}

}  // namespace
