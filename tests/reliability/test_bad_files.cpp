// Bad recipe files as the user meets them in the real window: each is reported in a message
// that names the file and the reason, the window stays usable, and no file is written that the
// user did not change on purpose.

#include "core/backups.h"
#include "reliability/raw_file.h"
#include "support/ordinary_user.h"
#include "ui/main/main_window_fixture.h"
#include "ui/print/print_command.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <functional>
#include <random>
#include <unistd.h>

using testsupport::TempDb;

namespace {

const QString kSoups = QStringLiteral("Soups");

// The file's bytes, or a marker that no file is there.
QByteArray snapshot(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QByteArrayLiteral("(no file)");
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArrayLiteral("(unreadable)");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// Another program inside a transaction on the file, on a connection of its own.
class HeldTransaction {
public:
    HeldTransaction(const QString &path, const char *begin)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr);
        const QByteArray key = testsupport::kPassword.toUtf8();
        sqlite3_key(db_, key.constData(), static_cast<int>(key.size()));
        held_ = sqlite3_exec(db_, begin, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    ~HeldTransaction() { release(); }
    bool held() const { return held_; }
    void release()
    {
        if (db_) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(db_);
            db_ = nullptr;
        }
    }

private:
    sqlite3 *db_ = nullptr;
    bool held_ = false;
};

class BadFilesTest : public MainWindowTest {
protected:
    // The message the last action caused: exactly one, critical, naming what it must name.
    void expectOneFailure(std::size_t shownBefore, const QString &mustName, const char *reason)
    {
        ASSERT_EQ(dialogs.shown().size(), shownBefore + 1)
            << "one message per failed action; the last: " << dialogs.shown().back().prompt.toStdString();
        const auto &shown = dialogs.shown().back();
        EXPECT_EQ(shown.flags, platform::vbCritical);
        EXPECT_TRUE(shown.prompt.contains(mustName)) << shown.prompt.toStdString();
        EXPECT_TRUE(shown.prompt.contains(QLatin1String(reason))) << shown.prompt.toStdString();
        EXPECT_TRUE(window->isVisible());
    }
    // Adds a recipe through ADD, a category click and Save, answering Yes.
    void addRecipeThroughTheWindow(const QString &category, const QString &name)
    {
        click(ui().add);
        clickNode(category, QStringLiteral("Saporium"));
        ui().Text1->setText(name);
        ui().Text3->setPlainText(QStringLiteral("leeks"));
        ui().Text4->setPlainText(QStringLiteral("boil"));
        dialogs.answerMsgBox(platform::vbYes);
        click(ui().Save);
    }
    std::vector<std::string> dump(const QString &path) const
    {
        return reliability::RawFile(path, testsupport::kPassword).dump();
    }
    void expectSound(const QString &path)
    {
        const reliability::RawCheck check = reliability::RawFile(path, testsupport::kPassword).check();
        EXPECT_EQ(check.rc, 0) << check.error.toStdString();
        EXPECT_EQ(check.integrity, QStringList{QStringLiteral("ok")});
    }
};

// ---- Files that cannot be used at start-up ---------------------------------------------------

struct StartCase {
    const char *label;
    std::function<void(TempDb &)> make;
    const char *reason;  // what the start-up message must say
    // The file may be one with a password of its own: the user is asked first (and cancels).
    bool asksPassword = false;
};

void starterLike(TempDb &db)
{
    db.create();
    db.addCategory(kSoups, {testsupport::row(QStringLiteral("Leek "), QStringLiteral("Ann "),
                                             QStringLiteral("leeks "), QStringLiteral("boil "))});
}

QByteArray randomBytes(int size)
{
    std::mt19937 random(7);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = static_cast<char>(random());
    return out;
}

const StartCase kStartCases[] = {
    {"Missing", [](TempDb &) {}, "the file does not exist"},
    {"Empty", [](TempDb &db) { writeFile(db.filePath(), {}); }, "the file is empty"},
    {"RandomBytes", [](TempDb &db) { writeFile(db.filePath(), randomBytes(8192)); },
     "the password is wrong or the file is not a recipe database", true},
    {"TruncatedToItsHeader",
     [](TempDb &db) {
         starterLike(db);
         writeFile(db.filePath(), db.fileBytes().left(100));
     },
     "the password is wrong or the file is not a recipe database"},
    {"TruncatedMidway",
     [](TempDb &db) {
         starterLike(db);
         writeFile(db.filePath(), db.fileBytes().left(1536));
     },
     "is damaged"},
    {"PlainSqlite", [](TempDb &db) { db.rawExec(QStringLiteral("CREATE TABLE Soups (Name TEXT)"), QString()); },
     "it is a plain SQLite file"},
    {"WrongPassword", [](TempDb &db) { dao::DBEngine::CreateDatabase(db.filePath(), QStringLiteral("guess")); },
     "the password is wrong", true},
    {"FolderInItsPlace", [](TempDb &db) { QDir(db.folder()).mkdir(QStringLiteral("Recipe.mdb")); },
     "it is a folder"},
};

class StartWith : public BadFilesTest, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartWith, ABadFileIsReportedOnceTheWindowStaysUsableAndTheFileUntouched)
{
    const StartCase &c = GetParam();
    c.make(db);
    const QByteArray before = snapshot(db.filePath());
    if (c.asksPassword)
        dialogs.answerInputBox(QString());
    open();
    const std::size_t asked = c.asksPassword ? 1 : 0;
    expectOneFailure(asked, db.filePath(), c.reason);
    EXPECT_EQ(ui().Tv->model()->rowCount(), 0);

    // Whatever the user tries next is refused the same way, and writes nothing.
    click(ui().add);
    expectOneFailure(asked + 1, db.filePath(), c.reason);
    EXPECT_FALSE(ui().Save->isVisible()) << "no adding without categories to choose from";
    dialogs.answerInputBox(QStringLiteral("Pies"));
    click(ui().xpcmdbutton2);
    expectOneFailure(asked + 3, db.filePath(), c.reason);
    EXPECT_EQ(snapshot(db.filePath()), before) << "the bad file was changed";

    // Once a good file is in place, the same window goes on with it.
    QDir(db.filePath()).removeRecursively();
    QFile::remove(db.filePath());
    starterLike(db);
    dialogs.clear();
    dialogs.answerInputBox(QStringLiteral("Pies"));
    click(ui().xpcmdbutton2);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Pies Category Created")});
    EXPECT_EQ(categoryChildren(kSoups), 1);
    EXPECT_EQ(categoryChildren(QStringLiteral("Pies")), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, StartWith, ::testing::ValuesIn(kStartCases),
                         [](const auto &info) { return std::string(info.param.label); });

// ---- Files that change under the running window ----------------------------------------------

class WhileRunning : public BadFilesTest {
protected:
    void SetUp() override
    {
        makeStarterLikeDb();
        open();
        // The backup the window starts reads the file; these cases change the file under a
        // window at rest.
        recipes::Backups::waitForBackground(db.filePath());
    }
    void TearDown() override
    {
        BadFilesTest::TearDown();
        // A file deleted under the window can no longer be named to end its backup's use: the
        // next case starts a new run, and the program does not end with a backup pending.
        recipes::Backups::forgetRun();
    }
};

TEST_F(WhileRunning, AWriteBlockedByAnotherProgramIsReportedAndSucceedsOnRetry)
{
    const std::vector<std::string> before = dump(db.filePath());
    HeldTransaction other(db.filePath(), "BEGIN IMMEDIATE");
    ASSERT_TRUE(other.held());
    addRecipeThroughTheWindow(kSoups, QStringLiteral("Onion"));
    expectOneFailure(1, db.filePath(), "is locked by another program");
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_EQ(boxes()[0], QStringLiteral("Onion")) << "the typing is kept for the retry";

    other.release();
    EXPECT_TRUE(dump(db.filePath()) == before) << "nothing was written while the other program held the file";
    dialogs.answerMsgBox(platform::vbYes);
    click(ui().Save);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Recipe Added"));
    EXPECT_EQ(db.rows(kSoups).size(), 3u) << "added once";
    expectSound(db.filePath());
}

TEST_F(WhileRunning, AFileLockedWhollyIsReportedOnReadingAndReadableOnceFreed)
{
    HeldTransaction other(db.filePath(), "BEGIN EXCLUSIVE");
    ASSERT_TRUE(other.held());
    clickNode(QStringLiteral("Leek"), kSoups);
    expectOneFailure(0, db.filePath(), "is locked by another program");
    EXPECT_EQ(boxes()[0], QString());
    other.release();
    clickNode(QStringLiteral("Leek"), kSoups);
    EXPECT_EQ(boxes()[0], QStringLiteral("Leek "));
    EXPECT_EQ(dialogs.shown().size(), 1u);
}

TEST_F(WhileRunning, AFileDeletedMeanwhileIsReportedAndNeverMadeAgain)
{
    clickNode(QStringLiteral("Leek"), kSoups);  // leaves the store open on the file
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Dee"));
    ASSERT_TRUE(QFile::remove(db.filePath()));
    click(ui().saveedited);
    expectOneFailure(0, db.filePath(), "the file does not exist");
    EXPECT_EQ(boxes()[1], QStringLiteral("Dee")) << "the edit is kept";
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
    click(ui().delete_);
    expectOneFailure(1, db.filePath(), "the file does not exist");
    EXPECT_FALSE(QFileInfo::exists(db.filePath()));
    EXPECT_EQ(QDir(db.folder()).entryList(QDir::Files), QStringList()) << "no journal or other file left";
}

TEST_F(WhileRunning, AFileReplacedMeanwhileGetsTheEditAndTheOldOneIsNeverWritten)
{
    clickNode(QStringLiteral("Leek"), kSoups);  // leaves the store open on the old file
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Dee"));

    // Another program moves the file aside and puts a copy with one more recipe in its place.
    const QString aside = db.folder() + QStringLiteral("/Recipe-old.mdb");
    ASSERT_TRUE(QFile::rename(db.filePath(), aside));
    ASSERT_TRUE(QFile::copy(aside, db.filePath()));
    db.addRows(kSoups, {testsupport::row(QStringLiteral("Onion "))});
    const QByteArray oldBytes = snapshot(aside);

    click(ui().saveedited);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Recipe UpDated")});
    EXPECT_EQ(snapshot(aside), oldBytes) << "written through a stale handle";
    const auto rows = db.rows(kSoups);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].author, QStringLiteral("Dee "));
    EXPECT_EQ(rows[2].name, QStringLiteral("Onion "));
    expectSound(db.filePath());
}

TEST_F(WhileRunning, AFileOverwrittenInPlaceWithAnotherDatabaseIsReadAfresh)
{
    clickNode(QStringLiteral("Leek"), kSoups);
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Dee"));

    // A restore from a backup: another database's bytes copied over the same file.
    TempDb backup;
    backup.create();
    backup.addCategory(kSoups, {testsupport::row(QStringLiteral("Leek "), QStringLiteral("Old "))});
    writeFile(db.filePath(), backup.fileBytes());

    click(ui().saveedited);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Recipe UpDated")});
    const auto rows = db.rows(kSoups);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].author, QStringLiteral("Dee "));
    EXPECT_EQ(db.tables(), QStringList{kSoups});
    expectSound(db.filePath());
}

TEST_F(WhileRunning, AFileReplacedByJunkIsReportedAndLeftAsItIs)
{
    clickNode(QStringLiteral("Leek"), kSoups);
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Dee"));
    ASSERT_TRUE(QFile::remove(db.filePath()));
    writeFile(db.filePath(), randomBytes(4096));
    click(ui().saveedited);
    expectOneFailure(0, db.filePath(), "the password is wrong or the file is not a recipe database");
    EXPECT_EQ(snapshot(db.filePath()), randomBytes(4096));
}

// ---- Files and folders the user may not write ------------------------------------------------

// Runs as an ordinary user: root is not stopped by permission bits.
class ReadOnly : public BadFilesTest {
protected:
    void TearDown() override
    {
        BadFilesTest::TearDown();
        // The temporary folder can be removed only once it may be written again.
        QFile::setPermissions(db.folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

TEST_F(ReadOnly, AWriteProtectedFileIsReadButEveryChangeIsRefusedWithoutWriting)
{
    if (testsupport::ranAsOrdinaryUser())
        return;
    makeStarterLikeDb();
    ASSERT_TRUE(QFile::setPermissions(db.filePath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    // The file was made by another program, as far as the window is concerned: it starts cold.
    dao::DBEngine::ResetCache();
    const QByteArray before = snapshot(db.filePath());
    open();
    EXPECT_TRUE(dialogs.shown().empty()) << "reading is allowed";
    EXPECT_EQ(categoryChildren(kSoups), 2);

    const char *readOnly = "cannot be changed: the file or its folder is read-only";
    addRecipeThroughTheWindow(kSoups, QStringLiteral("Onion"));
    expectOneFailure(1, db.filePath(), readOnly);
    click(ui().Cancel);
    clickNode(QStringLiteral("Leek"), kSoups);
    click(ui().delete_);
    expectOneFailure(2, db.filePath(), readOnly);
    dialogs.answerInputBox(QStringLiteral("Pies"));
    click(ui().xpcmdbutton2);
    expectOneFailure(4, db.filePath(), readOnly);
    EXPECT_EQ(snapshot(db.filePath()), before);
    EXPECT_EQ(categoryChildren(kSoups), 2);
}

TEST_F(ReadOnly, AWriteProtectedProgramFolderRefusesChangesAndPrintsNothing)
{
    if (testsupport::ranAsOrdinaryUser())
        return;
    makeStarterLikeDb();
    const QByteArray before = snapshot(db.filePath());
    const auto folderMode = QFileDevice::ReadOwner | QFileDevice::ExeOwner;
    ASSERT_TRUE(QFile::setPermissions(db.folder(), folderMode));
    dao::DBEngine::ResetCache();
    open();
    EXPECT_TRUE(dialogs.shown().empty()) << "reading is allowed";

    addRecipeThroughTheWindow(kSoups, QStringLiteral("Onion"));
    expectOneFailure(1, db.filePath(), "check that its folder exists and may be written to");
    click(ui().Cancel);

    clickNode(QStringLiteral("Leek"), kSoups);
    click(ui().print);
    expectOneFailure(2, db.folder() + QStringLiteral("/print.txt"), "");
    EXPECT_EQ(window->printCommand().preview(), nullptr) << "no preview of a page that was not written";
    EXPECT_EQ(QDir(db.folder()).entryList(QDir::Files), QStringList{QStringLiteral("Recipe.mdb")});
    EXPECT_EQ(snapshot(db.filePath()), before);
}

}  // namespace
