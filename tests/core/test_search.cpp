// Search across recipes without a window: the query language, keeping the index right, and the
// service that answers from its own thread.
#include "core/collection.h"
#include "core/recipe_batch.h"
#include "core/search_index.h"
#include "core/search_service.h"
#include "support/temp_db.h"

#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using recipes::Collection;
using recipes::Recipe;
using recipes::SearchHit;
using recipes::SearchIndex;
using testsupport::row;

class SearchTest : public ::testing::Test {
protected:
    SearchTest()
    {
        db.create();
        db.addCategory(QStringLiteral("Desserts"),
                       {row(QStringLiteral("Cr\u00E8me br\u00FBl\u00E9e "), QStringLiteral("Ann "),
                            QStringLiteral("cream\r\nsugar\r\neggs "), QStringLiteral("Bake, then burn the sugar. ")),
                        row(QStringLiteral("Apple tart "), QStringLiteral("Bo "), QStringLiteral("apples\r\nbutter "),
                            QStringLiteral("Bake. "))});
        db.addCategory(QStringLiteral("Soups"),
                       {row(QStringLiteral("Tomato soup "), QStringLiteral("Bo "), QStringLiteral("tomatoes\r\ncream "),
                            QStringLiteral("Simmer. ")),
                        row(QStringLiteral("Leek and potato soup "), QStringLiteral("Cy "),
                            QStringLiteral("leeks\r\npotatoes\r\nstock "), QStringLiteral("Simmer, then blend. "))});
    }

    // The hits as "Category/Name".
    static QStringList names(const std::vector<SearchHit> &hits)
    {
        QStringList out;
        for (const SearchHit &hit : hits)
            out.append(hit.category + QLatin1Char('/') + hit.name);
        return out;
    }

    testsupport::TempDb db;
};

TEST_F(SearchTest, QueriesMatchWordStartsWithoutCaseOrAccentsAndHonourExclusionsPhrasesAndFields)
{
    SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(index.sync(), 4);
    const QString creme = QStringLiteral("Desserts/Cr\u00E8me br\u00FBl\u00E9e");
    const QString apple = QStringLiteral("Desserts/Apple tart");
    const QString tomato = QStringLiteral("Soups/Tomato soup");
    const QString leek = QStringLiteral("Soups/Leek and potato soup");
    const struct {
        QString typed;
        QStringList found;
    } cases[] = {
        {QStringLiteral("creme"), {creme}},
        {QStringLiteral("BR\u00DBL"), {creme}},
        {QStringLiteral("tom"), {tomato}},
        {QStringLiteral("soup"), {tomato, leek}},
        {QStringLiteral("cream"), {creme, tomato}},
        {QStringLiteral("bake sugar"), {creme}},
        {QStringLiteral("soup -cream"), {leek}},
        {QStringLiteral("-cream"), {apple, leek}},
        {QStringLiteral("\"potato soup\""), {leek}},
        {QStringLiteral("\"soup potato\""), {}},
        {QStringLiteral("author:bo"), {apple, tomato}},
        {QStringLiteral("name:cream"), {}},
        {QStringLiteral("ingredients:cream -name:tomato"), {creme}},
        {QStringLiteral("cream -\"burn the\" -eggs"), {tomato}},
        {QStringLiteral("name:\"and potato\""), {leek}},
        {QStringLiteral("\"tomato"), {tomato}},
        {QStringLiteral("- leek"), {leek}},
        {QStringLiteral("OR NEAR"), {}},
        {QStringLiteral("then, blend!"), {leek}},
        {QStringLiteral("-"), {}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(names(index.find(c.typed)), c.found) << c.typed.toStdString();
}

TEST_F(SearchTest, TheIndexFollowsOwnAndOtherProgramsChangesRewritingOnlyWhatDiffers)
{
    const QString indexFile = SearchIndex::indexPathFor(db.filePath());
    {
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        index.sync();
        EXPECT_EQ(index.sync(), 0) << "nothing changed";

        // Another program's changes: read again at the next sync.
        ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Soups SET Name = 'Onion soup ' WHERE Name = 'Tomato soup '")), 0);
        ASSERT_EQ(db.rawExec(QStringLiteral("DELETE FROM Desserts WHERE Name = 'Apple tart '")), 0);
        EXPECT_EQ(index.sync(), 2);
        EXPECT_EQ(names(index.find(QStringLiteral("soup"))),
                  (QStringList{QStringLiteral("Soups/Onion soup"), QStringLiteral("Soups/Leek and potato soup")}));
        EXPECT_TRUE(index.find(QStringLiteral("apple")).empty());

        // The program's own changes, taken in as they are told.
        QObject receiver;
        QObject::connect(&recipes::ChangeFeed::instance(), &recipes::ChangeFeed::changed, &receiver,
                         [&](const recipes::Change &change) { index.apply(change); });
        Collection collection(db.basePath(), recipes::kBuiltInPassword);
        collection.addRecipe(QStringLiteral("Soups"), Recipe{QStringLiteral(" Pea soup"), {}, QStringLiteral("peas"), {}});
        collection.updateRecipe(QStringLiteral("Soups"), QStringLiteral("Onion soup"),
                                Recipe{QStringLiteral("Onion broth"), {}, {}, {}});
        collection.deleteCategory(QStringLiteral("desserts"));
        {
            recipes::RecipeBatch batch(collection);
            batch.add(batch.category(QStringLiteral("Soups")), Recipe{QStringLiteral("Bean soup"), {}, {}, {}});
            batch.commit();
        }
        EXPECT_EQ(names(index.find(QStringLiteral("soup"))),
                  (QStringList{QStringLiteral("Soups/Leek and potato soup"), QStringLiteral("Soups/Pea soup"),
                               QStringLiteral("Soups/Bean soup")}));
        EXPECT_TRUE(index.find(QStringLiteral("creme")).empty());
        EXPECT_EQ(index.sync(), 0) << "the own changes left nothing to catch up";
    }
    // The index file is encrypted, holds nothing the recipe file lacks, and may go at any time.
    QFile file(indexFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("Leek"));
    file.close();
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")}) << "nothing was added to the recipe file";
    ASSERT_TRUE(QFile::remove(indexFile));
    SearchIndex rebuilt(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(rebuilt.sync(), 4);
    EXPECT_EQ(rebuilt.find(QStringLiteral("pea")).size(), 1u);
}

TEST_F(SearchTest, TheServiceAnswersFromItsThreadAndNoticesOthersChangesBeforeTheNextQuery)
{
    recipes::SearchService service(db.basePath(), recipes::kBuiltInPassword);
    QSignalSpy found(&service, &recipes::SearchService::found);
    const auto answer = [&](const QString &typed) {
        const int ticket = service.find(typed);
        // Answers come in order; only this ticket's is looked at.
        while (found.isEmpty() || found.last().at(0).toInt() != ticket)
            if (!found.wait(20000))
                return QStringList{QStringLiteral("(no answer)")};
        return names(found.last().at(1).value<std::vector<SearchHit>>());
    };
    EXPECT_EQ(answer(QStringLiteral("leek")), QStringList{QStringLiteral("Soups/Leek and potato soup")});

    Collection(db.basePath(), recipes::kBuiltInPassword)
        .addRecipe(QStringLiteral("Soups"), Recipe{QStringLiteral("Leek broth"), {}, {}, {}});
    EXPECT_EQ(answer(QStringLiteral("leek")),
              (QStringList{QStringLiteral("Soups/Leek and potato soup"), QStringLiteral("Soups/Leek broth")}));

    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Desserts (Name) VALUES ('Leek cake ')")), 0);
    EXPECT_EQ(answer(QStringLiteral("leek")),
              (QStringList{QStringLiteral("Desserts/Leek cake"), QStringLiteral("Soups/Leek and potato soup"),
                           QStringLiteral("Soups/Leek broth")}));
}

}  // namespace
