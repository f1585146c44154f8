// The find bar on the real window: typing filters the tree, closing gives the catalogue back,
// and the matches work as the tree does.
#include "core/search_service.h"
#include "ui/main/find_bar.h"
#include "ui/main/main_window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>

namespace {

class FindTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        makeStarterLikeDb();
        open();
    }

    QLineEdit *find() { return control<QLineEdit>(*window, "Find"); }
    QString count() { return control<QLabel>(*window, "FindCount")->text(); }

    // Every node, indented by depth, expanded or not shown as "+".
    QStringList tree()
    {
        QStringList out;
        testsupport::walkModel(*ui().Tv->model(), [&](const QModelIndex &node, int depth) {
            testsupport::fetchAll(*ui().Tv->model(), node);
            out << QString(depth * 2, QLatin1Char(' ')) + node.data().toString()
                    + (ui().Tv->model()->rowCount(node) && !ui().Tv->isExpanded(node) ? QStringLiteral(" +") : QString());
        });
        return out;
    }

    // Types the query as a user does, then waits for the tree to show its matches.
    void type(const QString &text)
    {
        QSignalSpy shown(&window->findBar(), &mainform::FindBar::matchesShown);
        find()->clear();
        QTest::keyClicks(find(), text);
        ASSERT_TRUE(shown.wait(20000)) << "no matches shown for " << text.toStdString();
    }
};

TEST_F(FindTest, CtrlFFiltersTheTreeAsYouTypeAndEscapeGivesTheCatalogueBack)
{
    const QStringList catalogue = tree();
    const int treeHeight = ui().Tv->height();
    QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(find()->isVisible());
    EXPECT_TRUE(find()->hasFocus());
    EXPECT_EQ(find()->accessibleName(), QStringLiteral("Find"));
    EXPECT_LT(ui().Tv->height(), treeHeight) << "the tree gives up the bar's height";

    const struct {
        QString typed;
        QStringList tree;
        QString count;
    } cases[] = {
        {QStringLiteral("LEEK"), {QStringLiteral("Saporium"), QStringLiteral("  Soups"), QStringLiteral("    Leek")},
         QStringLiteral("1 recipe")},
        {QStringLiteral("author:bo"), {QStringLiteral("Saporium"), QStringLiteral("  Soups"), QStringLiteral("    Pea")},
         QStringLiteral("1 recipe")},
        {QStringLiteral("-water"),
         {QStringLiteral("Saporium"), QStringLiteral("  Breads"), QStringLiteral("    Rye"), QStringLiteral("  Soups"),
          QStringLiteral("    Pea")},
         QStringLiteral("2 recipes")},
        {QStringLiteral("nothing"), {QStringLiteral("Saporium")}, QStringLiteral("0 recipes")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        type(c.typed);
        EXPECT_EQ(tree(), c.tree);
        EXPECT_EQ(count(), c.count);
    }

    // An empty query is the whole tree; Escape closes the bar and rebuilds the catalogue.
    find()->clear();
    EXPECT_EQ(tree(), catalogue);
    type(QStringLiteral("rye"));
    QTest::keyClick(find(), Qt::Key_Escape);
    EXPECT_FALSE(find()->isVisible());
    EXPECT_EQ(tree(), catalogue);
    EXPECT_EQ(ui().Tv->height(), treeHeight);
}

TEST_F(FindTest, MatchesWorkAsTheTreeAndChangesKeepTheSearchUpToDate)
{
    auto *menu = window->findChild<QMenu *>(QStringLiteral("TreeMenu"));
    ASSERT_NE(menu, nullptr);
    ASSERT_FALSE(menu->actions().empty());
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Find..."));
    menu->actions().front()->trigger();
    ASSERT_TRUE(find()->isVisible());

    type(QStringLiteral("boil"));
    clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
    EXPECT_EQ(boxes().first(), QStringLiteral("Leek "));

    // Saved while searching: the matches are asked for again.
    click(ui().Edit);
    ui().Text1->setText(QStringLiteral("Leek soup"));
    QSignalSpy shown(&window->findBar(), &mainform::FindBar::matchesShown);
    click(ui().saveedited);
    ASSERT_TRUE(shown.wait(20000));
    EXPECT_EQ(tree(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Soups"), QStringLiteral("    Leek soup")}));

    // Another program's change is found at the next query.
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Breads (Name, Instructions) VALUES ('Flatbread ', 'boil, then bake ')")),
              0);
    type(QStringLiteral("boil"));
    EXPECT_EQ(tree(), (QStringList{QStringLiteral("Saporium"), QStringLiteral("  Breads"), QStringLiteral("    Flatbread"),
                                   QStringLiteral("  Soups"), QStringLiteral("    Leek soup")}));

    // The close button, like Escape, shows the whole file again.
    click(control<xpcmdbutton>(*window, "closefind"));
    EXPECT_EQ(categoryChildren(QStringLiteral("Breads")), 2);
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2);
}

}  // namespace
