// Showing, adding, updating and deleting single recipes.

#include "store_fixture.h"

using testsupport::row;
using testsupport::Row;

namespace {
const QString kSoups = QStringLiteral("Soups");
}

class RecordsTest : public StoreTest {
protected:
    void SetUp() override
    {
        db.create();
        db.addCategory(kSoups, {row(QStringLiteral("Leek "), QStringLiteral(" Ann  "), QStringLiteral("leeks "),
                                    QStringLiteral("boil ")),
                                row(QStringLiteral("Pea "), QStringLiteral("Bo "), QStringLiteral("peas "),
                                    QStringLiteral("simmer ")),
                                row(QStringLiteral("  Leek  "), QStringLiteral("Cy "), QStringLiteral("more leeks "),
                                    QStringLiteral("roast ")),
                                Row{std::nullopt, std::nullopt, std::nullopt, std::nullopt}});
    }
};

TEST_F(RecordsTest, ShowRecipeShowsTheFirstMatchWithTheStoredNameAndTrimmedFields)
{
    store.ShowRecipe(kSoups, QStringLiteral("Leek"));
    EXPECT_EQ(boxes(), (QStringList{QStringLiteral("Leek "), QStringLiteral("Ann"), QStringLiteral("leeks"),
                                    QStringLiteral("boil")}));
    // A match leaves the store open until the next operation.
    EXPECT_TRUE(store.IsOpen());
}

TEST_F(RecordsTest, ShowRecipeMatchesANullNameByTheEmptyName)
{
    setBoxes(QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x"));
    store.ShowRecipe(kSoups, QString());
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));
}

TEST_F(RecordsTest, ShowRecipeWithoutAMatchLocksTheBoxesAndKeepsTheirText)
{
    t1.SetLocked(false);
    setBoxes(QStringLiteral("typed"), QString(), QString(), QString());
    store.ShowRecipe(kSoups, QStringLiteral("leek"));  // letter case matters
    EXPECT_EQ(boxes().first(), QStringLiteral("typed"));
    EXPECT_TRUE(t1.Locked() && t2.Locked() && t3.Locked() && t4.Locked());
    EXPECT_FALSE(store.IsOpen());
}

TEST_F(RecordsTest, ShowRecipeOfAMissingCategoryFailsToTheCaller)
{
    EXPECT_THROW(store.ShowRecipe(QStringLiteral("Gone"), QStringLiteral("Leek")), std::exception);
}

TEST_F(RecordsTest, AddRecipeStoresEachBoxTrimmedWithOneSpaceAtTheEnd)
{
    setBoxes(QStringLiteral("  Apple pie "), QString(), QStringLiteral("apples\r\nflour  "),
             QStringLiteral(" Crème brûlée → 焼く\r\n\r\nserve\t "));
    store.AddRecipe(kSoups);
    const std::vector<Row> rows = db.rows(kSoups);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.back(), row(QStringLiteral("Apple pie "), QStringLiteral(" "), QStringLiteral("apples\r\nflour "),
                               QStringLiteral("Crème brûlée → 焼く\r\n\r\nserve\t ")));
    // The boxes are the caller's business.
    EXPECT_EQ(boxes().first(), QStringLiteral("  Apple pie "));

    // Read back, the fields come out as typed (the name keeps its one trailing space).
    store.ShowRecipe(kSoups, QStringLiteral("Apple pie"));
    EXPECT_EQ(boxes(), (QStringList{QStringLiteral("Apple pie "), QString(), QStringLiteral("apples\r\nflour"),
                                    QStringLiteral("Crème brûlée → 焼く\r\n\r\nserve\t")}));
}

TEST_F(RecordsTest, AddRecipeOfAnAllEmptyRecipeStoresFourSingleSpaces)
{
    setBoxes(QString(), QString(), QString(), QString());
    store.AddRecipe(kSoups);
    EXPECT_EQ(db.rows(kSoups).back(), row(QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
                                          QStringLiteral(" ")));
}

TEST_F(RecordsTest, AddRecipeWithATooLongNameWritesNothing)
{
    setBoxes(QString(256, QLatin1Char('n')), QString(), QString(), QString());
    EXPECT_THROW(store.AddRecipe(kSoups), std::exception);
    EXPECT_EQ(db.rows(kSoups).size(), 4u);
    EXPECT_FALSE(store.IsOpen());

    setBoxes(QString(255, QLatin1Char('n')), QString(), QString(), QString());
    EXPECT_THROW(store.AddRecipe(kSoups), std::exception) << "255 characters plus the stored space is 256";
    setBoxes(QString(254, QLatin1Char('n')), QString(), QString(), QString());
    store.AddRecipe(kSoups);
    EXPECT_EQ(db.rows(kSoups).size(), 5u);
}

TEST_F(RecordsTest, UpdateRecipeOverwritesOnlyTheFirstMatchThenClearsAndRefills)
{
    setBoxes(QStringLiteral("Leek soup"), QStringLiteral("Dee"), QStringLiteral("3 leeks"), QStringLiteral("stew"));
    EXPECT_EQ(store.UpdateRecipe(kSoups, QStringLiteral(" Leek ")), RecipeBas::Outcome::Done);
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{QStringLiteral("Recipe UpDated")});
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Saporium"));
    EXPECT_EQ(dialogs.shown()[0].flags, 0);

    const std::vector<Row> rows = db.rows(kSoups);
    EXPECT_EQ(rows[0], row(QStringLiteral("Leek soup "), QStringLiteral("Dee "), QStringLiteral("3 leeks "),
                           QStringLiteral("stew ")));
    EXPECT_EQ(rows[2].name, QStringLiteral("  Leek  "));
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));
    EXPECT_TRUE(treeLines().contains(QStringLiteral("    Leek soup")));
}

TEST_F(RecordsTest, UpdateRecipeOfANameNoLongerThereKeepsTheBoxesAndSaysNothing)
{
    setBoxes(QStringLiteral("typed"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
    // A null name never matches here, not even the empty name.
    EXPECT_EQ(store.UpdateRecipe(kSoups, QString()), RecipeBas::Outcome::NotFound);
    EXPECT_EQ(store.UpdateRecipe(kSoups, QStringLiteral("Gone")), RecipeBas::Outcome::NotFound);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(boxes().first(), QStringLiteral("typed"));
    EXPECT_EQ(db.rows(kSoups)[3].name, std::nullopt);
}

TEST_F(RecordsTest, UpdateRecipeWithARefusedValueKeepsRowBoxesAndSaysNoSuccess)
{
    const std::vector<Row> before = db.rows(kSoups);
    setBoxes(QStringLiteral("Leek"), QString(300, QLatin1Char('a')), QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_THROW(store.UpdateRecipe(kSoups, QStringLiteral("Leek")), std::exception);
    EXPECT_EQ(db.rows(kSoups), before);
    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(boxes()[1], QString(300, QLatin1Char('a')));
    EXPECT_FALSE(store.IsOpen());
}

TEST_F(RecordsTest, UpdateRecipeOnAnEmptyCategoryFindsNothing)
{
    db.addCategory(QStringLiteral("Empty"));
    EXPECT_EQ(store.UpdateRecipe(QStringLiteral("Empty"), QStringLiteral("Leek")), RecipeBas::Outcome::NotFound);
    EXPECT_THROW(store.UpdateRecipe(QStringLiteral("Gone"), QStringLiteral("Leek")), std::exception);
}

TEST_F(RecordsTest, DeleteRecipeRemovesOnlyTheFirstMatch)
{
    setBoxes(QStringLiteral("Leek "), QString(), QString(), QString());
    EXPECT_EQ(store.DeleteRecipe(kSoups, QStringLiteral("Leek")), RecipeBas::Outcome::Done);
    const std::vector<Row> rows = db.rows(kSoups);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Pea "));
    EXPECT_EQ(rows[1].name, QStringLiteral("  Leek  "));
    EXPECT_EQ(boxes(), (QStringList{QString(), QString(), QString(), QString()}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(RecordsTest, DeleteRecipeOfANameNotThereDeletesNothingButStillRefills)
{
    setBoxes(QStringLiteral("Gone"), QString(), QString(), QString());
    EXPECT_EQ(store.DeleteRecipe(kSoups, QStringLiteral("Gone")), RecipeBas::Outcome::NotFound);
    EXPECT_EQ(db.rows(kSoups).size(), 4u);
    EXPECT_EQ(boxes().first(), QString());
    EXPECT_EQ(treeLines().first(), QStringLiteral("Saporium"));
}

TEST_F(RecordsTest, DeletingTheOnlyRecipeLeavesAnEmptyCategory)
{
    db.addCategory(QStringLiteral("Teas"), {row(QStringLiteral("Mint "))});
    EXPECT_EQ(store.DeleteRecipe(QStringLiteral("Teas"), QStringLiteral("Mint")), RecipeBas::Outcome::Done);
    EXPECT_TRUE(db.rows(QStringLiteral("Teas")).empty());
    const int at = int(treeLines().indexOf(QStringLiteral("  Teas")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(at, treeLines().size() - 1) << "no children follow the category";
}

TEST_F(RecordsTest, DeleteRecipeOfAMissingCategoryFailsBeforeTouchingTheBoxes)
{
    setBoxes(QStringLiteral("Leek "), QString(), QString(), QString());
    EXPECT_THROW(store.DeleteRecipe(QString(), QStringLiteral("Leek")), std::exception);
    EXPECT_EQ(boxes().first(), QStringLiteral("Leek "));
}
