// Finding a table and reading its first field quickly: the exact spelling of a name wins over
// one differing in letter case, and a table of another tool gets the index on its first field
// that the engine's own tables are made with, whenever that is possible and never at any cost to
// the operation that reads it.

#include "platform/database.h"

#include "support/temp_db.h"

#define SQLITE_HAS_CODEC 1
#include <sqlcipher/sqlite3.h>

#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testsupport::engineError;
using testsupport::kConnect;
using testsupport::kPassword;
using testsupport::TempDb;

namespace {

class DatabaseLookup : public testing::Test {
protected:
    void SetUp() override
    {
        dao::DBEngine::ResetCache();
        db.create();
    }
    void makeTables(const QString &sql) { ASSERT_EQ(db.rawExec(sql), 0) << sql.toStdString(); }
    QStringList indexesOn(const QString &table) const
    {
        QStringList names;
        db.rawExec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = '%1' "
                                  "ORDER BY name")
                       .arg(table),
                   kPassword, &names);
        return names;
    }
    // The first field of every row, as a recordset opened through handle reads it.
    static QStringList firstFields(dao::Database &handle, const QString &table)
    {
        auto rs = handle.OpenRecordset(table);
        QStringList out;
        for (int n = rs->RecordCount(); n > 0; --n) {
            out.append(rs->Fields(0).value_or(QStringLiteral("(null)")));
            if (n > 1)
                rs->MoveNext();
        }
        return out;
    }

    TempDb db;
};

TEST_F(DatabaseLookup, OpensTheTableSpelledExactlySoBeforeOneDifferingOnlyInLetterCase)
{
    makeTables(QStringLiteral("CREATE TABLE \"éclair\" (a); INSERT INTO \"éclair\" VALUES ('small');"
                              "CREATE TABLE \"Éclair\" (a); INSERT INTO \"Éclair\" VALUES ('capital');"));
    auto handle = db.open();
    EXPECT_EQ(firstFields(*handle, QStringLiteral("éclair")), QStringList{QStringLiteral("small")});
    EXPECT_EQ(firstFields(*handle, QStringLiteral("Éclair")), QStringList{QStringLiteral("capital")});
    // No exact match: the first in catalogue order that differs only in letter case.
    EXPECT_EQ(firstFields(*handle, QStringLiteral("ÉCLAIR")), QStringList{QStringLiteral("capital")});
    EXPECT_THAT(engineError([&] { handle->OpenRecordset(QStringLiteral("sqlite_master")); }),
                HasSubstr("There is no category named sqlite_master"));
}

TEST_F(DatabaseLookup, AnotherToolsTableGetsAPlainIndexOnItsFirstFieldWhenFirstRead)
{
    makeTables(QStringLiteral("CREATE TABLE Pies (Title TEXT, Baker TEXT, Filling TEXT);"
                              "INSERT INTO Pies VALUES ('Rhubarb ', 'Ann ', 'stalks '), ('Apple ', 'Bo ', 'fruit '),"
                              "  ('Cherry ', NULL, 'stones ');"));
    auto handle = db.open();
    EXPECT_EQ(handle->TableDefs(), QStringList{QStringLiteral("Pies")});
    EXPECT_TRUE(indexesOn(QStringLiteral("Pies")).isEmpty()) << "listing the tables changes nothing";

    const QStringList stored = {QStringLiteral("Rhubarb "), QStringLiteral("Apple "), QStringLiteral("Cherry ")};
    EXPECT_EQ(firstFields(*handle, QStringLiteral("Pies")), stored);
    EXPECT_EQ(indexesOn(QStringLiteral("Pies")), QStringList{QStringLiteral("Pies.Title")});
    QStringList plan;
    db.rawExec(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid, Title FROM Pies"), kPassword, &plan);
    EXPECT_THAT(plan.join(QLatin1Char('\n')).toStdString(), HasSubstr("COVERING INDEX Pies.Title"));

    // Still no key and no uniqueness, and the rows keep their stored order, not the index's.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Pies (Title) VALUES ('Apple ')")), 0);
    EXPECT_EQ(firstFields(*handle, QStringLiteral("Pies")), stored + QStringList{QStringLiteral("Apple ")});
    EXPECT_EQ(indexesOn(QStringLiteral("Pies")), QStringList{QStringLiteral("Pies.Title")});
}

TEST_F(DatabaseLookup, AnyIndexLeadingWithTheFirstFieldServesButNoPartialOrOtherOne)
{
    const struct {
        const char *schema;
        QStringList after;
    } cases[] = {
        {"CREATE TABLE t (Name, Crust); CREATE UNIQUE INDEX Named ON t (Name, Crust)", {QStringLiteral("Named")}},
        {"CREATE TABLE t (Name COLLATE NOCASE, Crust); CREATE INDEX Folded ON t (Name DESC)",
         {QStringLiteral("Folded")}},
        {"CREATE TABLE t (Name PRIMARY KEY, Crust)", {QStringLiteral("sqlite_autoindex_t_1")}},
        {"CREATE TABLE t (Name, Crust); CREATE INDEX Partial ON t (Name) WHERE Crust IS NOT NULL",
         {QStringLiteral("Partial"), QStringLiteral("t.Name")}},
        {"CREATE TABLE t (Name, Crust); CREATE INDEX ByCrust ON t (Crust, Name)",
         {QStringLiteral("ByCrust"), QStringLiteral("t.Name")}},
        {"CREATE TABLE t (Name, Crust); CREATE INDEX ByLength ON t (length(Name))",
         {QStringLiteral("ByLength"), QStringLiteral("t.Name")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.schema);
        dao::DBEngine::ResetCache();
        TempDb fresh;
        fresh.create();
        ASSERT_EQ(fresh.rawExec(QString::fromUtf8(c.schema) + QStringLiteral("; INSERT INTO t VALUES ('Tart', 'short')")), 0);
        EXPECT_EQ(firstFields(*fresh.open(), QStringLiteral("t")), QStringList{QStringLiteral("Tart")});
        QStringList indexes;
        fresh.rawExec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"), kPassword,
                      &indexes);
        EXPECT_EQ(indexes, c.after);
    }
}

TEST_F(DatabaseLookup, AReadOnlyOpenOrALockHeldElsewhereLeavesTheTableAsItIs)
{
    makeTables(QStringLiteral("CREATE TABLE Pies (Title, Baker); INSERT INTO Pies VALUES ('Plum ', 'Cy ');"));
    const QStringList plum = {QStringLiteral("Plum ")};
    EXPECT_EQ(firstFields(*dao::DBEngine::OpenDatabase(db.basePath(), false, true, kConnect), QStringLiteral("Pies")),
              plum);
    EXPECT_TRUE(indexesOn(QStringLiteral("Pies")).isEmpty());

    // Another connection in the middle of a write: SQLite lets it be read, but not written.
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(db.filePath()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    const QByteArray key = kPassword.toUtf8();
    sqlite3_key(other, key.constData(), static_cast<int>(key.size()));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; INSERT INTO Pies VALUES ('Fig ', 'Di ')", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    EXPECT_EQ(firstFields(*db.open(), QStringLiteral("Pies")), plum);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(indexesOn(QStringLiteral("Pies")).isEmpty());

    // Tried once per connection; a fresh one, as at the next start, tries again.
    EXPECT_EQ(firstFields(*db.open(), QStringLiteral("Pies")), plum);
    EXPECT_TRUE(indexesOn(QStringLiteral("Pies")).isEmpty());
    dao::DBEngine::ResetCache();
    EXPECT_EQ(firstFields(*db.open(), QStringLiteral("Pies")), plum);
    EXPECT_EQ(indexesOn(QStringLiteral("Pies")), QStringList{QStringLiteral("Pies.Title")});
}

TEST_F(DatabaseLookup, ATableNoRecordsetCanReadIsLeftUntouched)
{
    makeTables(QStringLiteral("CREATE TABLE Zebra (Stripes INTEGER, Name TEXT PRIMARY KEY) WITHOUT ROWID;"
                              "INSERT INTO Zebra VALUES (12, 'plains');"
                              "CREATE TABLE Hidden (rowid, _rowid_, oid); INSERT INTO Hidden VALUES (1, 2, 3);"));
    auto handle = db.open();
    EXPECT_THAT(engineError([&] { handle->OpenRecordset(QStringLiteral("Zebra")); }),
                HasSubstr("Cannot open the category Zebra"));
    EXPECT_THAT(engineError([&] { handle->OpenRecordset(QStringLiteral("Hidden")); }),
                HasSubstr("its columns hide the row numbers"));
    EXPECT_TRUE(indexesOn(QStringLiteral("Zebra")).isEmpty());
    EXPECT_TRUE(indexesOn(QStringLiteral("Hidden")).isEmpty());
}

}  // namespace
