// The table catalogue: its order, what it leaves out, the rules for new table names, and
// creating and dropping tables.

#include "core/category_schema.h"
#include "engine/db_engine.h"
#include "engine/database.h"
#include "engine/engine_error.h"

#include "support/temp_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testsupport::engineError;
using testsupport::row;
using testsupport::TempDb;

namespace {

class DatabaseCatalogue : public testing::Test {
protected:
    void SetUp() override
    {
        dao::DBEngine::ResetCache();
        db.create();
    }

    // Creates a recipe table the way the store does; throws what the engine throws.
    void createCategory(const QString &name) const
    {
        auto handle = db.open();
        recipes::schema::createTable(*handle, name);
    }
    QStringList schemaNames(const QString &type) const
    {
        QStringList names;
        db.rawExec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = '%1' ORDER BY name")
                       .arg(type),
                   testsupport::kPassword, &names);
        return names;
    }

    TempDb db;
};

TEST_F(DatabaseCatalogue, ListsTablesInDictionaryOrder)
{
    for (const char *name : {"banana", "Apple", "cherry", "apple pie", "Zucchini", "1st", "_x"})
        createCategory(QString::fromUtf8(name));
    // Only another program can make two names SQLite tells apart by letter case.
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE \"éclair\" (a); CREATE TABLE \"Éclair\" (a)")), 0);
    // Accents and letter case count only between otherwise equal names.
    const QStringList expected = {
        QStringLiteral("_x"),        QStringLiteral("1st"),    QStringLiteral("Apple"),
        QStringLiteral("apple pie"), QStringLiteral("banana"), QStringLiteral("cherry"),
        QStringLiteral("Éclair"),    QStringLiteral("éclair"), QStringLiteral("Zucchini"),
    };
    EXPECT_EQ(db.tables(), expected);
}

TEST_F(DatabaseCatalogue, LeavesOutSqliteTablesIndexesAndViewsButListsReservedNamesOthersMade)
{
    createCategory(QStringLiteral("Soups"));
    const QString otherTool = QStringLiteral(
        "CREATE TABLE Counter (id INTEGER PRIMARY KEY AUTOINCREMENT, n);"
        "INSERT INTO Counter (n) VALUES (1);"
        "CREATE TABLE MSysObjects (a); CREATE TABLE MSysACEs (a); CREATE TABLE msysqueries (a);"
        "CREATE VIEW SoupNames AS SELECT Name FROM Soups;"
        "CREATE UNIQUE INDEX CounterN ON Counter (n);"
        "ANALYZE;");
    ASSERT_EQ(db.rawExec(otherTool), 0);
    ASSERT_TRUE(schemaNames(QStringLiteral("table")).contains(QStringLiteral("sqlite_sequence")));
    ASSERT_TRUE(schemaNames(QStringLiteral("table")).contains(QStringLiteral("sqlite_stat1")));

    const QStringList expected = {QStringLiteral("Counter"), QStringLiteral("MSysACEs"),
                                  QStringLiteral("MSysObjects"), QStringLiteral("msysqueries"),
                                  QStringLiteral("Soups")};
    EXPECT_EQ(db.tables(), expected);
}

TEST_F(DatabaseCatalogue, RefusesNamesThatBreakARuleAndSaysWhichRule)
{
    const struct {
        QString name;
        const char *rule;
    } cases[] = {
        {QString(), "A category name cannot be empty."},
        {QString(65, QLatin1Char('x')), "is 65 characters long, but at most 64 fit. Shorten it by 1 character."},
        {QString(65, QChar(0x00E9)), "is 65 characters long"},
        {QStringLiteral(" Soups"), "begins with a blank; a category name may not begin with a blank"},
        {QStringLiteral("Soups.old"), "contains the character .; a category name may not contain"},
        {QStringLiteral("Soups!"), "contains the character !"},
        {QStringLiteral("So`ups"), "contains the character `"},
        {QStringLiteral("[Soups"), "contains the character ["},
        {QStringLiteral("Soups]"), "contains the character ]"},
        {QStringLiteral("\"Soups\""), "contains the character \""},
        {QStringLiteral("Soups\t"), "contains a control character"},
        {QStringLiteral("So\nups"), "contains a control character"},
        {QStringLiteral("So\rups"), "contains a control character"},
        {QStringLiteral("Soups") + QChar(0x7F), "contains a control character"},
        {QStringLiteral("Soups") + QChar(0) + QStringLiteral("x"),
         "The category name \"Soups\u2400x\" contains a control character"},
        {QStringLiteral("sqlite_soups"), "begins with sqlite_"},
        {QStringLiteral("SQLite_Soups"), "begins with sqlite_"},
        {QStringLiteral("Soups") + QChar(0xD800), "contains a broken character"},
    };
    auto handle = db.open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_THAT(engineError([&] { handle->CreateTableDef(c.name); }), HasSubstr(c.rule));
    }
    EXPECT_TRUE(db.tables().isEmpty());
}

// Every allowed name, however odd, must reach SQL only as a quoted identifier: the table is made
// under exactly that name, holds rows, and can be dropped, and nothing else is touched.
TEST_F(DatabaseCatalogue, TakesEveryAllowedNameLiterallyIncludingSqlAndQuotes)
{
    createCategory(QStringLiteral("Soups"));
    db.addRows(QStringLiteral("Soups"), {row(QStringLiteral("Leek"))});
    QString emoji;
    for (int i = 0; i < 64; ++i)
        emoji += QStringLiteral("🍲");
    const QString names[] = {
        QString(64, QLatin1Char('x')),
        emoji,  // 64 characters in 128 UTF-16 units
        QStringLiteral("x'); DROP TABLE Soups; --"),
        QStringLiteral("a' OR '1'='1"),
        QStringLiteral("Soups\" ; DROP TABLE Soups"),  // refused below: the quote is forbidden
        QStringLiteral("Soupe à l'oignon"),
        QStringLiteral("شوربة"),
        QStringLiteral("AB"),
        QStringLiteral("Saporium"),
        QStringLiteral("zzzNothing"),
        QStringLiteral("MSysObjectsOld"),
        QStringLiteral("Soups;Pwd=x"),
        QStringLiteral("50%1 off %2"),
    };
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        if (name.contains(QLatin1Char('"'))) {
            EXPECT_THAT(engineError([&] { createCategory(name); }), HasSubstr("may not contain"));
            continue;
        }
        createCategory(name);
        EXPECT_TRUE(db.tables().contains(name));
        db.addRows(name, {row(name, QStringLiteral("me"))});
        {
            auto rs = db.open()->OpenRecordset(name);
            rs->Edit();
            rs->SetField(1, QStringLiteral("you"));
            rs->Update();
        }
        EXPECT_EQ(db.rows(name), std::vector{row(name, QStringLiteral("you"))});
        db.open()->DeleteTableDef(name);
        EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")});
    }
    EXPECT_EQ(db.rows(QStringLiteral("Soups")), std::vector{row(QStringLiteral("Leek"))});
}

TEST_F(DatabaseCatalogue, RefusesANameTakenInAnyLetterCaseAndCreatesNothing)
{
    createCategory(QStringLiteral("Desserts"));
    createCategory(QStringLiteral("Crème brûlée"));
    const struct {
        QString name;
        const char *message;
    } cases[] = {
        {QStringLiteral("Desserts"), "A category named \"Desserts\" already exists."},
        {QStringLiteral("desserts"), "A category named \"Desserts\" already exists."},
        {QStringLiteral("DESSERTS"), "A category named \"Desserts\" already exists."},
        {QStringLiteral("CRÈME BRÛLÉE"), "A category named \"Crème brûlée\" already exists."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(engineError([&] { createCategory(c.name); }), c.message);
    }
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE VIEW Starters AS SELECT 1")), 0);
    EXPECT_THAT(engineError([&] { createCategory(QStringLiteral("starters")); }),
                HasSubstr("The name \"starters\" is already used for something else"));
    EXPECT_EQ(db.tables(), (QStringList{QStringLiteral("Crème brûlée"), QStringLiteral("Desserts")}));
}

TEST_F(DatabaseCatalogue, RefusesTheReservedNamesInAnyLetterCase)
{
    for (const QString &reserved : dao::DBEngine::ReservedTableNames()) {
        for (const QString &name : {reserved, reserved.toLower(), reserved.toUpper()}) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(engineError([&] { createCategory(name); }),
                      QString(QStringLiteral("The name \"") + name
                       + QStringLiteral("\" is reserved for the database engine's own tables; "
                                        "choose another name for the category."))
                          .toStdString());
        }
    }
    EXPECT_EQ(dao::DBEngine::ReservedTableNames().size(), 7);
    EXPECT_TRUE(db.tables().isEmpty());
}

TEST_F(DatabaseCatalogue, RefusesBadFieldsAndATableWithoutFields)
{
    auto handle = db.open();
    dao::TableDef def = handle->CreateTableDef(QStringLiteral("Soups"));
    EXPECT_THAT(engineError([&] { def.CreateField(QStringLiteral("Na.me"), dao::dbText); }),
                HasSubstr("The field name \"Na.me\" contains the character ."));
    EXPECT_THAT(engineError([&] { def.CreateField(QString(), dao::dbText); }),
                HasSubstr("A field name cannot be empty."));
    EXPECT_THAT(engineError([&] { def.CreateField(QStringLiteral("Name"), dao::FieldType(4)); }),
                HasSubstr("use short text (10) or long text (12)"));
    EXPECT_THAT(engineError([&] { def.Append({QStringLiteral("[Name]"), dao::dbText}); }),
                HasSubstr("may not contain"));
    EXPECT_EQ(engineError([&] { handle->AppendTableDef(def); }),
              "The category Soups has no fields; it needs at least one.");
    def.Append(def.CreateField(QStringLiteral("Name"), dao::dbText));
    EXPECT_EQ(engineError([&] { def.Append(def.CreateField(QStringLiteral("NAME"), dao::dbMemo)); }),
              "The category Soups already has a field named Name.");
    EXPECT_EQ(def.Fields().size(), 1u);
    EXPECT_TRUE(db.tables().isEmpty());
}

TEST_F(DatabaseCatalogue, GivesEachTableAnUnlistedPlainIndexOnItsFirstField)
{
    createCategory(QStringLiteral("Soups"));
    EXPECT_EQ(schemaNames(QStringLiteral("index")), QStringList{QStringLiteral("Soups.Name")});
    QStringList columns;
    db.rawExec(QStringLiteral("PRAGMA table_info(Soups)"), testsupport::kPassword, &columns);
    EXPECT_EQ(columns, (QStringList{QStringLiteral("0|Name|VARCHAR(255)|0|NULL|0"),
                                    QStringLiteral("1|Author|VARCHAR(255)|0|NULL|0"),
                                    QStringLiteral("2|Ingredients|TEXT|0|NULL|0"),
                                    QStringLiteral("3|Instructions|TEXT|0|NULL|0")}));
    // No key and no uniqueness: two recipes may share a name.
    db.addRows(QStringLiteral("Soups"), {row(QStringLiteral("Leek")), row(QStringLiteral("Leek"))});
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 2u);
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")});
}

TEST_F(DatabaseCatalogue, DeletesATableWithItsRowsAndIndexByNameInAnyLetterCase)
{
    createCategory(QStringLiteral("Soups"));
    createCategory(QStringLiteral("Pies"));
    db.addRows(QStringLiteral("Soups"), {row(QStringLiteral("Leek")), row(QStringLiteral("Onion"))});
    // A recordset left open on the table, as after showing a recipe, must not stand in the way.
    auto shown = db.open()->OpenRecordset(QStringLiteral("Soups"));
    EXPECT_EQ(shown->Fields(3), QString());
    db.open()->DeleteTableDef(QStringLiteral("SOUPS"));
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Pies")});
    EXPECT_THAT(engineError([&] { shown->Fields(3); }),
                HasSubstr("Cannot read a recipe of the category Soups"));
    EXPECT_EQ(schemaNames(QStringLiteral("index")), QStringList{QStringLiteral("Pies.Name")});

    createCategory(QStringLiteral("Soups"));
    EXPECT_TRUE(db.rows(QStringLiteral("Soups")).empty());
    EXPECT_EQ(engineError([&] { db.open()->DeleteTableDef(QStringLiteral("Stews")); }),
              "There is no category named Stews in the recipe database " + db.filePath().toStdString()
                  + ".");
    EXPECT_THAT(engineError([&] { db.open()->DeleteTableDef(QStringLiteral("sqlite_master")); }),
                HasSubstr("There is no category named sqlite_master"));
}

}  // namespace

TEST_F(DatabaseCatalogue, AMarkTakenInSlicesCountsEveryRowAndSeesAChangeInAnyOfThem)
{
    createCategory(QStringLiteral("Stews"));
    constexpr std::int64_t n = 45000;  // more rows than one statement of the mark reads
    ASSERT_EQ(db.rawExec(QStringLiteral("WITH RECURSIVE i(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM i WHERE x < %1) "
                                        "INSERT INTO Stews (Name, Instructions) SELECT 'Stew ' || x, 'simmer' FROM i")
                             .arg(n)),
              0);
    const auto mark = [&] {
        dao::DBEngine::ResetCache();
        return db.open()->Mark(QStringLiteral("Stews"));
    };
    const dao::TableMark before = mark();
    EXPECT_EQ(before.rows, n);
    EXPECT_EQ(before.lastRow, n);
    EXPECT_EQ(before.rowSum, n * (n + 1) / 2);
    QStringList lengths;
    db.rawExec(QStringLiteral("SELECT sum(length(Name)) FROM Stews"), testsupport::kPassword, &lengths);
    ASSERT_EQ(lengths.size(), 1);
    EXPECT_EQ(before.firstLengths, lengths.front().toLongLong());
    for (const std::int64_t row : {std::int64_t(1), std::int64_t(30000), n}) {
        SCOPED_TRACE(row);
        ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Stews SET Instructions = 'braise' WHERE rowid = %1").arg(row)), 0);
        const dao::TableMark changed = mark();
        EXPECT_NE(changed.contents, before.contents);
        EXPECT_EQ(changed.rowSum, before.rowSum);
        ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Stews SET Instructions = 'simmer' WHERE rowid = %1").arg(row)), 0);
        EXPECT_EQ(mark(), before) << "the same rows, the same mark";
    }
}
