// The recipe collection as values, without a window: what a change writes, what a look-up finds,
// and the one error type every failure comes out as.
#include "core/category_schema.h"
#include "core/collection.h"
#include "core/recipe_error.h"
#include "engine/statement.h"
#include "support/temp_db.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

using recipes::Collection;
using recipes::Error;
using recipes::Recipe;
using testsupport::row;
using testsupport::Row;

class CollectionTest : public ::testing::Test {
protected:
    CollectionTest()
    {
        db.create();
        db.addCategory(QStringLiteral("Soups"),
                       {row(QStringLiteral("Pea "), QStringLiteral("Bo ")),
                        row(QStringLiteral("  Leek  "), QStringLiteral(" Ann "), QStringLiteral(" leeks\r\nwater "),
                            QStringLiteral("\tboil ")),
                        row(QStringLiteral("Leek "), QStringLiteral("second")),
                        Row{std::nullopt, QStringLiteral("nameless"), std::nullopt, std::nullopt},
                        row(QStringLiteral("leek "), QStringLiteral("lower case"))});
        db.addCategory(QStringLiteral("Empty"));
        collection = std::make_unique<Collection>(db.basePath(), recipes::kBuiltInPassword);
    }

    // The kind of Error the call throws; Kind::Failure with "(none)" when it throws nothing.
    static std::pair<Error::Kind, QString> failureOf(const std::function<void()> &call)
    {
        try {
            call();
        } catch (const Error &e) {
            return {e.kind(), e.message()};
        }
        return {Error::Kind::Failure, QStringLiteral("(none)")};
    }

    testsupport::TempDb db;
    std::unique_ptr<Collection> collection;
};

TEST(CategorySchema, TrimsSpacesOnlyAndEncodesWithOneTrailingSpace)
{
    const struct {
        QString typed, encoded, decoded;
    } cases[] = {
        {QStringLiteral("  Apple pie "), QStringLiteral("Apple pie "), QStringLiteral("Apple pie")},
        {QString(), QStringLiteral(" "), QString()},
        {QStringLiteral("   "), QStringLiteral(" "), QString()},
        {QStringLiteral("\tTab\r\n"), QStringLiteral("\tTab\r\n "), QStringLiteral("\tTab\r\n")},
        {QStringLiteral(" a  b "), QStringLiteral("a  b "), QStringLiteral("a  b")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(recipes::schema::encode(c.typed), c.encoded);
        EXPECT_EQ(recipes::schema::decode(recipes::schema::encode(c.typed)), c.decoded);
    }
    EXPECT_EQ(recipes::schema::decode(std::nullopt), QString());
    EXPECT_FALSE(recipes::schema::decode(std::nullopt).isNull()) << "null reads as the empty text";
}

TEST_F(CollectionTest, ReadsCategoriesNamesAndFieldsAsValues)
{
    // Tables another tool made: the engine's own names are never listed, a name unlike them is.
    for (const char *name : {"MSysObjects", "msysobjects2"})
        ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE \"%1\" (Name TEXT)").arg(QLatin1String(name))), 0);
    db.addCategory(QStringLiteral("breads"));
    EXPECT_EQ(collection->categories(),
              (QStringList{QStringLiteral("breads"), QStringLiteral("Empty"), QStringLiteral("msysobjects2"),
                           QStringLiteral("Soups")}));
    EXPECT_EQ(collection->recipeNames(QStringLiteral("Soups")),
              (QStringList{QStringLiteral("Pea"), QStringLiteral("Leek"), QStringLiteral("Leek"), QString(),
                           QStringLiteral("leek")}));
    EXPECT_TRUE(collection->recipeNames(QStringLiteral("Empty")).isEmpty());

    // The first match in stored order, letter case counting; every field read back trimmed.
    EXPECT_EQ(collection->recipe(QStringLiteral("Soups"), QStringLiteral("Leek")),
              (Recipe{QStringLiteral("Leek"), QStringLiteral("Ann"), QStringLiteral("leeks\r\nwater"),
                      QStringLiteral("\tboil")}));
    EXPECT_EQ(collection->recipe(QStringLiteral("Soups"), QStringLiteral("leek"))->author, QStringLiteral("lower case"));
    EXPECT_EQ(collection->recipe(QStringLiteral("Soups"), QString())->author, QStringLiteral("nameless"));
    EXPECT_FALSE(collection->recipe(QStringLiteral("Soups"), QStringLiteral("LEEK")));

    // Rows as stored, for a reader that must show the stored blanks.
    const auto rows = collection->openCategory(QStringLiteral("Soups"));
    EXPECT_EQ(rows->stored(1).name, QStringLiteral("  Leek  "));
    EXPECT_EQ(rows->find(QString(), recipes::NullName::MatchesEmpty), 3);
    EXPECT_EQ(rows->find(QString(), recipes::NullName::MatchesNothing), std::nullopt);
    EXPECT_EQ(rows->stored(0).author, QStringLiteral("Bo ")) << "a row before the current one is reached again";
}

TEST_F(CollectionTest, ChangesActOnTheFirstMatchOnlyAndWriteEachFieldEncoded)
{
    const Recipe typed{QStringLiteral(" Stew "), QString(), QStringLiteral("beans"), QStringLiteral("simmer  ")};
    collection->addRecipe(QStringLiteral("Empty"), typed);
    EXPECT_EQ(db.rows(QStringLiteral("Empty")),
              (std::vector<Row>{row(QStringLiteral("Stew "), QStringLiteral(" "), QStringLiteral("beans "),
                                    QStringLiteral("simmer "))}));

    EXPECT_TRUE(collection->updateRecipe(QStringLiteral("Soups"), QStringLiteral(" Leek "), typed));
    EXPECT_TRUE(collection->deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Leek")));
    // A null name matches nothing here, not even the empty name; nor does another letter case.
    for (const QString &name : {QString(), QStringLiteral("LEEK"), QStringLiteral("Gone")}) {
        EXPECT_FALSE(collection->updateRecipe(QStringLiteral("Soups"), name, typed));
        EXPECT_FALSE(collection->deleteRecipe(QStringLiteral("Soups"), name));
    }
    const std::vector<Row> rows = db.rows(QStringLiteral("Soups"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].name, QStringLiteral("Pea "));
    EXPECT_EQ(rows[1], row(QStringLiteral("Stew "), QStringLiteral(" "), QStringLiteral("beans "), QStringLiteral("simmer ")))
        << "the first Leek was updated, then the second deleted as the first match left";
    EXPECT_EQ(rows[2].author, QStringLiteral("nameless"));

    collection->addCategory(QStringLiteral("Pies & tarts"));
    EXPECT_TRUE(collection->categories().contains(QStringLiteral("Pies & tarts")));
    EXPECT_TRUE(collection->recipeNames(QStringLiteral("Pies & tarts")).isEmpty());
    collection->deleteCategory(QStringLiteral("Soups"));
    EXPECT_FALSE(db.tables().contains(QStringLiteral("Soups")));
}

TEST_F(CollectionTest, EveryFailureIsOneErrorTypeWithItsKindAndNothingIsWrittenByARefusal)
{
    const QString gone = QStringLiteral("Gone");
    const Recipe fine{QStringLiteral("Stew"), {}, {}, {}};
    Recipe tooLong = fine;
    tooLong.author = QString(255, u'a');  // with the stored blank, one more than fits
    const struct {
        const char *what;
        std::function<void()> call;
        Error::Kind kind;
        QString message;
    } cases[] = {
        {"open a missing category", [&] { collection->openCategory(gone); }, Error::Kind::NoSuchCategory, {}},
        {"add to a missing category", [&] { collection->addRecipe(gone, fine); }, Error::Kind::NoSuchCategory, {}},
        {"update in a missing category", [&] { collection->updateRecipe(gone, gone, fine); },
         Error::Kind::NoSuchCategory, {}},
        {"delete a missing category", [&] { collection->deleteCategory(gone); }, Error::Kind::NoSuchCategory, {}},
        {"add a category twice", [&] { collection->addCategory(QStringLiteral("soups")); }, Error::Kind::Failure, {}},
        {"add a too long author", [&] { collection->addRecipe(QStringLiteral("Soups"), tooLong); },
         Error::Kind::TooLong,
         QStringLiteral("The text of the Author is 255 characters long, but at most 254 fit. Shorten it by 1 character.")},
        {"update with a too long author",
         [&] { collection->updateRecipe(QStringLiteral("Soups"), QStringLiteral("Pea"), tooLong); },
         Error::Kind::TooLong, {}},
        {"open with a wrong password", [&] { Collection(db.basePath(), QStringLiteral("wrong")); },
         Error::Kind::WrongPassword, {}},
        {"open a missing file",
         [&] { Collection(db.folder() + QStringLiteral("/Other"), recipes::kBuiltInPassword); },
         Error::Kind::Failure, {}},
    };
    const std::vector<Row> before = db.rows(QStringLiteral("Soups"));
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto [kind, message] = failureOf(c.call);
        EXPECT_NE(message, QStringLiteral("(none)"));
        EXPECT_EQ(kind, c.kind);
        if (!c.message.isNull()) {
            EXPECT_EQ(message, c.message);
        }
    }
    EXPECT_EQ(db.rows(QStringLiteral("Soups")), before);
    try {
        collection->addRecipe(QStringLiteral("Soups"), tooLong);
        ADD_FAILURE() << "a too long author was written";
    } catch (const Error &e) {
        EXPECT_EQ((std::tuple{e.field(), e.length(), e.most()}), (std::tuple{1, 255, 254}));
    }
}

TEST_F(CollectionTest, ATooLongValueIsStoredUpToTheLimitItStatesAndRefusedOneBeyond)
{
    // Another program's table, whose columns declare other limits.
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE Pies (Title VARCHAR(50), Baker CHAR(20), Filling TEXT(1000), "
                                        "Method TEXT)")),
              0);
    struct Case {
        const char *category;
        int field;
        int typed;
        const char *refusal;  // nothing: stored
    };
    const Case cases[] = {
        {"Soups", 0, 254, nullptr},
        {"Soups", 0, 255, "The text of the Recipe Name is 255 characters long, but at most 254 fit. Shorten it by 1 character."},
        {"Soups", 0, 256, "The text of the Recipe Name is 256 characters long, but at most 254 fit. Shorten it by 2 characters."},
        {"Soups", 1, 254, nullptr},
        {"Soups", 1, 255, "The text of the Author is 255 characters long, but at most 254 fit. Shorten it by 1 character."},
        {"Soups", 3, 100000, nullptr},
        {"Pies", 0, 49, nullptr},
        {"Pies", 0, 50, "The text of the Recipe Name is 50 characters long, but at most 49 fit. Shorten it by 1 character."},
        {"Pies", 1, 19, nullptr},
        {"Pies", 1, 25, "The text of the Author is 25 characters long, but at most 19 fit. Shorten it by 6 characters."},
        {"Pies", 2, 1000, "The text of the Ingredients is 1000 characters long, but at most 999 fit. Shorten it by 1 character."},
    };
    for (const Case &c : cases) {
        const QString category = QString::fromLatin1(c.category);
        SCOPED_TRACE(category.toStdString() + " field " + std::to_string(c.field) + " " + std::to_string(c.typed));
        Recipe typed{QStringLiteral("Leek"), QStringLiteral("Ann"), QStringLiteral("leeks"), QStringLiteral("boil")};
        // Blanks around the text are trimmed before counting, as the text is stored.
        typed.field(c.field) = QStringLiteral("  ") + QString(c.typed, QLatin1Char('x')) + QStringLiteral("  ");
        const auto before = db.rows(category).size();
        const auto [kind, error] = failureOf([&] { collection->addRecipe(category, typed); });
        if (!c.refusal) {
            EXPECT_EQ(error, QStringLiteral("(none)"));
            EXPECT_EQ(db.rows(category).size(), before + 1);
            continue;
        }
        EXPECT_EQ(kind, Error::Kind::TooLong);
        EXPECT_EQ(error, QString::fromUtf8(c.refusal));
        EXPECT_EQ(db.rows(category).size(), before);
    }
}

}  // namespace

// A change in a category of thousands of recipes visits about as much of the file as the same
// change in a category of a few: the recipe is found through the name index, not by reading
// every row. The target is written by another program with spaces around its name, last.
TEST(CollectionCost, ChangesCostTheSameInABigCategoryAsInASmallOne)
{
    testsupport::TempDb db;
    db.create();
    const QString target = QStringLiteral("Target");
    for (const auto &[category, size] : {std::pair{QStringLiteral("Small"), 5}, std::pair{QStringLiteral("Big"), 20000}}) {
        db.addCategory(category);
        const auto handle = db.open();
        const auto transaction = handle->BeginTrans();
        const auto appender = handle->OpenAppender(category);
        for (int i = 0; i < size; ++i)
            appender->Append({QStringLiteral("Target ") + QString::number(i) + QLatin1Char(' '), QStringLiteral("x ")});
        appender->Append({QStringLiteral("  Target  "), QStringLiteral("other program")});
        transaction->Commit();
    }
    Collection collection(db.basePath(), recipes::kBuiltInPassword);
    const Recipe typed{target, QStringLiteral("me"), QStringLiteral("i"), QStringLiteral("p")};
    const struct {
        const char *change;
        std::function<bool(const QString &category)> run;
    } changes[] = {
        {"update", [&](const QString &c) { return collection.updateRecipe(c, QStringLiteral(" Target"), typed); }},
        {"add", [&](const QString &c) { collection.addRecipe(c, typed); return true; }},
        {"delete", [&](const QString &c) { return collection.deleteRecipe(c, target); }},
        {"missing", [&](const QString &c) { return !collection.updateRecipe(c, QStringLiteral("Targe"), typed); }},
    };
    for (const auto &change : changes) {
        std::uint64_t cost[2] = {};
        int n = 0;
        for (const QString &category : {QStringLiteral("Small"), QStringLiteral("Big")}) {
            const std::uint64_t before = dao::Statement::stepsRun();
            EXPECT_TRUE(change.run(category)) << change.change << " in " << category.toStdString();
            cost[n++] = dao::Statement::stepsRun() - before;
        }
        EXPECT_LE(cost[1], 2 * cost[0] + 200) << change.change << ": small " << cost[0] << ", big " << cost[1];
    }
    const std::vector<Row> big = db.rows(QStringLiteral("Big"));
    ASSERT_EQ(big.size(), 20001u);
    EXPECT_EQ(big.back(), row(QStringLiteral("Target "), QStringLiteral("me "), QStringLiteral("i "), QStringLiteral("p ")))
        << "the other program's row was updated, then deleted, leaving the added one";
    EXPECT_EQ(big[20000 - 1].name, QStringLiteral("Target 19999 "));
}
