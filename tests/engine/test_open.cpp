// Opening and creating recipe databases: passwords, file names, files that are no recipe
// database, closed handles, and what other programs see of the file.

#include "engine/db_engine.h"
#include "engine/engine_error.h"

#include "support/temp_db.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testsupport::engineError;
using testsupport::kConnect;
using testsupport::kPassword;
using testsupport::TempDb;

namespace {

class DatabaseOpen : public testing::Test {
protected:
    void SetUp() override { dao::DBEngine::ResetCache(); }

    std::string openError(const QString &connect = kConnect, const QString &name = {}) const
    {
        return engineError([&] {
            dao::DBEngine::OpenDatabase(name.isEmpty() ? db.basePath() : name, false, false, connect);
        });
    }
    void writeFile(const QByteArray &bytes) const
    {
        QFile file(db.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    TempDb db;
};

TEST_F(DatabaseOpen, OpensWithTheRightPasswordInAnyConnectStringSpelling)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"));
    const QString spellings[] = {
        kConnect,
        QStringLiteral(";PWD=") + kPassword,
        QStringLiteral("Uid=Admin;pwd=") + kPassword,
        QStringLiteral(";Pwd=") + kPassword + QStringLiteral(";Uid=Admin"),
    };
    for (const QString &connect : spellings) {
        SCOPED_TRACE(connect.toStdString());
        auto handle = dao::DBEngine::OpenDatabase(db.basePath(), false, false, connect);
        EXPECT_EQ(handle->TableDefs(), QStringList{QStringLiteral("Soups")});
        EXPECT_EQ(handle->Path(), db.filePath());
    }
}

TEST_F(DatabaseOpen, RefusesAWrongOrAbsentPasswordAlsoWhileTheRightOneIsCached)
{
    db.create();
    auto right = db.open();  // leaves a connection in the cache
    const std::string path = db.filePath().toStdString();
    EXPECT_EQ(openError(QStringLiteral(";Pwd=qmtrwz47195307")),
              "Cannot open the recipe database " + path
                  + ": the password is wrong or the file is not a recipe database.");
    EXPECT_EQ(openError(QStringLiteral(";Pwd=") + kPassword.toUpper()),
              "Cannot open the recipe database " + path
                  + ": the password is wrong or the file is not a recipe database.");
    for (const QString &connect : {QString(), QStringLiteral(";Pwd="), QStringLiteral(";Uid=Admin"),
                                   QStringLiteral("qmtrwz47195306")}) {
        SCOPED_TRACE(connect.toStdString());
        EXPECT_EQ(openError(connect),
                  "Cannot open the recipe database " + path + ": no password was given.");
    }
}

TEST_F(DatabaseOpen, AddsTheDefaultExtensionOnlyToANameWithoutOne)
{
    const QString other = db.folder() + QStringLiteral("/Other.db");
    dao::DBEngine::CreateDatabase(other, kPassword);
    EXPECT_TRUE(dao::DBEngine::OpenDatabase(other, false, false, kConnect)->IsOpen());
    EXPECT_THAT(openError(kConnect, db.folder() + QStringLiteral("/Other")),
                HasSubstr(QString(db.folder() + QStringLiteral("/Other.mdb: the file does not exist."))
                              .toStdString()));
}

TEST_F(DatabaseOpen, NeverCreatesAMissingFile)
{
    EXPECT_EQ(openError(), "Cannot open the recipe database " + db.filePath().toStdString()
                               + ": the file does not exist.");
    EXPECT_FALSE(QFile::exists(db.filePath()));
    EXPECT_FALSE(QFile::exists(db.filePath() + QStringLiteral("-journal")));
}

TEST_F(DatabaseOpen, RefusesFilesThatAreNoRecipeDatabaseWithoutChangingThem)
{
    QByteArray random(4096, '\0');
    QRandomGenerator generator(7);
    for (char &byte : random)
        byte = static_cast<char>(generator.bounded(256));
    const struct {
        const char *what;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"empty file", QByteArray(), "the file is empty, not a recipe database."},
        {"random bytes", random, "the password is wrong or the file is not a recipe database."},
        {"a few bytes", QByteArray("Soup\n"),
         "the password is wrong or the file is not a recipe database."},
        {"text", QByteArray(2048, 'a'), "the password is wrong or the file is not a recipe database."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(c.bytes);
        EXPECT_EQ(openError(), "Cannot open the recipe database " + db.filePath().toStdString()
                                   + ": " + c.reason);
        EXPECT_EQ(db.fileBytes(), c.bytes);
    }
}

TEST_F(DatabaseOpen, NamesAPlainSqliteFileAsSuch)
{
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE Soups (Name TEXT)"), QString()), 0);
    ASSERT_TRUE(db.fileBytes().startsWith(QByteArray("SQLite format 3\0", 16)));
    EXPECT_EQ(openError(), "Cannot open the recipe database " + db.filePath().toStdString()
                               + ": it is a plain SQLite file, not an encrypted recipe database.");
}

TEST_F(DatabaseOpen, RefusesAFolderInPlaceOfTheFile)
{
    ASSERT_TRUE(QDir(db.folder()).mkdir(QStringLiteral("Recipe.mdb")));
    EXPECT_THAT(openError(), HasSubstr(": it is a folder, not a file."));
}

TEST_F(DatabaseOpen, RefusesExclusiveUseAndKeepsTheFileUsable)
{
    db.create();
    EXPECT_THAT(engineError([&] {
                    dao::DBEngine::OpenDatabase(db.basePath(), true, false, kConnect);
                }),
                HasSubstr("never for its sole use"));
    EXPECT_TRUE(db.open()->IsOpen());
}

TEST_F(DatabaseOpen, CreateRefusesToOverwriteOrToGoWithoutPassword)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {testsupport::row(QStringLiteral("Leek"))});
    const QByteArray before = db.fileBytes();
    EXPECT_THAT(engineError([&] { db.create(); }), HasSubstr("a file of that name exists already"));
    EXPECT_EQ(db.fileBytes(), before);

    const QString other = db.folder() + QStringLiteral("/New.mdb");
    EXPECT_THAT(engineError([&] { dao::DBEngine::CreateDatabase(other, QString()); }),
                HasSubstr("no password was given"));
    EXPECT_FALSE(QFile::exists(other));
    EXPECT_THAT(engineError([&] {
                    dao::DBEngine::CreateDatabase(db.folder() + QStringLiteral("/none/New.mdb"),
                                                  kPassword);
                }),
                HasSubstr("its folder does not exist"));
}

TEST_F(DatabaseOpen, CreatesADatabaseWithoutTablesThatOpensAtOnce)
{
    db.create();
    EXPECT_GT(db.fileBytes().size(), 0);
    EXPECT_TRUE(db.open()->TableDefs().isEmpty());
}

TEST_F(DatabaseOpen, CloseIsHarmlessWhenRepeatedAndEverythingElseFailsAfterIt)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {testsupport::row(QStringLiteral("Leek"))});
    auto handle = db.open();
    auto rs = handle->OpenRecordset(QStringLiteral("Soups"));
    rs->Close();
    rs->Close();
    EXPECT_FALSE(rs->IsOpen());
    handle->Close();
    handle->Close();
    EXPECT_FALSE(handle->IsOpen());
    EXPECT_EQ(handle->Path(), db.filePath());

    const std::string closedDb = "The recipe database " + db.filePath().toStdString() + " is closed.";
    EXPECT_EQ(engineError([&] { handle->TableDefs(); }), closedDb);
    EXPECT_EQ(engineError([&] { handle->OpenRecordset(QStringLiteral("Soups")); }), closedDb);
    EXPECT_EQ(engineError([&] { handle->CreateTableDef(QStringLiteral("Pies")); }), closedDb);
    EXPECT_EQ(engineError([&] { handle->DeleteTableDef(QStringLiteral("Soups")); }), closedDb);

    const std::string closedRs = "The category Soups is closed.";
    EXPECT_EQ(engineError([&] { rs->RecordCount(); }), closedRs);
    EXPECT_EQ(engineError([&] { rs->MoveFirst(); }), closedRs);
    EXPECT_EQ(engineError([&] { rs->Fields(0); }), closedRs);
    EXPECT_EQ(engineError([&] { rs->AddNew(); }), closedRs);
    EXPECT_EQ(engineError([&] { rs->Delete(); }), closedRs);
}

TEST_F(DatabaseOpen, ARecordsetOutlivesItsClosedDatabaseHandle)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {testsupport::row(QStringLiteral("Leek"))});
    auto handle = db.open();
    auto rs = handle->OpenRecordset(QStringLiteral("Soups"));
    handle->Close();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));
}

// The file must stay an ordinary SQLCipher database: the stock shell opens it with the
// password alone, and none of the recipe text lies in the file in clear.
TEST_F(DatabaseOpen, StockShellReadsTheFileWithThePasswordAloneAndTheTextIsEncrypted)
{
    const QString shell = QStringLiteral("/usr/bin/sqlcipher");
    if (!QFile::exists(shell))
        GTEST_SKIP() << "the sqlcipher shell is not installed";
    const QString secret = QStringLiteral("Saffron-marrow-custard-8317");
    db.create();
    db.addCategory(QStringLiteral("Desserts"),
                   {testsupport::row(secret, QStringLiteral("Ann"), secret, secret)});

    QProcess process;
    process.start(shell, {db.filePath()});
    ASSERT_TRUE(process.waitForStarted());
    process.write(QStringLiteral("PRAGMA key='%1';\n.headers on\nSELECT * FROM \"Desserts\";\n")
                      .arg(kPassword)
                      .toUtf8());
    process.closeWriteChannel();
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_THAT(out.toStdString(), HasSubstr("Name|Author|Ingredients|Instructions"));
    EXPECT_THAT(out.toStdString(), HasSubstr(QString(secret + QStringLiteral("|Ann|")).toStdString()));

    const QByteArray bytes = db.fileBytes();
    EXPECT_FALSE(bytes.contains(secret.toUtf8()));
    EXPECT_FALSE(bytes.contains(QByteArray(reinterpret_cast<const char *>(secret.utf16()),
                                           secret.size() * 2)));
    EXPECT_FALSE(bytes.contains("Desserts"));
}

}  // namespace
