// A recipe scaled and recipes put on a shopping list, through the real window's tree menu: the
// boxes' lines, their Print (the program's print files) and Copy, and a list that keeps the
// copies it took whatever happens to the recipes after.
#include "main_window_fixture.h"

#include "core/printed_recipe.h"
#include "ui/main/cooking_commands.h"
#include "ui/main/scale_box.h"
#include "ui/main/shopping_list_box.h"

#include "ui/print/print_test_files.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kSoups = QStringLiteral("Soups");

class CookingTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        db.create();
        db.addCategory(kSoups, {row(QStringLiteral("Leek "), QStringLiteral("Ann "),
                                    QStringLiteral("Serves 4\r\n2 leeks\r\n1 l water\r\nSalt to taste "),
                                    QStringLiteral("Boil. ")),
                                row(QStringLiteral("Pea "), QStringLiteral("Bo "),
                                    QStringLiteral("1 1/2 cups peas\r\n500 ml stock\r\n1 leek "),
                                    QStringLiteral("Simmer. "))});
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Runs a command of the tree's menu on a node; a command the menu does not show fails.
    void run(const QString &node, const QString &parent, const QString &command)
    {
        const QModelIndex item = findNode(node, parent);
        ASSERT_TRUE(item.isValid()) << node.toStdString();
        ASSERT_TRUE(menuOn(item).contains(command)) << command.toStdString();
        for (QAction *action : window->findChild<QMenu *>(QStringLiteral("TreeMenu"))->actions())
            if (action->text() == command)
                return action->trigger();
    }

    template <typename Widget>
    Widget *in(QWidget *box, const char *name)
    {
        auto *widget = box->findChild<Widget *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    // A box's lines as shown, and lines as expected, one per text line.
    std::string lines(QWidget *box) { return in<QPlainTextEdit>(box, "Lines")->toPlainText().toStdString(); }
    static std::string lines(const QStringList &expected) { return expected.join(u'\n').toStdString(); }
    static std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }
    QString printFile() { return db.folder() + QStringLiteral("/print.txt"); }
    // The print file's bytes as the print of those four texts writes them.
    static std::string printed(const QString &name, const QString &author, const QStringList &ingredients,
                               const QString &instructions)
    {
        return recipes::printedText(name, author, ingredients.join(QStringLiteral("\r\n")), instructions).toStdString();
    }
    // Presses keys in a box as the active window, as its access keys need: a print preview
    // comes to the front over it.
    void press(QWidget *box, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        box->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(box));
        QTest::keyClick(box, key, modifiers);
    }
    // Closes a box as its Esc key does, and waits until it is gone.
    void closeByEscape(QWidget *box)
    {
        QPointer<QWidget> watched(box);
        press(box, Qt::Key_Escape);
        EXPECT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 10000)) << "Esc left the box open";
    }
};

TEST_F(CookingTest, ScaleShowsTheScaledLinesAsTheNumberChangesAndPrintsThem)
{
    const struct {
        const char *recipe;
        int servings;        // 0: by the factor below
        const char *factor;  // as typed
        QStringList lines;   // empty: the number is refused
    } cases[] = {
        {"Leek", 8, "", {u"Serves 8"_s, u"4 leeks"_s, u"2 l water"_s, u"Salt to taste"_s}},
        {"Leek", 2, "", {u"Serves 2"_s, u"1 leeks"_s, u"0.5 l water"_s, u"Salt to taste"_s}},
        {"Leek", 0, "0,5", {u"Serves 2"_s, u"1 leeks"_s, u"0.5 l water"_s, u"Salt to taste"_s}},
        {"Pea", 0, "2", {u"3 cups peas"_s, u"1000 ml stock"_s, u"2 leek"_s}},
        {"Pea", 0, " 1.5 ", {u"2 1/4 cups peas"_s, u"750 ml stock"_s, u"1.5 leek"_s}},
        {"Pea", 0, "1/2", {u"3/4 cups peas"_s, u"250 ml stock"_s, u"0.5 leek"_s}},
        {"Pea", 0, "-2", {}},
        {"Pea", 0, "two", {}},
        {"Pea", 0, "1001", {}},
        {"Pea", 0, "99999999999999999999", {}},
        // The servings stop where a typed factor does.
        {"Leek", 5000, "", {u"Serves 1000"_s, u"500 leeks"_s, u"250 l water"_s, u"Salt to taste"_s}},
    };
    for (const auto &c : cases) {
        const QString recipe = QString::fromLatin1(c.recipe);
        SCOPED_TRACE(recipe.toStdString() + " servings " + std::to_string(c.servings) + " factor '" + c.factor + "'");
        run(recipe, kSoups, QStringLiteral("Scale..."));
        QWidget *box = window->cookingCommands().scaleBox();
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
        EXPECT_TRUE(box->windowTitle().contains(recipe)) << box->windowTitle().toStdString();
        // Only a recipe that names its servings can be scaled to servings.
        EXPECT_EQ(in<QSpinBox>(box, "Servings")->isEnabled(), recipe == QStringLiteral("Leek"));
        if (c.servings) {
            in<QSpinBox>(box, "Servings")->setValue(c.servings);
        } else {
            auto *factor = in<QLineEdit>(box, "Factor");
            factor->selectAll();
            QTest::keyClicks(factor, QString::fromLatin1(c.factor));
            EXPECT_TRUE(in<QRadioButton>(box, "ByFactor")->isChecked());
        }

        QFile::remove(printFile());
        auto *print = in<xpcmdbutton>(box, "Print");
        EXPECT_EQ(print->isEnabled(), !c.lines.isEmpty());
        EXPECT_EQ(in<xpcmdbutton>(box, "Copy")->isEnabled(), !c.lines.isEmpty());
        EXPECT_EQ(in<QLabel>(box, "Problem")->text().isEmpty(), !c.lines.isEmpty());
        print->click();
        if (c.lines.isEmpty()) {
            EXPECT_TRUE(in<QLabel>(box, "Problem")->text().contains(
                u"the factor must be a number above 0 and at most 1000"_s))
                << in<QLabel>(box, "Problem")->text().toStdString();
            EXPECT_EQ(lines(box), "");
            EXPECT_FALSE(QFile::exists(printFile()));
            continue;
        }
        EXPECT_EQ(lines(box), lines(c.lines));
        const recipes::Recipe stored = *store().session().collection()->recipe(kSoups, recipe);
        EXPECT_EQ(printtest::fileBytes(printFile()), printed(stored.name, stored.author, c.lines, stored.instructions));
        // Copied as shown.
        press(box, Qt::Key_C, Qt::AltModifier);
        EXPECT_EQ(clipboard(), lines(c.lines));
    }
    QWidget *box = window->cookingCommands().scaleBox();
    closeByEscape(box);
    // Nothing stored changed.
    EXPECT_EQ(store().session().collection()->recipe(kSoups, QStringLiteral("Pea"))->ingredients,
              QStringLiteral("1 1/2 cups peas\r\n500 ml stock\r\n1 leek"));
}

TEST_F(CookingTest, TheShoppingListAddsUpTheRecipesAsAddedAndPrintsCopiesAndClears)
{
    run(QStringLiteral("Leek"), kSoups, QStringLiteral("Add to shopping list"));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Leek added to the shopping list."));
    // Twice the peas, from the Scale box.
    run(QStringLiteral("Pea"), kSoups, QStringLiteral("Scale..."));
    QWidget *scale = window->cookingCommands().scaleBox();
    ASSERT_NE(scale, nullptr);
    auto *factor = in<QLineEdit>(scale, "Factor");
    factor->selectAll();
    QTest::keyClicks(factor, QStringLiteral("2"));
    in<xpcmdbutton>(scale, "AddToList")->click();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Pea added to the shopping list."));
    // The list keeps the copy of a recipe deleted since.
    deleteBehindTheBack(kSoups, 0);

    run(QStringLiteral("Saporium"), {}, QStringLiteral("Shopping list..."));
    QWidget *box = window->cookingCommands().listBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box));
    auto *recipesShown = in<QTreeWidget>(box, "Recipes");
    QStringList shown;
    for (int i = 0; i < recipesShown->topLevelItemCount(); ++i)
        shown << recipesShown->topLevelItem(i)->text(0) + u'|' + recipesShown->topLevelItem(i)->text(1);
    EXPECT_EQ(shown.join(u", ").toStdString(), "Leek (Soups)|1, Pea (Soups)|2");
    const QStringList expected = {QStringLiteral("4 leeks"), QStringLiteral("3 cups peas"),
                                  QStringLiteral("Salt to taste"), QStringLiteral("1 l stock"),
                                  QStringLiteral("1 l water")};
    EXPECT_EQ(lines(box), lines(expected));
    EXPECT_FALSE(in<QLabel>(box, "Hint")->isVisible());

    press(box, Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(clipboard(), lines(expected));
    in<xpcmdbutton>(box, "Print")->click();
    EXPECT_EQ(printtest::fileBytes(printFile()),
              printed(QStringLiteral("Shopping list"), {}, expected,
                      QStringLiteral("Leek (Soups) \u00d7 1\r\nPea (Soups) \u00d7 2")));

    press(box, Qt::Key_L, Qt::AltModifier);
    EXPECT_EQ(recipesShown->topLevelItemCount(), 0);
    EXPECT_EQ(lines(box), "");
    EXPECT_TRUE(in<QLabel>(box, "Hint")->isVisible());
    EXPECT_FALSE(in<QLabel>(box, "Hint")->text().isEmpty());
    for (const char *button : {"Print", "Copy", "Clear"})
        EXPECT_FALSE(in<xpcmdbutton>(box, button)->isEnabled()) << button;
    closeByEscape(box);
}

}  // namespace
