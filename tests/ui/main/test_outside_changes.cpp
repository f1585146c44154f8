// The window and other programs writing to the same file: their changes show when the window
// is next activated, its own changes never cost a rebuild, and a recipe being typed is never
// disturbed.

#include "main_window_fixture.h"

#include "core/collection.h"


class OutsideChangesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        makeStarterLikeDb();
        open();
    }

    void activate()
    {
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(window.get(), &activation);
    }

    // Every node, indented by depth, with whether it is expanded and current.
    QStringList tree()
    {
        QStringList out;
        testsupport::walkModel(*ui().Tv->model(), [&](const QModelIndex &node, int depth) {
            out << QString(QString(2 * depth, QLatin1Char(' ')) + node.data().toString()
                           + (ui().Tv->isExpanded(node) ? QStringLiteral(" +") : QString())
                           + (ui().Tv->currentIndex() == node ? QStringLiteral(" *") : QString()));
        });
        return out;
    }

    void insertElsewhere(const QString &category, const QString &name)
    {
        ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO %1 (Name) VALUES ('%2')").arg(category, name)), 0);
    }
};

TEST_F(OutsideChangesTest, AnotherProgramsChangesShowAtTheNextActivation)
{
    struct Case {
        const char *what;
        QString sql;
        QString category;
        int recipes;
    };
    const Case cases[] = {
        {"a recipe added", QStringLiteral("INSERT INTO Breads (Name) VALUES ('Naan ')"), QStringLiteral("Breads"), 2},
        {"a recipe deleted", QStringLiteral("DELETE FROM Soups WHERE Name = 'Pea '"), QStringLiteral("Soups"), 1},
        {"a category added", QStringLiteral("CREATE TABLE Cakes (Name VARCHAR(255), Author VARCHAR(255), "
                                            "Ingredients TEXT, Instructions TEXT)"),
         QStringLiteral("Cakes"), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList before = tree();
        ASSERT_EQ(db.rawExec(c.sql), 0);
        EXPECT_EQ(tree(), before) << "nothing changes until the window is activated";
        activate();
        EXPECT_EQ(categoryChildren(c.category), c.recipes);
    }
}

TEST_F(OutsideChangesTest, ARebuildKeepsTheOpenedCategoriesAndTheChosenRecipe)
{
    clickNode(QStringLiteral("Pea"), QStringLiteral("Soups"));
    ui().Tv->expand(findNode(QStringLiteral("Breads"), QStringLiteral("Saporium")));
    const QStringList shown = boxes();
    QStringList expected = tree();
    expected.insert(expected.indexOf(QStringLiteral("    Rye")) + 1, QStringLiteral("    Naan"));

    insertElsewhere(QStringLiteral("Breads"), QStringLiteral("Naan "));
    activate();
    EXPECT_EQ(tree(), expected);
    EXPECT_EQ(boxes(), shown);
}

TEST_F(OutsideChangesTest, TheWindowsOwnChangesDoNotRebuildTheTree)
{
    // Written through the connection the window writes through, as its commands and imports do;
    // only a rebuild would show it.
    // The tree follows them row by row instead, on the same model.
    const QAbstractItemModel *shown = ui().Tv->model();
    recipes::Collection(db.basePath(), RecipeBas::kPassword)
        .addRecipe(QStringLiteral("Breads"), recipes::Recipe{QStringLiteral("Naan"), {}, {}, {}});
    activate();
    EXPECT_EQ(ui().Tv->model(), shown) << "rebuilt";
    EXPECT_EQ(categoryChildren(QStringLiteral("Breads")), 2);
}

TEST_F(OutsideChangesTest, NoRebuildWhileARecipeIsTypedOrACategoryChosen)
{
    struct Mode {
        const char *what;
        std::function<void()> enter;
        QWidget *leave;
    };
    const Mode modes[] = {
        {"adding", [this] { click(ui().add); }, ui().Cancel},
        {"editing",
         [this] {
             clickNode(QStringLiteral("Leek"), QStringLiteral("Soups"));
             click(ui().Edit);
         },
         ui().canceledit},
        {"choosing a category to delete", [this] { click(ui().xpcmdbutton1); }, ui().cancelcata},
    };
    int added = 0;
    for (const Mode &m : modes) {
        SCOPED_TRACE(m.what);
        m.enter();
        if (!ui().Text1->isReadOnly())
            ui().Text1->setText(QStringLiteral("Half typed"));
        const QStringList before = tree();
        const QStringList typed = boxes();
        const QStringList buttons = modeButtons();

        insertElsewhere(QStringLiteral("Soups"), QStringLiteral("Broth %1 ").arg(++added));
        activate();
        EXPECT_EQ(tree(), before);
        EXPECT_EQ(boxes(), typed);
        EXPECT_EQ(modeButtons(), buttons);

        click(m.leave);
        activate();  // the change missed while busy is caught up with now
        EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 2 + added);
    }
}
