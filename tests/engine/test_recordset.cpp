// Recordsets: stored order, exact counts, positions, nulls, writing rows and the limits on what
// a row may hold.

#include "engine/db_engine.h"
#include "engine/engine_error.h"

#include "support/temp_db.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::HasSubstr;
using testsupport::engineError;
using testsupport::Row;
using testsupport::row;
using testsupport::TempDb;

namespace {

const QString kSoups = QStringLiteral("Soups");

QString repeated(const QString &piece, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

class DatabaseRecordset : public testing::Test {
protected:
    void SetUp() override
    {
        dao::DBEngine::ResetCache();
        db.create();
        db.addCategory(kSoups);
    }
    std::vector<QString> names(const QString &table = kSoups) const
    {
        std::vector<QString> out;
        for (const Row &r : db.rows(table))
            out.push_back(r.name.value_or(QStringLiteral("(null)")));
        return out;
    }
    int count(const QString &table = kSoups) const
    {
        return db.open()->OpenRecordset(table)->RecordCount();
    }

    TempDb db;
};

// The first column is read through an index ordered by name; the rows must still come in the
// order they were added.
TEST_F(DatabaseRecordset, KeepsStoredOrderNotNameOrderAcrossDeletionsInTheMiddle)
{
    db.addRows(kSoups, {row(QStringLiteral("zeta")), row(QStringLiteral("alpha")),
                        row(QStringLiteral("mu")), row(QStringLiteral("beta")),
                        row(QStringLiteral("omega"))});
    {
        auto handle = db.open();
        auto rs = handle->OpenRecordset(kSoups);
        rs->MoveNext();
        rs->Delete();  // alpha
        rs->MoveNext();
        rs->MoveNext();
        rs->Delete();  // beta
        EXPECT_EQ(rs->RecordCount(), 3);
    }
    db.addRows(kSoups, {row(QStringLiteral("aardvark"))});
    const std::vector<QString> expected = {QStringLiteral("zeta"), QStringLiteral("mu"),
                                           QStringLiteral("omega"), QStringLiteral("aardvark")};
    EXPECT_EQ(names(), expected);
    EXPECT_EQ(count(), 4);
}

TEST_F(DatabaseRecordset, CountsEveryRowExactly)
{
    EXPECT_EQ(count(), 0);
    db.addRows(kSoups, {row(QStringLiteral("one"))});
    EXPECT_EQ(count(), 1);
    ASSERT_EQ(db.rawExec(QStringLiteral(
                  "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4999) "
                  "INSERT INTO Soups (Name, Ingredients) SELECT 'r' || i, randomblob(300) FROM n")),
              0);
    EXPECT_EQ(count(), 5000);
    const std::vector<QString> all = names();
    EXPECT_EQ(all.front(), QStringLiteral("one"));
    EXPECT_EQ(all[1], QStringLiteral("r1"));
    EXPECT_EQ(all.back(), QStringLiteral("r4999"));
}

TEST_F(DatabaseRecordset, MovesLikeTheEngineAndRefusesToReadWhereNoRowIs)
{
    {
        auto rs = db.open()->OpenRecordset(kSoups);
        EXPECT_EQ(engineError([&] { rs->MoveFirst(); }), "The category Soups holds no recipes.");
        EXPECT_EQ(engineError([&] { rs->Fields(0); }), "There is no current recipe in the category Soups.");
        EXPECT_EQ(engineError([&] { rs->MoveNext(); }),
                  "There is no further recipe in the category Soups.");
        EXPECT_EQ(engineError([&] { rs->Edit(); }), "There is no current recipe in the category Soups.");
        EXPECT_EQ(engineError([&] { rs->Delete(); }),
                  "There is no current recipe in the category Soups.");
    }
    db.addRows(kSoups, {row(QStringLiteral("Leek")), row(QStringLiteral("Onion"))});
    auto rs = db.open()->OpenRecordset(kSoups);
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));  // the first row is current on opening
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Onion"));
    rs->MoveNext();
    EXPECT_EQ(engineError([&] { rs->Fields(0); }), "There is no current recipe in the category Soups.");
    EXPECT_EQ(engineError([&] { rs->MoveNext(); }), "There is no further recipe in the category Soups.");
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));
    for (int bad : {-1, 4}) {
        SCOPED_TRACE(bad);
        EXPECT_THAT(engineError([&] { rs->Fields(bad); }),
                    HasSubstr("has no field number " + std::to_string(bad)));
    }
    EXPECT_EQ(rs->FieldCount(), 4);
    EXPECT_EQ(rs->FieldName(3), QStringLiteral("Instructions"));
}

TEST_F(DatabaseRecordset, ReadsNeverSetValuesAsNullAndEmptyTextAsText)
{
    auto rs = db.open()->OpenRecordset(kSoups);
    rs->AddNew();
    rs->SetField(2, QString());
    rs->Update();
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0), std::nullopt);
    EXPECT_EQ(rs->Fields(1), std::nullopt);
    EXPECT_EQ(rs->Fields(2), QString());
    EXPECT_TRUE(rs->Fields(2).has_value());
    EXPECT_EQ(rs->Fields(3), std::nullopt);
    QStringList stored;
    db.rawExec(QStringLiteral("SELECT quote(Name), quote(Ingredients) FROM Soups"),
               testsupport::kPassword, &stored);
    EXPECT_EQ(stored, QStringList{QStringLiteral("NULL|''")});
}

TEST_F(DatabaseRecordset, ReadsAnotherProgramsNumbersAsTheirText)
{
    // The last value ends inside a three-byte character: its end must not vanish silently.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Soups VALUES (42, 2.5, NULL, CAST(x'41e282' AS TEXT))")), 0);
    auto rs = db.open()->OpenRecordset(kSoups);
    EXPECT_EQ(rs->Fields(0), QStringLiteral("42"));
    EXPECT_EQ(rs->Fields(1), QStringLiteral("2.5"));
    EXPECT_EQ(rs->Fields(2), std::nullopt);
    const dao::Value cut = rs->Fields(3);
    ASSERT_TRUE(cut.has_value());
    EXPECT_TRUE(cut->startsWith(QLatin1Char('A')));
    EXPECT_GT(cut->size(), 1) << "the broken character reads as a replacement character";
    EXPECT_TRUE(cut->contains(QChar::ReplacementCharacter));
}

TEST_F(DatabaseRecordset, RoundTripsAnyTextExactly)
{
    const QString texts[] = {
        QStringLiteral("plain"),
        QString(),
        QStringLiteral(" padded  "),
        QStringLiteral("nul") + QChar(0) + QStringLiteral("inside") + QChar(0),
        QStringLiteral("line\r\nbreaks\rand\nmore\r\n"),
        QStringLiteral("\ttabs\t\t"),
        QStringLiteral("🍲 soup 👩‍🍳 chef"),
        QStringLiteral("שורבה חמה عربي mixed"),
        QStringLiteral("e\u0301 combining"),
        repeated(QStringLiteral("🍓"), 255),  // 255 characters, 510 UTF-16 units
    };
    const QString memo = repeated(QStringLiteral("Stir gently.\r\n"), 20000);
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        {
            auto rs = db.open()->OpenRecordset(kSoups);
            rs->AddNew();
            for (int i = 0; i < 4; ++i)
                rs->SetField(i, i == 3 ? text + memo : text);
            rs->Update();
        }
        const Row back = db.rows(kSoups).back();
        EXPECT_EQ(back.name, text);
        EXPECT_EQ(back.author, text);
        EXPECT_EQ(back.ingredients, text);
        EXPECT_EQ(back.instructions, text + memo);
    }
}

TEST_F(DatabaseRecordset, RefusesShortTextOverItsLimitAndWritesNothing)
{
    db.addRows(kSoups, {row(QStringLiteral("Leek"), QStringLiteral("Ann"))});
    const struct {
        int field;
        QString value;
        const char *message;
    } cases[] = {
        {0, QString(256, QLatin1Char('x')), "The value of Name is 256 characters long; it holds at most 255."},
        {1, QString(300, QLatin1Char('y')), "The value of Author is 300 characters long; it holds at most 255."},
        {0, repeated(QStringLiteral("🍓"), 256), "The value of Name is 256 characters long; it holds at most 255."},
        {1, QStringLiteral("broken ") + QChar(0xDC00), "The value of Author contains a broken character"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        auto rs = db.open()->OpenRecordset(kSoups);
        rs->AddNew();
        rs->SetField(0, QStringLiteral("New"));
        rs->SetField(c.field, c.value);
        EXPECT_THAT(engineError([&] { rs->Update(); }), HasSubstr(c.message));
        rs->CancelUpdate();
        rs->MoveFirst();
        rs->Edit();
        rs->SetField(2, QStringLiteral("changed"));
        rs->SetField(c.field, c.value);
        EXPECT_THAT(engineError([&] { rs->Update(); }), HasSubstr(c.message));
    }
    EXPECT_EQ(db.rows(kSoups), std::vector{row(QStringLiteral("Leek"), QStringLiteral("Ann"))});

    auto rs = db.open()->OpenRecordset(kSoups);
    rs->Edit();
    rs->SetField(0, QString(255, QLatin1Char('x')));
    rs->SetField(2, QString(100000, QLatin1Char('z')));
    rs->Update();
    EXPECT_EQ(db.rows(kSoups).front().name, QString(255, QLatin1Char('x')));
}

TEST_F(DatabaseRecordset, TheFileItselfRefusesOverlongShortTextFromOtherPrograms)
{
    const QString insert = QStringLiteral("INSERT INTO Soups (Name, Author) VALUES ('%1', '%2')");
    EXPECT_EQ(db.rawExec(insert.arg(QString(255, QLatin1Char('x')), QString(255, QLatin1Char('y')))), 0);
    QString error;
    EXPECT_EQ(db.rawExec(insert.arg(QStringLiteral("x"), QString(256, QLatin1Char('y'))),
                         testsupport::kPassword, nullptr, &error),
              19 /* SQLITE_CONSTRAINT */);
    EXPECT_THAT(error.toStdString(), HasSubstr("CHECK constraint failed"));
    EXPECT_EQ(count(), 1);
}

// Names here are another program's, so they may hold what our rules refuse, such as '%'.
TEST_F(DatabaseRecordset, TakesTheLimitOfAnotherProgramsTableFromItsDeclaredType)
{
    const QString notes = QStringLiteral("Notes %1");
    ASSERT_EQ(db.rawExec(QStringLiteral(
                  "CREATE TABLE \"Notes %1\" (\"Title %2\" nvarchar (10), \"Body %1\", Tag CHAR(2))")),
              0);
    auto rs = db.open()->OpenRecordset(notes);
    rs->AddNew();
    rs->SetField(0, QString(11, QLatin1Char('t')));
    EXPECT_EQ(engineError([&] { rs->Update(); }),
              "The value of Title %2 is 11 characters long; it holds at most 10.");
    rs->SetField(0, QString(10, QLatin1Char('t')));
    rs->SetField(1, QString(5000, QLatin1Char('b')));
    rs->SetField(2, QStringLiteral("abc"));
    EXPECT_EQ(engineError([&] { rs->Update(); }),
              "The value of Tag is 3 characters long; it holds at most 2.");
    rs->SetField(2, QStringLiteral("ab"));
    rs->Update();
    rs->MoveFirst();
    rs->Edit();
    rs->SetField(1, QStringLiteral("body"));
    rs->SetField(2, QStringLiteral("cd"));
    rs->Update();
    QStringList stored;
    db.rawExec(QStringLiteral("SELECT * FROM \"Notes %1\""), testsupport::kPassword, &stored);
    EXPECT_EQ(stored, QStringList{QString(10, QLatin1Char('t')) + QStringLiteral("|body|cd")});
}

TEST_F(DatabaseRecordset, WritesOnlyTheFieldsSetAndKeepsThePosition)
{
    db.addRows(kSoups, {row(QStringLiteral("Leek"), QStringLiteral("Ann"), QStringLiteral("leeks"),
                            QStringLiteral("boil"))});
    auto rs = db.open()->OpenRecordset(kSoups);
    rs->Edit();
    rs->SetField(1, QStringLiteral("Bob"));
    EXPECT_EQ(rs->Fields(1), QStringLiteral("Bob"));  // the pending row reads as edited
    EXPECT_EQ(rs->Fields(2), QStringLiteral("leeks"));
    rs->Update();
    rs->AddNew();
    rs->SetField(0, QStringLiteral("Onion"));
    EXPECT_EQ(rs->Fields(1), std::nullopt);
    rs->Update();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Leek"));  // still on the row it was on
    EXPECT_EQ(rs->RecordCount(), 2);
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Onion"));

    rs->Edit();
    rs->SetField(0, QStringLiteral("Discarded"));
    rs->CancelUpdate();
    EXPECT_EQ(engineError([&] { rs->SetField(0, QStringLiteral("x")); }),
              "A recipe of the category Soups can be changed only after starting to add or edit one.");
    EXPECT_EQ(engineError([&] { rs->Update(); }),
              "There is no added or edited recipe of the category Soups to save.");
    const std::vector<Row> expected = {
        row(QStringLiteral("Leek"), QStringLiteral("Bob"), QStringLiteral("leeks"), QStringLiteral("boil")),
        {QStringLiteral("Onion"), std::nullopt, std::nullopt, std::nullopt},
    };
    EXPECT_EQ(db.rows(kSoups), expected);
}

TEST_F(DatabaseRecordset, ADeletedRowStaysCurrentButUnreadableUntilTheNextMove)
{
    db.addRows(kSoups, {row(QStringLiteral("Leek")), row(QStringLiteral("Onion"))});
    auto rs = db.open()->OpenRecordset(kSoups);
    rs->Delete();
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(engineError([&] { rs->Fields(1); }),
              "The current recipe of the category Soups has been deleted.");
    EXPECT_EQ(engineError([&] { rs->Delete(); }),
              "The current recipe of the category Soups has been deleted.");
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Onion"));
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(0), QStringLiteral("Onion"));
    EXPECT_EQ(names(), std::vector{QStringLiteral("Onion")});
}

// Another program may change the table between two calls; a row it removed is never brought
// back, nor is a change to it reported as saved.
TEST_F(DatabaseRecordset, ReportsARowAnotherProgramDeletedInsteadOfWritingIt)
{
    db.addRows(kSoups, {row(QStringLiteral("Leek"), QStringLiteral("Ann")), row(QStringLiteral("Onion"))});
    auto rs = db.open()->OpenRecordset(kSoups);
    ASSERT_EQ(db.rawExec(QStringLiteral("DELETE FROM Soups WHERE Name = 'Leek'")), 0);
    EXPECT_THAT(engineError([&] { rs->Fields(1); }), HasSubstr("was deleted by another program"));
    rs->Edit();
    rs->SetField(1, QStringLiteral("Bob"));
    EXPECT_THAT(engineError([&] { rs->Update(); }), HasSubstr("was deleted by another program"));
    EXPECT_EQ(db.rows(kSoups), std::vector{row(QStringLiteral("Onion"))});
}

TEST_F(DatabaseRecordset, OpensATableByNameInAnyLetterCaseAndRefusesAMissingOne)
{
    db.addRows(kSoups, {row(QStringLiteral("Leek"))});
    EXPECT_EQ(db.open()->OpenRecordset(QStringLiteral("SOUPS"))->Fields(0), QStringLiteral("Leek"));
    EXPECT_EQ(engineError([&] { db.open()->OpenRecordset(QStringLiteral("Stews")); }),
              "There is no category named Stews in the recipe database " + db.filePath().toStdString()
                  + ".");
}

}  // namespace
