// Creating and dropping category tables.

#include "store_fixture.h"

#include <gmock/gmock.h>

using testsupport::row;

class CategoriesTest : public StoreTest {
protected:
    void SetUp() override
    {
        db.create();
        db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek ")), row(QStringLiteral("Pea "))});
    }
};

TEST_F(CategoriesTest, AddCategoryCreatesAnEmptyTableListedInCatalogueOrder)
{
    dialogs.answerInputBox(QStringLiteral("breads"));
    store.AddCategory();

    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].kind, testsupport::ScriptedDialogs::Shown::Input);
    EXPECT_EQ(dialogs.shown()[0].prompt, QStringLiteral("Enter a Name For New Category"));
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Create New Category"));
    EXPECT_EQ(dialogs.shown()[1].prompt, QStringLiteral("breads Category Created"));
    EXPECT_EQ(dialogs.shown()[1].title, QStringLiteral("Saporium"));
    EXPECT_EQ(db.tables(), (QStringList{QStringLiteral("breads"), QStringLiteral("Soups")}));
    EXPECT_TRUE(db.rows(QStringLiteral("breads")).empty());
    EXPECT_EQ(store.NewCategory, QStringLiteral("breads"));
    EXPECT_EQ(treeLines().mid(0, 3), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  breads"),
                                                  QStringLiteral("  Soups")}));
}

TEST_F(CategoriesTest, CancellingTheNameCreatesAndShowsNothing)
{
    store.FillCatalogue();
    const QStringList before = treeLines();
    dialogs.answerInputBox(QString());
    store.AddCategory();
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")});
    EXPECT_EQ(treeLines(), before);
}

TEST_F(CategoriesTest, RefusedNamesCreateNothingAndConfirmNothing)
{
    const QString refused[] = {
        QStringLiteral("soups"),          // exists, in another letter case
        QStringLiteral(" Leading"),       // leading blank
        QStringLiteral("a.b"),            // forbidden character
        QStringLiteral("MSysObjects"),    // the engine's own
        QStringLiteral("AB"),             // the tree's root key
        QStringLiteral("Saporium"),       // the tree's root text
        QString(65, QLatin1Char('x')),    // too long
    };
    for (const QString &name : refused) {
        dialogs.clear();
        dialogs.answerInputBox(name);
        EXPECT_THROW(store.AddCategory(), std::exception) << name.toStdString();
        EXPECT_EQ(dialogs.shown().size(), 1u) << name.toStdString();
    }
    // The root's names are the store's own refusal; the engine would take them.
    dialogs.clear();
    dialogs.answerInputBox(QStringLiteral("AB"));
    EXPECT_EQ(testsupport::engineError([&] { store.AddCategory(); }),
              "\"AB\" is reserved for the top of the recipe tree; please choose another name for the category.");
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")});
}

TEST_F(CategoriesTest, NamesEndingInABlankOrLookingLikeAnotherAreRefused)
{
    struct Case {
        QString name;
        const char *refusal;
    };
    const Case cases[] = {
        {QStringLiteral("Pies "), "may not end with a blank"},
        {QStringLiteral("Cr\u00E8me"), nullptr},
        {QStringLiteral("CRE\u0300ME"), "A category named \"Cr\u00E8me\" already exists."},
        {QStringLiteral("\u202ECr\u00E8me"), "may not contain invisible formatting characters"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const QStringList before = db.tables();
        dialogs.answerInputBox(c.name);
        const std::string error = testsupport::engineError([&] { store.AddCategory(); });
        if (!c.refusal) {
            EXPECT_EQ(error, "(no error)");
            dialogs.clear();
            continue;
        }
        EXPECT_THAT(error, testing::HasSubstr(c.refusal));
        EXPECT_EQ(db.tables(), before);
    }
}

TEST_F(CategoriesTest, DeleteCategoryAsksThenDropsTheTableWithItsRecipes)
{
    dialogs.answerMsgBox(platform::vbYes);
    store.DeleteCategory(QStringLiteral("Soups"));

    ASSERT_EQ(dialogs.shown().size(), 2u);
    EXPECT_EQ(dialogs.shown()[0].prompt,
              QStringLiteral("This will Delete Category \"Soups\"\r\nAll of It's Recipes\r\nDo you want to continue ?"));
    EXPECT_EQ(dialogs.shown()[0].title, QStringLiteral("Warnning"));
    EXPECT_EQ(dialogs.shown()[0].flags, 276);
    EXPECT_EQ(dialogs.shown()[1].prompt, QStringLiteral("Category Soups Has Been Deleted"));
    EXPECT_EQ(dialogs.shown()[1].flags, 0);
    EXPECT_TRUE(db.tables().isEmpty());
    EXPECT_EQ(treeLines(), QStringList{QStringLiteral("Saporium")});
}

TEST_F(CategoriesTest, AnsweringNoChangesNothing)
{
    dialogs.answerMsgBox(platform::vbNo);
    store.DeleteCategory(QStringLiteral("Soups"));
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 2u);
}

TEST_F(CategoriesTest, DeletingACategoryThatIsGoneFailsWithoutConfirming)
{
    dialogs.answerMsgBox(platform::vbYes);
    EXPECT_THROW(store.DeleteCategory(QStringLiteral("Gone")), std::exception);
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_FALSE(store.IsOpen());
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")});
}
