// Filling the catalogue tree from the category tables.

#include "store_fixture.h"

#include <QIcon>

using testsupport::row;
using testsupport::Row;

namespace {

bool sameImage(const QPixmap &a, const QPixmap &b) { return a.toImage() == b.toImage(); }

}  // namespace

TEST_F(StoreTest, FillCatalogueListsCategoriesIgnoringCaseAndRecipesInStoredOrder)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek ")), row(QStringLiteral("  Carrot  "))});
    db.addCategory(QStringLiteral("breads"), {row(QStringLiteral("Rye ")), row(QStringLiteral("Rye "))});
    db.addCategory(QStringLiteral("Apple dishes"),
                   {Row{std::nullopt, std::nullopt, std::nullopt, std::nullopt}, row(QStringLiteral("   "))});

    store.FillCatalogue();

    EXPECT_EQ(treeLines(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Apple dishes"),
                                        QStringLiteral("    "), QStringLiteral("    "),
                                        QStringLiteral("  breads"), QStringLiteral("    Rye"),
                                        QStringLiteral("    Rye"), QStringLiteral("  Soups"),
                                        QStringLiteral("    Leek"), QStringLiteral("    Carrot")}));
    EXPECT_TRUE(store.List1().isEmpty());
    EXPECT_FALSE(store.IsOpen());
    EXPECT_FALSE(store.HasOpenCategory());
}

TEST_F(StoreTest, NodeKeysTellTheRootCategoriesAndRecipesApart)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "))});
    store.FillCatalogue();

    const platform::Node root = tv.nodeByKey(QStringLiteral("AB"));
    ASSERT_FALSE(root.isNull());
    EXPECT_EQ(root.text(), QStringLiteral("Saporium"));
    const platform::Node soups = tv.nodeByKey(QStringLiteral("Soups"));
    ASSERT_FALSE(soups.isNull());
    EXPECT_EQ(soups.parent(), root);
    const platform::Node leek = soups.child(0);
    EXPECT_EQ(leek.key(), QString());
    EXPECT_EQ(leek.text(), QStringLiteral("Leek"));
    EXPECT_EQ(leek.parent().text(), QStringLiteral("Soups"));
}

TEST_F(StoreTest, FullTreeShowsTheSelectedImageButTheCategoryTreeDoesNot)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "))});

    store.FillCatalogue();
    const auto icon = [](const platform::Node &node) { return node.index.data(Qt::DecorationRole).value<QIcon>(); };
    platform::Node category = tv.nodeByKey(QStringLiteral("Soups"));
    testsupport::fetchAll(*tree.model(), category.index);
    const platform::Node recipe = category.child(0);
    EXPECT_TRUE(sameImage(icon(tv.Top(0)).pixmap(16, QIcon::Normal), images[0]));
    EXPECT_TRUE(sameImage(icon(category).pixmap(16, QIcon::Normal), images[1]));
    EXPECT_TRUE(sameImage(icon(category).pixmap(16, QIcon::Selected), images[2]));
    EXPECT_TRUE(sameImage(icon(recipe).pixmap(16, QIcon::Normal), images[3]));
    EXPECT_TRUE(sameImage(icon(recipe).pixmap(16, QIcon::Selected), images[2]));

    store.FillCategories();
    category = tv.nodeByKey(QStringLiteral("Soups"));
    EXPECT_FALSE(tree.model()->hasChildren(category.index));
    EXPECT_TRUE(sameImage(icon(category).pixmap(16, QIcon::Selected), images[1]));
}

TEST_F(StoreTest, OnlyTheLastCategoryIsExpandedAfterAFill)
{
    db.create();
    db.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("Rye "))});
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek ")), row(QStringLiteral("Pea "))});
    store.FillCatalogue();
    EXPECT_FALSE(tv.IsExpanded(tv.nodeByKey(QStringLiteral("Breads"))));
    EXPECT_TRUE(tv.IsExpanded(tv.nodeByKey(QStringLiteral("Soups"))));

    // An empty category sorting last keeps every category folded.
    db.addCategory(QStringLiteral("zzzNothing"));
    store.FillCatalogue();
    EXPECT_FALSE(tv.IsExpanded(tv.nodeByKey(QStringLiteral("Soups"))));
    EXPECT_TRUE(tv.IsExpanded(tv.Top(0)));
    EXPECT_EQ(treeLines().last(), QStringLiteral("  zzzNothing"));
}

TEST_F(StoreTest, EngineTablesAreSkippedOnlyUnderTheirExactNames)
{
    db.create();
    rawSql("CREATE TABLE MSysObjects (Name TEXT); CREATE TABLE \"msysobjects2\" (Name TEXT);");
    store.FillCatalogue();
    EXPECT_EQ(treeLines(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  msysobjects2")}));
}

TEST_F(StoreTest, AFileWithNoCategoriesShowsTheRootAlone)
{
    db.create();
    store.FillCatalogue();
    EXPECT_EQ(treeLines(), QStringList{QStringLiteral("Saporium")});
    store.FillCategories();
    EXPECT_EQ(treeLines(), QStringList{QStringLiteral("Saporium")});
}

TEST_F(StoreTest, AnEmptyFirstCategoryGetsNoChildrenAndTheFillGoesOn)
{
    db.create();
    db.addCategory(QStringLiteral("Appetisers"));
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "))});
    store.FillCatalogue();
    EXPECT_EQ(treeLines(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Appetisers"),
                                        QStringLiteral("  Soups"), QStringLiteral("    Leek")}));
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(StoreTest, AFailingOpenLeavesTheTreeAsItWasAndReachesTheCaller)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "))});
    store.FillCatalogue();
    const QStringList before = treeLines();

    store.session().switchTo(db.folder() + QStringLiteral("/Missing"));
    EXPECT_THROW(store.FillCatalogue(), std::exception);
    EXPECT_EQ(treeLines(), before);
    EXPECT_THROW(store.FillCategories(), std::exception);
    EXPECT_EQ(treeLines(), before);
    EXPECT_FALSE(QFileInfo::exists(db.folder() + QStringLiteral("/Missing.mdb")));
}

TEST_F(StoreTest, AnUnreadableFirstCategoryStopsTheFillButALaterOneIsSkipped)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek "))});
    // A table another tool made without row ids cannot be read as a category.
    rawSql("CREATE TABLE \"Zebra\" (Name TEXT PRIMARY KEY) WITHOUT ROWID;"
           "INSERT INTO \"Zebra\" VALUES ('stripes');");
    store.FillCatalogue();
    EXPECT_EQ(treeLines(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Soups"),
                                        QStringLiteral("    Leek"), QStringLiteral("  Zebra")}));

    rawSql("CREATE TABLE \"Aardvark\" (Name TEXT PRIMARY KEY) WITHOUT ROWID;");
    EXPECT_THROW(store.FillCatalogue(), std::exception);
    EXPECT_EQ(treeLines(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Aardvark")}));
}

TEST_F(StoreTest, AFillAcrossTheOldListLimitShowsEveryRecipe)
{
    db.create();
    db.addCategory(QStringLiteral("Many"));
    rawSql("INSERT INTO \"Many\" (Name) WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
           "WHERE i < 32999) SELECT 'Recipe ' || i || ' ' FROM n;");
    store.FillCatalogue();
    const platform::Node many = tv.nodeByKey(QStringLiteral("Many"));
    testsupport::fetchAll(*tree.model(), many.index);
    ASSERT_EQ(many.childCount(), 33000);
    EXPECT_EQ(many.child(32999).text(), QStringLiteral("Recipe 32999"));
}

TEST_F(StoreTest, CloseStoreMayRunAnyTimeAnyNumberOfTimes)
{
    store.CloseStore();
    store.CloseStore();
    db.create();
    store.OpenStore();
    EXPECT_TRUE(store.IsOpen());
    store.CloseStore();
    store.CloseStore();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_TRUE(dialogs.shown().empty());
}
