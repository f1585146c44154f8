// The window and other programs writing to the same file: their changes show when the window
// is next activated, its own changes never cost a rebuild, and a recipe being typed is never
// disturbed.

#include "main_window_fixture.h"

#include "core/category_schema.h"
#include "core/collection.h"

#include <QScrollBar>

#include <functional>
#include <random>


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

namespace {

// What a tree view shows: the rows painted in its viewport (indented, "+" when expanded, "*"
// when current), the scroll bar, and each expanded node with its number of rows. Only the names
// on screen are read, as the user sees them.
QStringList onScreen(platform::TreeView &view)
{
    QStringList out;
    const QAbstractItemModel &model = *view.model();
    for (QModelIndex node = view.indexAt(QPoint(1, 1)); node.isValid() && view.visualRect(node).top() < view.viewport()->height();
         node = view.indexBelow(node)) {
        int depth = 0;
        for (QModelIndex up = node.parent(); up.isValid(); up = up.parent())
            ++depth;
        out << QString(2 * depth, QLatin1Char(' ')) + node.data().toString()
                + (view.isExpanded(node) ? QStringLiteral(" +") : QString())
                + (view.currentIndex() == node ? QStringLiteral(" *") : QString());
    }
    out << QStringLiteral("scrolled %1 of %2").arg(view.verticalScrollBar()->value()).arg(view.verticalScrollBar()->maximum());
    const QModelIndex root = model.index(0, 0);
    for (int row = 0; row < model.rowCount(root); ++row)
        if (const QModelIndex category = model.index(row, 0, root); view.isExpanded(category))
            out << QStringLiteral("open: %1 with %2").arg(category.data().toString()).arg(model.rowCount(category));
    if (view.currentIndex().isValid())
        out << QStringLiteral("current: ") + view.currentIndex().data().toString();
    return out;
}

}  // namespace

TEST_F(OutsideChangesTest, AfterEveryCommandTheTreeIsWhatAFreshWindowShows)
{
    // A category past the model's first chunk, so that rows are read from both of its ends.
    std::vector<testsupport::Row> many;
    for (int i = 0; i < 600; ++i)
        many.push_back(row(QStringLiteral("Dish %1 ").arg(i)));
    window->store().CloseStore();
    window.reset();
    db.addCategory(QStringLiteral("Many"), many);
    open();

    std::mt19937 random(20261208);
    const auto pick = [&random](const QStringList &from) {
        return from[static_cast<qsizetype>(random() % static_cast<unsigned>(from.size()))];
    };
    const auto names = [this](const QString &category) {
        QStringList out;
        for (const testsupport::Row &stored : db.rows(category))
            out << recipes::schema::trimBlanks(stored.name.value_or(QString()));
        return out;
    };
    const auto filled = [&](const QString &category) { return !names(category).isEmpty(); };
    const auto anyCategory = [&](const std::function<bool(const QString &)> &fits) {
        QStringList fitting;
        for (const QString &category : db.tables())
            if (fits(category))
                fitting << category;
        return fitting.isEmpty() ? QString() : pick(fitting);
    };
    // The placeholder category cannot be chosen for a new recipe or for deleting.
    const auto choosable = [](const QString &category) { return category != RecipeBas::kNothingCategory; };
    int step = 0;
    struct Command {
        const char *what;
        std::function<void()> run;
        bool keepsItsPlace;  // the window keeps what was open and chosen, so only the rows compare
    };
    const Command commands[] = {
        {"add a recipe", [&] {
             const QString category = anyCategory(choosable);
             click(ui().add);
             clickNode(category, QStringLiteral("Saporium"));
             // Sometimes a name the category has already, typed with blanks around it.
             const QStringList had = names(category);
             ui().Text1->setText(!had.isEmpty() && random() % 3 == 0 ? QStringLiteral(" %1 ").arg(pick(had))
                                                                     : QStringLiteral("New %1").arg(step));
             ui().Text3->setPlainText(QStringLiteral("flour"));
             ui().Text4->setPlainText(QStringLiteral("bake"));
             dialogs.answerMsgBox(platform::vbYes);
             click(ui().Save);
         }, false},
        {"edit a recipe", [&] {
             const QString category = anyCategory(filled);
             if (category.isEmpty())
                 return;
             clickNode(pick(names(category)), category);
             click(ui().Edit);
             if (random() % 2)
                 ui().Text1->setText(QStringLiteral("Renamed %1").arg(step));
             ui().Text2->setText(QStringLiteral("Cook %1").arg(step));
             click(ui().saveedited);
         }, false},
        {"delete a recipe", [&] {
             const QString category = anyCategory(filled);
             if (category.isEmpty())
                 return;
             clickNode(pick(names(category)), category);
             click(ui().delete_);
         }, false},
        {"add a category", [&] {
             dialogs.answerInputBox(QStringLiteral("%1 Category %2").arg(QChar(u'A' + step % 26)).arg(step));
             click(ui().xpcmdbutton2);
         }, false},
        {"delete a category", [&] {
             const QString category = anyCategory([&](const QString &name) { return choosable(name) && name != QStringLiteral("Many"); });
             if (category.isEmpty())
                 return;
             click(ui().xpcmdbutton1);
             clickNode(category, QStringLiteral("Saporium"));
             dialogs.answerMsgBox(platform::vbYes);
             click(ui().delcatagroy);
         }, false},
        {"another program adds a recipe", [&] {
             const QString category = anyCategory([](const QString &) { return true; });
             ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO \"%1\" (Name) VALUES ('Elsewhere %2 ')").arg(category).arg(step)), 0);
             activate();
         }, true},
    };

    for (; step < 40; ++step) {
        const Command &command = commands[random() % std::size(commands)];
        SCOPED_TRACE(testing::Message() << "step " << step << ": " << command.what);
        command.run();
        ASSERT_FALSE(HasFatalFailure());
        if (!ui().delcatagroy->isHidden())
            click(ui().cancelcata);

        testsupport::ScriptedDialogs freshDialogs;
        testsupport::RecordingShell freshShell;
        mainform::MainWindow fresh(freshDialogs, freshShell, db.folder());
        fresh.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
        QCoreApplication::processEvents();
        platform::TreeView &freshTree = *fresh.findChild<platform::TreeView *>(QStringLiteral("Tv"));
        if (command.keepsItsPlace) {
            QStringList shown, expected;
            testsupport::walkModel(*ui().Tv->model(), [&](const QModelIndex &node, int depth) {
                shown << QString(2 * depth, QLatin1Char(' ')) + node.data().toString();
            });
            testsupport::walkModel(*freshTree.model(), [&](const QModelIndex &node, int depth) {
                expected << QString(2 * depth, QLatin1Char(' ')) + node.data().toString();
            });
            ASSERT_EQ(shown.join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
        } else {
            ASSERT_EQ(onScreen(*ui().Tv).join(QLatin1Char('\n')).toStdString(),
                      onScreen(freshTree).join(QLatin1Char('\n')).toStdString());
        }
        fresh.store().CloseStore();
    }
}
