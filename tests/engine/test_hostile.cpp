// A file someone hands the user may carry SQL of its own, or be made to keep the program busy;
// and another program may reuse a row's number between our read and our write. None of it may
// act through the program's writes or hang it, and the file is left as it was.

#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "engine/connection.h"
#include "engine/full_text_index.h"

#include "support/temp_db.h"

#include <QFile>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

using testing::HasSubstr;
using testsupport::row;
using testsupport::TempDb;

namespace {

const QString kSoups = QStringLiteral("Soups");
const QString kBreads = QStringLiteral("Breads");

class HostileFile : public testing::Test {
protected:
    void SetUp() override
    {
        dao::DBEngine::ResetCache();
        db.create();
        db.addCategory(kSoups, {row(QStringLiteral("Leek ")), row(QStringLiteral("Pea "))});
        db.addCategory(kBreads, {row(QStringLiteral("Rye "))});
    }
    void TearDown() override { dao::Connection::setStatementTimeLimit(std::chrono::seconds(5)); }

    // The kind of EngineError the action throws, or nothing.
    static std::optional<dao::EngineError::Kind> errorKind(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const dao::EngineError &e) {
            return e.kind();
        }
        return std::nullopt;
    }
    bool journalLeft() const { return QFile::exists(db.filePath() + QStringLiteral("-journal")); }

    TempDb db;
};

}  // namespace

TEST_F(HostileFile, TriggersInTheFileNeverRunWithTheProgramsWrites)
{
    ASSERT_EQ(db.rawExec(QStringLiteral(
                  "CREATE TRIGGER wipe AFTER INSERT ON Soups BEGIN DELETE FROM Breads; END;"
                  "CREATE TRIGGER spin AFTER DELETE ON Soups BEGIN "
                  "  WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c; END;")),
              0);
    auto rs = db.open()->OpenRecordset(kSoups);
    rs->AddNew();
    rs->SetField(0, QStringLiteral("Onion "));
    rs->Update();
    rs->MoveFirst();
    rs->Delete();
    EXPECT_EQ(db.rows(kBreads).size(), 1u) << "the insert trigger ran";
    EXPECT_EQ(db.rows(kSoups).size(), 2u);
    EXPECT_FALSE(journalLeft());
}

TEST_F(HostileFile, ARowWhoseNumberAnotherProgramReusedIsNeitherOverwrittenNorDeleted)
{
    const std::function<void(dao::Recordset &)> changes[] = {
        [](dao::Recordset &rs) {
            rs.Edit();
            rs.SetField(1, QStringLiteral("Zed "));
            rs.Update();
        },
        [](dao::Recordset &rs) { rs.Delete(); },
    };
    for (const auto &change : changes) {
        auto rs = db.open()->OpenRecordset(kSoups);
        rs->MoveFirst();
        rs->MoveNext();  // "Pea", the last row: its number is the next to be handed out
        ASSERT_EQ(db.rawExec(QStringLiteral("DELETE FROM Soups WHERE Name = 'Pea ';"
                                            "INSERT INTO Soups (Name, Author) VALUES ('Fig ', 'Al ');")),
                  0);
        const auto rows = db.rows(kSoups);
        EXPECT_EQ(errorKind([&] { change(*rs); }), dao::EngineError::Kind::RecipeChanged);
        EXPECT_EQ(db.rows(kSoups), rows) << "the newcomer was changed";
        ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Soups SET Name = 'Pea ' WHERE Name = 'Fig '")), 0);
    }
}

TEST_F(HostileFile, AStatementRunningPastTheTimeLimitIsStoppedAndTheFileLeftAsItWas)
{
    // Another tool's table, without the index the first write would add: creating it on many
    // rows takes far more steps than the limit allows.
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE Pies (Name, Author, Ingredients, Instructions);"
                                        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)"
                                        "  INSERT INTO Pies (Name) SELECT 'pie ' || i FROM n;")),
              0);
    const QByteArray before = db.fileBytes();
    auto handle = db.open();
    auto rs = handle->OpenRecordset(QStringLiteral("Pies"));
    dao::Connection::setStatementTimeLimit(std::chrono::milliseconds(0));
    rs->AddNew();
    rs->SetField(0, QStringLiteral("Plum "));
    try {
        rs->Update();
        ADD_FAILURE() << "not stopped";
    } catch (const dao::EngineError &e) {
        EXPECT_EQ(e.kind(), dao::EngineError::Kind::TimedOut);
        EXPECT_THAT(e.message().toStdString(), HasSubstr("kept the program busy"));
        EXPECT_THAT(e.message().toStdString(), HasSubstr("nothing was changed"));
    }
    dao::Connection::setStatementTimeLimit(std::chrono::seconds(5));
    EXPECT_EQ(db.fileBytes(), before);
    EXPECT_FALSE(journalLeft());
    EXPECT_EQ(handle->OpenRecordset(QStringLiteral("Pies"))->RecordCount(), 3000) << "usable again";
}

TEST_F(HostileFile, TheSearchIndexWorksUnderALimitOfItsOwn)
{
    // The limit every connection has would stop the first step of its work.
    dao::Connection::setStatementTimeLimit(std::chrono::milliseconds(0));
    dao::FullTextIndex index(db.folder() + QStringLiteral("/Recipe.mdb.search"), QStringLiteral("key"));
    index.begin();
    for (int i = 0; i < 2000; ++i)
        index.put(kSoups, i + 1, quint64(i), {QStringLiteral("Leek %1").arg(i), QString(), QStringLiteral("leeks stock"), QString()});
    index.commit();
    EXPECT_EQ(index.match(QStringLiteral("leeks"), {}).size(), 2000u);
}
