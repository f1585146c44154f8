// The run's steps undone and done again: the file back exactly as before the step (rows, row
// numbers, order, fields) and then exactly as after it, and a step another program's write has
// overtaken refused without a write.
#include "core/change_history.h"
#include "core/recipe_session.h"
#include "core/collection.h"
#include "core/recipe_batch.h"
#include "core/recipe_error.h"
#include "support/temp_db.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using recipes::Collection;
using recipes::Recipe;
using testsupport::row;

class ChangeHistoryTest : public ::testing::Test {
protected:
    ChangeHistoryTest()
    {
        db.create();
        db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "), QStringLiteral("Ann "), QStringLiteral("leeks "),
                                                     QStringLiteral("boil ")),
                                                 row(QStringLiteral("Pea "), QStringLiteral("Bo "), QStringLiteral("peas "),
                                                     QStringLiteral("simmer ")),
                                                 row(QStringLiteral("Bean "), QStringLiteral("Cy "), QStringLiteral("beans "),
                                                     QStringLiteral("soak "))});
        db.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("Rye "), QStringLiteral(" "), QStringLiteral("rye "),
                                                      QStringLiteral("bake "))});
        collection = std::make_unique<Collection>(db.basePath(), recipes::kBuiltInPassword);
        session = std::make_unique<recipes::RecipeSession>(db.basePath());
        history = std::make_unique<recipes::ChangeHistory>(*session);
    }

    // Every table with every row, its row number first, in stored order.
    QStringList file() const
    {
        QStringList out;
        for (const QString &table : db.tables()) {
            out << QStringLiteral("[%1]").arg(table);
            EXPECT_EQ(db.rawExec(QStringLiteral("SELECT rowid, * FROM \"%1\" ORDER BY rowid").arg(table),
                                 testsupport::kPassword, &out),
                      0);
        }
        return out;
    }

    testsupport::TempDb db;
    std::unique_ptr<Collection> collection;
    std::unique_ptr<recipes::RecipeSession> session;
    std::unique_ptr<recipes::ChangeHistory> history;
};

Recipe typed(const QString &name)
{
    return Recipe{name, QStringLiteral("Dee"), name + QStringLiteral(" things"), QStringLiteral("cook")};
}

TEST_F(ChangeHistoryTest, UndoPutsTheFileBackExactlyAndRedoAsTheStepLeftIt)
{
    const struct {
        const char *step;
        std::function<void(Collection &)> make;
    } cases[] = {
        {"add of recipe Kale", [](Collection &c) { c.addRecipe(QStringLiteral("Soups"), typed(QStringLiteral("Kale"))); }},
        {"edit of recipe Pea",
         [](Collection &c) { c.updateRecipe(QStringLiteral("Soups"), QStringLiteral("Pea"), typed(QStringLiteral("Split pea"))); }},
        // The middle row: it must come back between its neighbours, with its own number.
        {"delete of recipe Pea", [](Collection &c) { c.deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Pea")); }},
        {"add of category Cakes", [](Collection &c) { c.addCategory(QStringLiteral("Cakes")); }},
        {"delete of category Soups", [](Collection &c) { c.deleteCategory(QStringLiteral("Soups")); }},
        {"import of 3 recipes",
         [](Collection &c) {
             recipes::RecipeBatch batch(c);
             const QString cakes = batch.category(QStringLiteral("Cakes"));
             batch.add(cakes, typed(QStringLiteral("Sponge")));
             batch.add(cakes, typed(QStringLiteral("Torte")));
             batch.add(QStringLiteral("Breads"), typed(QStringLiteral("Naan")));
             batch.commit();
         }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.step);
        // Each case undoes what it did: the next starts from the same file.
        const QStringList before = file();
        c.make(*collection);
        const QStringList after = file();
        ASSERT_NE(after, before);
        ASSERT_EQ(history->undoText(), QString::fromUtf8(c.step));
        EXPECT_EQ(history->redoText(), QString());

        history->undo();
        EXPECT_EQ(file(), before);
        EXPECT_EQ(history->redoText(), QString::fromUtf8(c.step));

        history->redo();
        EXPECT_EQ(file(), after);
        EXPECT_EQ(history->undoText(), QString::fromUtf8(c.step));

        history->undo();
        ASSERT_EQ(file(), before);
        history->clear();
    }
}

TEST_F(ChangeHistoryTest, StepsUndoInTurnAndANewStepForgetsWhatWasUndone)
{
    const QStringList start = file();
    collection->addCategory(QStringLiteral("Cakes"));
    collection->addRecipe(QStringLiteral("Cakes"), typed(QStringLiteral("Sponge")));
    history->undo();
    history->undo();
    EXPECT_EQ(file(), start);
    EXPECT_EQ(history->undoText(), QString());
    EXPECT_EQ(history->redoText(), QStringLiteral("add of category Cakes"));
    history->redo();
    collection->deleteRecipe(QStringLiteral("Breads"), QStringLiteral("Rye"));
    EXPECT_EQ(history->redoText(), QString());
    EXPECT_EQ(history->undoText(), QStringLiteral("delete of recipe Rye"));
}

TEST_F(ChangeHistoryTest, RefusesAStepAnotherProgramOvertookAndWritesNothing)
{
    collection->deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Pea"));
    // Another program, on a connection of its own, puts a recipe where Pea was.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Soups (rowid, Name) VALUES (2, 'Lentil ')")), 0);
    const QStringList overtaken = file();
    try {
        history->undo();
        ADD_FAILURE() << "the undo was not refused";
    } catch (const recipes::Error &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot undo the delete of recipe Pea: another program has "
                                                          "changed the recipe file since.")))
            << e.message().toStdString();
    }
    EXPECT_EQ(file(), overtaken);
    EXPECT_EQ(history->undoText(), QString()) << "nothing before the other program's write can be undone";
}

TEST_F(ChangeHistoryTest, FollowsAPasswordChangedAfterTheStep)
{
    collection->deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Pea"));
    collection.reset();
    session->changePassword(recipes::kBuiltInPassword, QStringLiteral("a new one"));
    history->undo();
    EXPECT_TRUE(Collection(db.basePath(), QStringLiteral("a new one")).recipe(QStringLiteral("Soups"), QStringLiteral("Pea")));
}

}  // namespace
