// The painted caption button: the cell it shows for each Value and look, its size, its hover
// watch running from creation, its answers to real pointer events and keys, what assistive
// tools see, and loading from a Designer form. Pointer events go through the window system as
// in test_xpcmdbutton.cpp.

#include "ui/skin/xptopbuttons.h"

#include "ui/skin/skin_pictures.h"

#include "skin_pointer.h"

#include "ui_test_xptopbuttons.h"

#include <QAccessible>
#include <QCursor>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using skintest::pointTo;
using skintest::pressAt;
using skintest::releaseAt;
using skintest::waitFor;
using skintest::waitForPolls;

namespace {

const char *const kStrips[] = {"close", "maximize", "minimize", "restore"};

QImage stripCell(int strip, int cell)
{
    return skin::picture(QString::fromLatin1(kStrips[strip]))
        .toImage()
        .convertToFormat(QImage::Format_RGB32)
        .copy(cell * 21, 0, 21, 21);
}

// Whether the button shows cell `cell` of strip `strip`, unscaled; if not, says what it shows.
::testing::AssertionResult shows(xptopbuttons *button, int strip, int cell)
{
    const QImage shown = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown == stripCell(strip, cell))
        return ::testing::AssertionSuccess();
    for (int s = 0; s < 4; ++s) {
        for (int c = 0; c < 4; ++c) {
            if (shown == stripCell(s, c))
                return ::testing::AssertionFailure() << "shows " << kStrips[s] << " cell " << c;
        }
    }
    return ::testing::AssertionFailure() << "shows no cell of any strip";
}

// Counts of each event a button raises, and the pointer events in order with their arguments.
struct Recorder {
    std::vector<std::string> log;
    int clicks = 0;
    int mouseOuts = 0;

    void attach(xptopbuttons *button)
    {
        auto pointer = [this](const char *event) {
            return [this, event](qint16 b, qint16 s, float x, float y) {
                log.push_back(QStringLiteral("%1 %2 %3 %4 %5")
                                  .arg(QLatin1String(event))
                                  .arg(b)
                                  .arg(s)
                                  .arg(x)
                                  .arg(y)
                                  .toStdString());
            };
        };
        QObject::connect(button, &xptopbuttons::Click, [this] {
            ++clicks;
            log.push_back("Click");
        });
        QObject::connect(button, &xptopbuttons::MouseOut, [this] { ++mouseOuts; });
        QObject::connect(button, &xptopbuttons::MouseDown, pointer("MouseDown"));
        QObject::connect(button, &xptopbuttons::MouseMove, pointer("MouseMove"));
        QObject::connect(button, &xptopbuttons::MouseUp, pointer("MouseUp"));
    }
};

// A shown host window and a way to put caption buttons on its title bar, at 230 + 23 * n, 5.
class CaptionButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.setGeometry(100, 100, 300, 200);
        pointTo(&host, away);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    xptopbuttons *place(int value, Recorder &events)
    {
        auto *button = new xptopbuttons(&host);
        button->setValue(value);
        button->move(230 + 23 * placed++, 5);
        events.attach(button);
        button->show();
        return button;
    }

    // A minimise button whose first-tick MouseOut has come and gone.
    xptopbuttons *placeSettled(Recorder &events)
    {
        xptopbuttons *button = place(xptopbuttons::Minimize, events);
        EXPECT_TRUE(waitFor([&] { return events.mouseOuts == 1; }));
        events.log.clear();
        events.clicks = 0;
        events.mouseOuts = 0;
        return button;
    }

    const QPoint away{150, 150};
    QWidget host;
    int placed = 0;
};

}  // namespace

// --- Looks and size ---------------------------------------------------------------------

TEST(CaptionButtonLook, EachValueShowsItsStripNormalOrDisabled)
{
    for (int value = 0; value < 4; ++value) {
        xptopbuttons button;
        button.setValue(value);
        EXPECT_TRUE(shows(&button, value, 0)) << "Value " << value;
        button.setEnabled(false);
        EXPECT_TRUE(shows(&button, value, 3)) << "Value " << value << " disabled";
        button.setEnabled(true);
        EXPECT_TRUE(shows(&button, value, 0)) << "Value " << value << " enabled again";
    }
}

TEST(CaptionButtonLook, AValueOutsideTheStripsIsKeptButLeavesTheStripInUse)
{
    xptopbuttons button;
    button.setValue(2);
    button.setProperty("Value", 7);
    EXPECT_EQ(button.Value(), 7);
    EXPECT_TRUE(shows(&button, 2, 0));
    button.setValue(-1);
    button.setEnabled(false);
    EXPECT_TRUE(shows(&button, 2, 3));
    button.setValue(3);
    EXPECT_TRUE(shows(&button, 3, 3)) << "disabled in the new strip";
}

TEST(CaptionButtonLook, StaysOneCellInSizeWhateverItIsGiven)
{
    for (const QSize size : {QSize(40, 40), QSize(10, 30), QSize(0, 0)}) {
        xptopbuttons button;
        button.resize(size);
        EXPECT_EQ(button.size(), QSize(21, 21)) << size.width() << "x" << size.height();
        button.setGeometry(QRect(QPoint(5, 5), size));
        EXPECT_EQ(button.size(), QSize(21, 21)) << size.width() << "x" << size.height();
    }
}

// --- The hover watch from creation ------------------------------------------------------

TEST_F(CaptionButton, EachButtonCreatedAwayFromThePointerRaisesOneMouseOut)
{
    Recorder events[3];
    xptopbuttons *buttons[] = {place(2, events[0]), place(1, events[1]), place(0, events[2])};
    buttons[1]->setEnabled(false);
    ASSERT_TRUE(waitFor([&] {
        return events[0].mouseOuts + events[1].mouseOuts + events[2].mouseOuts == 3;
    }));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(waitForPolls(buttons[i])) << "button " << i;
        EXPECT_EQ(events[i].mouseOuts, 1) << "button " << i;
    }
    EXPECT_TRUE(shows(buttons[1], 1, 3)) << "the disabled button keeps its disabled look";
}

TEST_F(CaptionButton, CreatedUnderThePointerItWaitsForThePointerToLeave)
{
    pointTo(&host, {240, 15});
    Recorder events;
    const xptopbuttons *button = place(xptopbuttons::Close, events);
    ASSERT_TRUE(waitForPolls(button));
    EXPECT_EQ(events.mouseOuts, 0);
    pointTo(&host, away);
    EXPECT_TRUE(waitFor([&] { return events.mouseOuts == 1; }));
}

// --- Pointer ----------------------------------------------------------------------------

TEST_F(CaptionButton, HoverPressAndReleaseShowTheirCellsAndClickOncePerClickOrDoubleClick)
{
    Recorder events;
    xptopbuttons *button = placeSettled(events);
    bool normalAtClick = false;
    QObject::connect(button, &xptopbuttons::Click, [&] { normalAtClick = shows(button, 2, 0); });
    pointTo(button, {10, 10});
    EXPECT_TRUE(shows(button, 2, 1));
    pressAt(button, {10, 10});
    EXPECT_TRUE(shows(button, 2, 2));
    releaseAt(button, {10, 10});
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove 0 0 10 10", "MouseDown 1 0 10 10",
                                                    "MouseUp 1 0 10 10", "Click"}));
    EXPECT_TRUE(normalAtClick);

    events.log.clear();
    QTest::mouseDClick(host.windowHandle(), Qt::LeftButton, {},
                       button->mapTo(&host, QPoint(10, 10)));
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseDown 1 0 10 10", "MouseUp 1 0 10 10",
                                                    "Click", "MouseUp 1 0 10 10"}))
        << "a double-click gives one Click";
}

TEST_F(CaptionButton, OnlyTheLeftButtonAloneShowsThePressedCellWhileMoving)
{
    Recorder events;
    xptopbuttons *button = placeSettled(events);
    skintest::EventCount reaching(&host, QEvent::MouseButtonPress);
    for (const Qt::MouseButton held : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        pressAt(button, {5, 5}, held);
        pointTo(button, {12, 12});
        EXPECT_TRUE(shows(button, 2, held == Qt::LeftButton ? 2 : 1)) << "button " << held;
        releaseAt(button, {12, 12}, held);
        EXPECT_TRUE(shows(button, 2, 0)) << "button " << held << " released";
    }
    EXPECT_EQ(events.clicks, 1);
    EXPECT_EQ(reaching.count, 0) << "every press is the button's own";
}

TEST_F(CaptionButton, APressDraggedOutsideRaisesMouseOutAfterEachMoveAndNoClick)
{
    Recorder events;
    xptopbuttons *button = placeSettled(events);
    pressAt(button, {10, 10});
    events.log.clear();
    pointTo(button, {21, 21});
    EXPECT_EQ(events.log, std::vector<std::string>{"MouseMove 1 0 21 21"}) << "edges are inside";
    pointTo(button, {-40, 30});
    EXPECT_TRUE(shows(button, 2, 2)) << "pressed until the watch notices";
    ASSERT_TRUE(waitFor([&] { return events.mouseOuts == 1; }));
    EXPECT_TRUE(shows(button, 2, 0));
    pointTo(button, {-50, 40});
    ASSERT_TRUE(waitFor([&] { return events.mouseOuts == 2; }));
    releaseAt(button, {-50, 40});
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove 1 0 21 21", "MouseUp 1 0 -50 40"}));
}

TEST_F(CaptionButton, ADisabledButtonTakesNoPointerInputAndPassesItToItsHost)
{
    Recorder events;
    xptopbuttons *button = placeSettled(events);
    skintest::EventCount reaching(&host, QEvent::MouseButtonPress);
    button->setEnabled(false);
    pressAt(button, {10, 10});
    releaseAt(button, {10, 10});
    EXPECT_EQ(reaching.count, 1);
    pointTo(&host, away);
    EXPECT_TRUE(waitForPolls(button));
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(events.mouseOuts, 0);
    EXPECT_TRUE(shows(button, 2, 3));
}

// --- Keys -------------------------------------------------------------------------------

TEST_F(CaptionButton, GivenTheFocusItPassesEveryKeyToItsHostAndNeverClicks)
{
    Recorder events;
    xptopbuttons *button = placeSettled(events);
    skintest::EventCount reaching(&host, QEvent::KeyPress);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setFocus();
    for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Left, Qt::Key_Down})
        QTest::keyClick(button, key);
    EXPECT_EQ(reaching.count, 4);
    EXPECT_EQ(events.clicks, 0);
}

// --- Accessibility ----------------------------------------------------------------------

TEST(CaptionButtonAccessibility, IsAPushButtonNamedAfterItsGlyphWhosePressActionClicks)
{
    QWidget host;
    auto *button = new xptopbuttons(&host);
    QSignalSpy clicks(button, &xptopbuttons::Click);
    // The press action clicks on a timer; pressed() tells that it has begun.
    QSignalSpy pressed(button, &QAbstractButton::pressed);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);

    struct Case {
        int value;
        const char *name;
    };
    // In order: the last Value is outside 0 to 3 and keeps the minimise strip.
    const Case cases[] = {{0, "Close"}, {1, "Maximize"}, {3, "Restore"}, {2, "Minimize"},
                          {7, "Minimize"}};
    for (const Case c : cases) {
        button->setValue(c.value);
        EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), c.name) << "Value " << c.value;
    }

    QAccessibleActionInterface *actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return clicks.count() == 1; }));
    button->setEnabled(false);
    EXPECT_TRUE(accessible->state().disabled);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed.count(), 1) << "a disabled button is not pressed";

    QSignalSpy clickedByQt(button, &QAbstractButton::clicked);
    button->setEnabled(true);
    actions->doAction(QAccessibleActionInterface::pressAction());
    button->setEnabled(false);
    ASSERT_TRUE(waitFor([&] { return clickedByQt.count() == 1; }));
    EXPECT_EQ(clicks.count(), 1) << "disabled before the pending press completed";
}

// --- Loading from a Designer form -------------------------------------------------------

TEST(CaptionButtonForm, PropertiesInTheFormAreAppliedAndAbsentOnesKeepTheirDefaults)
{
    QWidget form;
    Ui::CaptionButtonForm ui;
    ui.setupUi(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    EXPECT_EQ(ui.xptopbuttons3->Value(), 2);
    EXPECT_TRUE(shows(ui.xptopbuttons3, 2, 0));
    EXPECT_FALSE(ui.xptopbuttons2->isEnabled());
    EXPECT_TRUE(shows(ui.xptopbuttons2, 1, 3));

    // Nothing stored: a close button, enabled, without focus, one cell in size though the form
    // says 30 x 30.
    EXPECT_EQ(ui.xptopbuttons1->Value(), 0);
    EXPECT_TRUE(ui.xptopbuttons1->isEnabled());
    EXPECT_EQ(ui.xptopbuttons1->focusPolicy(), Qt::NoFocus);
    EXPECT_TRUE(shows(ui.xptopbuttons1, 0, 0));
    EXPECT_EQ(ui.xptopbuttons1->geometry(), QRect(286, 6, 21, 21));
}
