// Finding a table and reading its first field quickly: the exact spelling of a name wins over
// one differing in letter case. Viewing never writes to the file; a table of another tool gets
// the index on its first field that the engine's own tables are made with when the program
// first writes to it, in that write's transaction.

#include "engine/db_engine.h"
#include "engine/engine_error.h"

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

    // Adds a row whose first field is name through a recordset of handle.
    static void addRow(dao::Database &handle, const QString &table, const QString &name)
    {
        auto rs = handle.OpenRecordset(table);
        rs->AddNew();
        rs->SetField(0, name);
        rs->Update();
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

TEST_F(DatabaseLookup, ViewingAnotherToolsTableLeavesTheFileAsItIsAndTheFirstWriteIndexesIt)
{
    makeTables(QStringLiteral("CREATE TABLE Pies (Title TEXT, Baker TEXT, Filling TEXT);"
                              "INSERT INTO Pies VALUES ('Rhubarb ', 'Ann ', 'stalks '), ('Apple ', 'Bo ', 'fruit '),"
                              "  ('Cherry ', NULL, 'stones ');"));
    const QByteArray before = db.fileBytes();
    const QStringList stored = {QStringLiteral("Rhubarb "), QStringLiteral("Apple "), QStringLiteral("Cherry ")};
    for (const bool readOnly : {true, false}) {
        auto handle = dao::DBEngine::OpenDatabase(db.basePath(), false, readOnly, kConnect);
        EXPECT_EQ(handle->TableDefs(), QStringList{QStringLiteral("Pies")});
        EXPECT_EQ(firstFields(*handle, QStringLiteral("Pies")), stored);
    }
    EXPECT_EQ(db.fileBytes(), before) << "viewing wrote to the file";

    addRow(*db.open(), QStringLiteral("Pies"), QStringLiteral("Plum "));
    EXPECT_EQ(indexesOn(QStringLiteral("Pies")), QStringList{QStringLiteral("Pies.Title")});
    QStringList plan;
    db.rawExec(QStringLiteral("EXPLAIN QUERY PLAN SELECT rowid, Title FROM Pies"), kPassword, &plan);
    EXPECT_THAT(plan.join(QLatin1Char('\n')).toStdString(), HasSubstr("COVERING INDEX Pies.Title"));

    // Still no key and no uniqueness, and the rows keep their stored order, not the index's.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Pies (Title) VALUES ('Apple ')")), 0);
    const QStringList added = {QStringLiteral("Plum "), QStringLiteral("Apple ")};
    EXPECT_EQ(firstFields(*db.open(), QStringLiteral("Pies")), stored + added);
}

TEST_F(DatabaseLookup, AWriteServesItselfWithAnyIndexLeadingWithTheFirstFieldButNoPartialOrOtherOne)
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
        // The name the index would take is another table's: the write goes ahead without one.
        {"CREATE TABLE t (Name, Crust); CREATE TABLE \"t.Name\" (x)", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.schema);
        dao::DBEngine::ResetCache();
        TempDb fresh;
        fresh.create();
        ASSERT_EQ(fresh.rawExec(QString::fromUtf8(c.schema) + QStringLiteral("; INSERT INTO t VALUES ('Tart', 'short')")), 0);
        addRow(*fresh.open(), QStringLiteral("t"), QStringLiteral("Pie"));
        const QStringList both = {QStringLiteral("Tart"), QStringLiteral("Pie")};
        EXPECT_EQ(firstFields(*fresh.open(), QStringLiteral("t")), both);
        QStringList indexes;
        fresh.rawExec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 't' "
                                     "ORDER BY name"),
                      kPassword, &indexes);
        EXPECT_EQ(indexes, c.after);
    }
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
