// Every command from the keyboard: Tab reaches every control in the form's order, and each
// shortcut presses its button exactly where that button is shown.
#include "ui/main/main_window_fixture.h"

#include <QApplication>
#include <QSignalSpy>

#include <map>

namespace {

// "a b c" as a list of names.
QStringList names(const char *spaced) { return QString::fromLatin1(spaced).split(u' ', Qt::SkipEmptyParts); }

class KeysTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        makeStarterLikeDb();
        open();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // The controls Tab visits from the tree until it comes back to it.
    QStringList tabWalk()
    {
        ui().Tv->setFocus();
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (QApplication::focusWidget() == ui().Tv)
                break;
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    }
};

TEST_F(KeysTest, TabWalksTheShownControlsInTheFormsOrderAndSpacePressesAButton)
{
    click(ui().add);
    EXPECT_EQ(tabWalk(),
              names("Tv Text1 Text2 Text3 Text4 help Website print delete add Edit Save Cancel xpcmdbutton1 xpcmdbutton2"));

    // In the multi-line boxes Tab moves on, and Ctrl+Tab types a tab.
    ui().Text3->setFocus();
    QTest::keyClick(ui().Text3, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(ui().Text3->toPlainText(), QStringLiteral("\t"));
    QTest::keyClick(ui().Text3, Qt::Key_Tab);
    EXPECT_TRUE(ui().Text4->hasFocus());

    // A focused button is pressed with Space.
    QSignalSpy cancelled(ui().Cancel, &xpcmdbutton::Click);
    ui().Cancel->setFocus();
    QTest::keyClick(ui().Cancel, Qt::Key_Space);
    EXPECT_EQ(cancelled.size(), 1);
    EXPECT_FALSE(ui().Cancel->isVisible());
}

TEST_F(KeysTest, EachShortcutPressesItsButtonOnlyWhereTheButtonIsShown)
{
    std::map<QString, std::unique_ptr<QSignalSpy>> pressed;
    for (xpcmdbutton *b : {ui().add, ui().Edit, ui().delete_, ui().Save, ui().saveedited, ui().Cancel,
                           ui().canceledit, ui().cancelcata, ui().print, ui().help})
        pressed[b->objectName()] = std::make_unique<QSignalSpy>(b, &xpcmdbutton::Click);
    const auto counts = [&] {
        QStringList out;
        for (const auto &[name, spy] : pressed)
            if (!spy->isEmpty())
                out << name + QLatin1Char('=') + QString::number(spy->size());
        return out;
    };

    const struct {
        const char *what;
        std::function<void()> before;
        QKeyCombination keys;
        const char *pressedAfter;
    } cases[] = {
        {"Ctrl+S while browsing: no Save is shown", {}, Qt::CTRL | Qt::Key_S, ""},
        {"Escape while browsing: no Cancel is shown", {}, QKeyCombination(Qt::Key_Escape), ""},
        {"F1", {}, QKeyCombination(Qt::Key_F1), "help=1"},
        {"Ctrl+N", {}, Qt::CTRL | Qt::Key_N, "add=1 help=1"},
        {"Escape adding", {}, QKeyCombination(Qt::Key_Escape), "Cancel=1 add=1 help=1"},
        {"Ctrl+E after a recipe was shown", [&] { clickNode(QStringLiteral("Leek"), QStringLiteral("Soups")); },
         Qt::CTRL | Qt::Key_E, "Cancel=1 Edit=1 add=1 help=1"},
        {"Ctrl+S editing, from the name box", [&] { ui().Text1->setFocus(); }, Qt::CTRL | Qt::Key_S,
         "Cancel=1 Edit=1 add=1 help=1 saveedited=1"},
        {"Ctrl+P", {}, Qt::CTRL | Qt::Key_P, "Cancel=1 Edit=1 add=1 help=1 print=1 saveedited=1"},
        {"Delete in the tree", [&] { clickNode(QStringLiteral("Pea"), QStringLiteral("Soups")); ui().Tv->setFocus(); },
         QKeyCombination(Qt::Key_Delete),
         "Cancel=1 Edit=1 add=1 delete=1 help=1 print=1 saveedited=1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before)
            c.before();
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_EQ(counts(), names(c.pressedAfter));
    }
    EXPECT_EQ(db.rows(QStringLiteral("Soups")).size(), 1u) << "Delete deleted the shown recipe";

    QSignalSpy closed(ui().xptopbuttons1, &xptopbuttons::Click);
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(closed.size(), 1);
    EXPECT_FALSE(window->isVisible());
}

}  // namespace
