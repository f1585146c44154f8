// The painted command button: its face and caption as they come out on screen, its answers to
// real pointer and key events, what assistive tools see, and loading from a Designer form.
//
// Pointer events go through the window system as a user's would (QCursor::setPos for moves,
// QTest's window-level press and release), so routing to the caption label, the implicit grab
// while a button is held and double-click detection are Qt's own. The offscreen platform keeps
// the cursor position that the hover watch reads.

#include "ui/skin/xpcmdbutton.h"

#include "ui/skin/skin_pictures.h"

#include "skin_pointer.h"

#include "ui_test_xpcmdbutton.h"

#include <QAccessible>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcutEvent>
#include <QSignalSpy>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using skintest::pointTo;
using skintest::pressAt;
using skintest::releaseAt;
using skintest::waitFor;
using skintest::waitForPolls;

namespace {

// --- Reading the face back --------------------------------------------------------------

QImage faceCell(int cell)
{
    static const QImage strip =
        skin::picture(QStringLiteral("face")).toImage().convertToFormat(QImage::Format_RGB32);
    return strip.copy(cell * 18, 0, 18, 21);
}

// The cell columns (rows) that may paint column (row) `d` of a surface `extent` pixels long:
// the 3-pixel borders copy one to one, the middle stretches the cell's middle, and
// nearest-pixel sampling may land on either neighbour of the exact source.
std::vector<int> sourcesOf(int d, int extent, int cellExtent)
{
    if (d < 3)
        return {d};
    if (d >= extent - 3)
        return {cellExtent - (extent - d)};
    const int exact = int(3 + (d - 3 + 0.5) * (cellExtent - 6) / double(extent - 6));
    std::vector<int> sources;
    for (int s = std::max(3, exact - 1); s <= std::min(cellExtent - 4, exact + 1); ++s)
        sources.push_back(s);
    return sources;
}

// Whether `shown` is face cell `cell` nine-sliced to its size; pixels in `caption` are skipped.
::testing::AssertionResult isFace(const QImage &shown, int cell, QRect caption = {})
{
    const QImage source = faceCell(cell);
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (caption.contains(x, y))
                continue;
            bool found = false;
            for (const int sy : sourcesOf(y, shown.height(), 21)) {
                for (const int sx : sourcesOf(x, shown.width(), 18))
                    found = found || source.pixel(sx, sy) == shown.pixel(x, y);
            }
            if (!found)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y;
        }
    }
    return ::testing::AssertionSuccess();
}

QImage grabbed(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QLabel *captionOf(xpcmdbutton *button) { return button->findChild<QLabel *>(); }

// The face cell the button shows, or -1 for none.
int shownCell(xpcmdbutton *button)
{
    const QImage shown = grabbed(button);
    for (int cell = 0; cell < 5; ++cell) {
        if (isFace(shown, cell, captionOf(button)->geometry()))
            return cell;
    }
    return -1;
}

int countPixels(const QImage &image, QRect area, QRgb colour)
{
    int count = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour ? 1 : 0;
    }
    return count;
}

std::string described(const char *event, qint16 b, qint16 shift, float x, float y)
{
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(QLatin1String(event))
        .arg(b)
        .arg(shift)
        .arg(x)
        .arg(y)
        .toStdString();
}

// Every pointer event a button raises, in order, with its arguments.
struct Recorder {
    std::vector<std::string> log;

    void attach(xpcmdbutton *button)
    {
        auto pointer = [this](const char *event) {
            return [this, event](qint16 b, qint16 s, float x, float y) {
                log.push_back(described(event, b, s, x, y));
            };
        };
        QObject::connect(button, &xpcmdbutton::Click, [this] { log.push_back("Click"); });
        QObject::connect(button, &xpcmdbutton::MouseOut, [this] { log.push_back("MouseOut"); });
        QObject::connect(button, &xpcmdbutton::MouseDown, pointer("MouseDown"));
        QObject::connect(button, &xpcmdbutton::MouseMove, pointer("MouseMove"));
        QObject::connect(button, &xpcmdbutton::MouseUp, pointer("MouseUp"));
    }

    int count(const std::string &event) const
    {
        return int(std::count_if(log.begin(), log.end(), [&](const std::string &entry) {
            return entry.rfind(event, 0) == 0;
        }));
    }
};

// A shown host window with one 100 x 30 button "Save" at 50, 40, and the cursor away from it.
class CommandButton : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.setGeometry(100, 100, 300, 200);
        button = new xpcmdbutton(&host);
        button->setGeometry(50, 40, 100, 30);
        button->setCaption(QStringLiteral("Save"));
        label = captionOf(button);
        events.attach(button);
        pointTo(&host, away);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    }

    const QPoint away{250, 150};
    QWidget host;
    xpcmdbutton *button = nullptr;
    QLabel *label = nullptr;
    Recorder events;
};

}  // namespace

// --- Face and caption -------------------------------------------------------------------

TEST(CommandButtonFace, NineSlicesKeepTheCornersAndStretchTheEdgesAndCentre)
{
    const QSize sizes[] = {{18, 21}, {6, 6}, {89, 25}, {40, 60}, {200, 21}};
    for (const QSize size : sizes) {
        xpcmdbutton button;
        button.setCaption(QString());
        button.resize(size);
        const QImage shown = grabbed(&button);
        EXPECT_TRUE(isFace(shown, 0)) << size.width() << "x" << size.height();
        const int right = size.width() - 3;
        const int bottom = size.height() - 3;
        EXPECT_EQ(shown.copy(right, bottom, 3, 3), faceCell(0).copy(15, 18, 3, 3))
            << "bottom-right corner copied as it is at " << size.width() << "x" << size.height();
    }
}

TEST(CommandButtonFace, EachRestAndDisabledLookShowsItsCell)
{
    struct Step {
        int state;
        bool enabled;
        int cell;
    };
    // Applied in order to one button: values other than 0 and 1 keep the rest cell.
    const Step steps[] = {{1, true, 4},  {2, true, 4},  {0, true, 0}, {-7, true, 0},
                          {1, false, 2}, {1, true, 4},  {0, false, 2}, {65536, true, 0}};
    xpcmdbutton button;
    button.resize(89, 25);
    EXPECT_EQ(shownCell(&button), 0) << "new button";
    for (const Step &step : steps) {
        button.setState(step.state);
        button.setEnabled(step.enabled);
        EXPECT_EQ(button.State(), step.state);
        EXPECT_EQ(shownCell(&button), step.cell) << "State " << step.state << " " << step.enabled;
    }
}

TEST(CommandButtonFace, TheCaptionIsBlackWhenEnabledAndGreyWhenDisabledAlsoThroughItsHost)
{
    QWidget host;
    auto *button = new xpcmdbutton(&host);
    button->setGeometry(0, 0, 160, 40);
    QFont big = button->font();
    big.setPixelSize(22);
    big.setBold(true);
    button->setFont(big);
    button->setCaption(QStringLiteral("HMWH"));
    const QRect caption = captionOf(button)->geometry();
    const QRgb grey = qRgb(161, 161, 146);
    const QRgb black = qRgb(0, 0, 0);

    EXPECT_GT(countPixels(grabbed(button), caption, black), 0);
    EXPECT_EQ(countPixels(grabbed(button), caption, grey), 0);
    button->setEnabled(false);
    EXPECT_GT(countPixels(grabbed(button), caption, grey), 0);
    EXPECT_EQ(countPixels(grabbed(button), caption, black), 0);
    button->setEnabled(true);
    host.setEnabled(false);
    EXPECT_GT(countPixels(grabbed(button), caption, grey), 0);
    EXPECT_EQ(shownCell(button), 2);
}

TEST(CommandButtonCaption, TheLabelFitsItsTextAndIsCentredAfterEveryChange)
{
    xpcmdbutton button;
    button.resize(113, 25);
    button.show();
    QLabel *label = captionOf(&button);
    const std::function<void()> changes[] = {
        [&] { button.setCaption(QStringLiteral("Print")); },
        [&] { button.setCaption(QStringLiteral("Delete a Category")); },
        [&] {
            QFont big = button.font();
            big.setPixelSize(24);
            button.setFont(big);
        },
        [&] { button.resize(300, 60); },
    };
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        changes[i]();
        EXPECT_EQ(label->size(), label->sizeHint()) << "change " << i;
        EXPECT_LE(std::abs(2 * label->x() + label->width() - button.width()), 1) << i;
        EXPECT_LE(std::abs(2 * label->y() + label->height() - button.height()), 1) << i;
    }
}

TEST(CommandButtonCaption, FollowsTheInstanceNameUntilACaptionIsSet)
{
    xpcmdbutton button;
    EXPECT_EQ(button.Caption(), QStringLiteral("xpcmdbutton"));
    button.setObjectName(QStringLiteral("Cancel"));
    EXPECT_EQ(button.Caption(), QStringLiteral("Cancel"));
    button.setObjectName(QStringLiteral("canceledit"));
    EXPECT_EQ(button.Caption(), QStringLiteral("canceledit"));
    button.setCaption(QStringLiteral("Cancel"));
    button.setObjectName(QStringLiteral("cancelcata"));
    EXPECT_EQ(button.Caption(), QStringLiteral("Cancel"));
}

// --- Pointer ----------------------------------------------------------------------------

TEST_F(CommandButton, APressAndReleaseInsideRaisesClickLastWithTheRestLookBack)
{
    int cellAtClick = -1;
    QObject::connect(button, &xpcmdbutton::Click, [&] { cellAtClick = shownCell(button); });
    pointTo(button, {20, 10});
    EXPECT_EQ(shownCell(button), 3);
    pressAt(button, {20, 10});
    EXPECT_EQ(shownCell(button), 1);
    releaseAt(button, {20, 10});
    EXPECT_EQ(events.log, (std::vector<std::string>{"MouseMove 0 0 20 10", "MouseDown 1 0 20 10",
                                                    "MouseUp 1 0 20 10", "Click"}));
    EXPECT_EQ(cellAtClick, 0);
}

TEST_F(CommandButton, OnlyTheLeftButtonAloneShowsThePressedLookAndClicks)
{
    struct Case {
        std::vector<Qt::MouseButton> held;
        qint16 code;
        int cell;
    };
    const Case cases[] = {{{Qt::LeftButton}, 1, 1},
                          {{Qt::RightButton}, 2, 3},
                          {{Qt::MiddleButton}, 4, 3},
                          {{Qt::LeftButton, Qt::RightButton}, 3, 3}};
    int clicks = 0;
    QObject::connect(button, &xpcmdbutton::Click, [&] { ++clicks; });
    skintest::EventCount reaching(&host, QEvent::MouseButtonPress);
    for (const Case &c : cases) {
        for (const Qt::MouseButton b : c.held)
            pressAt(button, {20, 10}, b);
        pointTo(button, {30, 12});
        EXPECT_EQ(events.log.back(), described("MouseMove", c.code, 0, 30, 12));
        EXPECT_EQ(shownCell(button), c.cell) << "buttons " << c.code;
        for (const Qt::MouseButton b : c.held)
            releaseAt(button, {30, 12}, b);
        EXPECT_EQ(shownCell(button), 0) << "buttons " << c.code << " released";
    }
    EXPECT_EQ(clicks, 2) << "one for each release of the left button";
    EXPECT_EQ(reaching.count, 0) << "every press is the button's own";
}

TEST_F(CommandButton, APressDraggedOutsideRaisesMouseOutAfterEachMoveAndNoClick)
{
    const QWidget *targets[] = {button, label};
    for (const QWidget *pressed : targets) {
        pressAt(pressed, {2, 2});
        events.log.clear();
        pointTo(button, {150, 60});
        EXPECT_EQ(events.count("MouseMove"), 0) << "a move outside raises nothing";
        ASSERT_TRUE(waitFor([&] { return events.count("MouseOut") == 1; }));
        EXPECT_EQ(shownCell(button), 0);
        pointTo(button, {160, 70});
        ASSERT_TRUE(waitFor([&] { return events.count("MouseOut") == 2; }));
        const QPoint release = pressed->mapFrom(button, QPoint(160, 70));
        releaseAt(pressed, release);
        EXPECT_EQ(events.log, (std::vector<std::string>{
                                  "MouseOut", "MouseOut",
                                  described("MouseUp", 1, 0, release.x(), release.y())}))
            << pressed->metaObject()->className();
    }
}

TEST_F(CommandButton, AHeldPressMovedOntoTheRightAndBottomEdgeLinesIsStillInside)
{
    pressAt(button, {20, 10});
    pointTo(button, {100, 30});
    EXPECT_EQ(events.log.back(), "MouseMove 1 0 100 30");
    const int moves = events.count("MouseMove");
    pointTo(button, {101, 30});
    EXPECT_EQ(events.count("MouseMove"), moves);
    releaseAt(button, {101, 30});
}

TEST_F(CommandButton, LeavingRaisesMouseOutOnceAndRestoresTheRestLook)
{
    const auto *watch = button->findChild<skin::HoverWatch *>();
    ASSERT_NE(watch, nullptr);
    EXPECT_FALSE(watch->isActive()) << "nothing is watched before the first move";
    button->setState(1);
    pointTo(button, {20, 10});
    EXPECT_EQ(shownCell(button), 3);
    EXPECT_TRUE(watch->isActive());
    pointTo(&host, away);
    ASSERT_TRUE(waitFor([&] { return events.count("MouseOut") == 1; }));
    EXPECT_EQ(shownCell(button), 4);
    EXPECT_FALSE(watch->isActive()) << "the watch stops once the pointer has gone";
    EXPECT_EQ(events.count("MouseOut"), 1);
}

TEST_F(CommandButton, OnTheCaptionAMoveCountsAtItsCornerAndAPressAndReleaseClick)
{
    pointTo(label, {5, 3});
    EXPECT_EQ(shownCell(button), 3);
    pressAt(label, {5, 3});
    EXPECT_EQ(shownCell(button), 1);
    releaseAt(label, {5, 3});
    EXPECT_EQ(events.log, (std::vector<std::string>{
                              described("MouseMove", 0, 0, label->x(), label->y()),
                              "MouseDown 1 0 5 3", "MouseUp 1 0 5 3", "Click"}));
}

TEST_F(CommandButton, MovesOverACaptionWiderThanTheButtonRaiseNothingButAreWatched)
{
    button->setCaption(QStringLiteral("Website ( More 50,000 recipes)"));
    ASSERT_LT(label->x(), 0);
    pointTo(button, {50, 15});
    EXPECT_EQ(events.count("MouseMove"), 0);
    EXPECT_EQ(shownCell(button), 0);
    pointTo(&host, away);
    EXPECT_TRUE(waitFor([&] { return events.count("MouseOut") == 1; }));
}

TEST_F(CommandButton, ADoubleClickOnTheFaceOrCaptionGivesOneClick)
{
    const QWidget *targets[] = {button, label};
    for (const QWidget *target : targets) {
        events.log.clear();
        pointTo(target, {2, 2});
        QTest::mouseDClick(host.windowHandle(), Qt::LeftButton, {},
                           target->mapTo(&host, QPoint(2, 2)));
        EXPECT_EQ(events.count("MouseDown"), 1) << target->metaObject()->className();
        EXPECT_EQ(events.count("MouseUp"), 2) << target->metaObject()->className();
        EXPECT_EQ(events.count("Click"), 1) << target->metaObject()->className();
    }
}

TEST_F(CommandButton, ADisabledButtonTakesNoPointerInputAndPassesItToItsHost)
{
    skintest::EventCount reaching(&host, QEvent::MouseButtonPress);
    button->setEnabled(false);
    const QWidget *targets[] = {button, label};
    for (const QWidget *target : targets) {
        pressAt(target, {2, 2});
        releaseAt(target, {2, 2});
    }
    EXPECT_EQ(reaching.count, 2);
    pointTo(&host, away);
    EXPECT_TRUE(waitForPolls(button));
    EXPECT_TRUE(events.log.empty());
    EXPECT_EQ(shownCell(button), 2);
}

TEST_F(CommandButton, AButtonDisabledDuringAPressIsNotClicked)
{
    pressAt(button, {20, 10});
    button->setEnabled(false);
    button->setEnabled(true);
    releaseAt(button, {20, 10});
    EXPECT_EQ(events.count("Click"), 0) << "disabled and enabled again while held";

    QObject::connect(button, &xpcmdbutton::MouseUp, [this] { button->setEnabled(false); });
    pressAt(button, {20, 10});
    releaseAt(button, {20, 10});
    EXPECT_EQ(events.count("Click"), 0) << "disabled by the host on MouseUp";
}

TEST_F(CommandButton, HiddenUnderThePointerItIsWatchedOnAndShowsItsRestLookWhenShownAgain)
{
    pointTo(button, {20, 10});
    ASSERT_EQ(shownCell(button), 3);
    button->hide();
    ASSERT_TRUE(waitForPolls(button));
    EXPECT_EQ(events.count("MouseOut"), 0) << "the pointer is still over the button's area";
    button->show();
    EXPECT_EQ(shownCell(button), 0);
    pointTo(&host, away);
    EXPECT_TRUE(waitFor([&] { return events.count("MouseOut") == 1; }));
}

// --- Keys -------------------------------------------------------------------------------

TEST(CommandButtonKeys, KeysArePassedOnWithTheirCodesAndOnlySpaceAndEnterClick)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char *text;
        std::vector<std::string> raised;
    };
    const Case cases[] = {
        {Qt::Key_A, Qt::ShiftModifier, "A", {"KeyDown 65 1", "KeyPress 65", "KeyUp 65 1"}},
        {Qt::Key_5, Qt::ControlModifier | Qt::AltModifier, "", {"KeyDown 53 6", "KeyUp 53 6"}},
        {Qt::Key_Return, Qt::NoModifier, "\r", {"KeyDown 13 0", "KeyPress 13", "Click", "KeyUp 13 0"}},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", {"KeyDown 13 0", "KeyPress 13", "Click", "KeyUp 13 0"}},
        {Qt::Key_Space, Qt::NoModifier, " ", {"KeyDown 32 0", "KeyPress 32", "KeyUp 32 0", "Click"}},
        {Qt::Key_Left, Qt::ShiftModifier, "", {"KeyDown 37 1", "KeyUp 37 1"}},
        {Qt::Key_F1, Qt::NoModifier, "", {"KeyDown 112 0", "KeyUp 112 0"}},
        {Qt::Key_MediaPlay, Qt::NoModifier, "", {"KeyDown 0 0", "KeyUp 0 0"}},
    };
    for (const Case &c : cases) {
        xpcmdbutton button;
        std::vector<std::string> raised;
        auto key = [&](const char *event) {
            return [&, event](qint16 code, qint16 shift) {
                raised.push_back(std::string(event) + " " + std::to_string(code) + " "
                                 + std::to_string(shift));
            };
        };
        QObject::connect(&button, &xpcmdbutton::KeyDown, key("KeyDown"));
        QObject::connect(&button, &xpcmdbutton::KeyUp, key("KeyUp"));
        QObject::connect(&button, &xpcmdbutton::KeyPress, [&](qint16 ascii) {
            raised.push_back("KeyPress " + std::to_string(ascii));
        });
        QObject::connect(&button, &xpcmdbutton::Click, [&] { raised.push_back("Click"); });
        QKeyEvent down(QEvent::KeyPress, c.key, c.modifiers, QString::fromLatin1(c.text));
        QKeyEvent up(QEvent::KeyRelease, c.key, c.modifiers, QString::fromLatin1(c.text));
        QApplication::sendEvent(&button, &down);
        QApplication::sendEvent(&button, &up);
        EXPECT_EQ(raised, c.raised) << "key " << c.key;
    }
}

TEST(CommandButtonKeys, WithTheFocusItShowsAFocusCueAndSpaceHeldShowsThePressedLook)
{
    QWidget host;
    auto *button = new xpcmdbutton(&host);
    auto *other = new QLineEdit(&host);
    button->setFocusPolicy(Qt::TabFocus);
    button->setGeometry(0, 0, 60, 24);
    other->setGeometry(0, 30, 60, 20);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    other->setFocus();
    const QImage plain = button->grab().toImage();
    button->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->hasFocus(); }, 20000));
    const QImage focused = button->grab().toImage();
    EXPECT_NE(focused, plain) << "the focus shows";
    int dots = 0;
    for (int y = 3; y < 21; ++y)
        dots += focused.pixelColor(3, y) == QColor(0, 0, 0) ? 1 : 0;
    EXPECT_GT(dots, 4) << "a dotted rectangle inside the border";

    int clicks = 0;
    QObject::connect(button, &xpcmdbutton::Click, [&] { ++clicks; });
    QTest::keyPress(button, Qt::Key_Space);
    EXPECT_NE(button->grab().toImage(), focused) << "held, it looks pressed";
    // Let go after the focus moved on: nothing is pressed.
    other->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->hasFocus(); }, 20000));
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(button->grab().toImage(), plain);
}

TEST(CommandButtonKeys, AnAccessKeyDeliveredToTheButtonClicksIt)
{
    xpcmdbutton button;
    int clicks = 0;
    QObject::connect(&button, &xpcmdbutton::Click, [&] { ++clicks; });
    QShortcutEvent accessKey(QKeySequence(QStringLiteral("Alt+S")), 1);
    QApplication::sendEvent(&button, &accessKey);
    EXPECT_EQ(clicks, 1);
}

// --- Accessibility ----------------------------------------------------------------------

TEST(CommandButtonAccessibility, IsAPushButtonNamedByItsCaptionWhosePressActionClicks)
{
    QWidget host;
    auto *button = new xpcmdbutton(&host);
    button->setObjectName(QStringLiteral("Edit"));
    QSignalSpy clicks(button, &xpcmdbutton::Click);
    // The press action clicks on a timer; pressed() tells that it has begun.
    QSignalSpy pressed(button, &QAbstractButton::pressed);
    QSignalSpy clickedByQt(button, &QAbstractButton::clicked);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), QAccessible::Button);
    EXPECT_EQ(accessible->text(QAccessible::Name), QStringLiteral("Edit"));
    // Ampersands are read as they are and claim no access key.
    const QString captions[] = {QStringLiteral("Save Edited"), QStringLiteral("Salt & &Pepper&")};
    for (const QString &caption : captions) {
        button->setCaption(caption);
        EXPECT_EQ(accessible->text(QAccessible::Name), caption);
        EXPECT_TRUE(button->shortcut().isEmpty()) << caption.toStdString();
    }

    QAccessibleActionInterface *actions = accessible->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    EXPECT_FALSE(accessible->state().disabled);
    actions->doAction(QAccessibleActionInterface::pressAction());
    ASSERT_TRUE(waitFor([&] { return clicks.count() == 1; }));

    button->setEnabled(false);
    EXPECT_TRUE(accessible->state().disabled);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pressed.count(), 1) << "a disabled button is not pressed";

    button->setEnabled(true);
    actions->doAction(QAccessibleActionInterface::pressAction());
    button->setEnabled(false);
    ASSERT_TRUE(waitFor([&] { return clickedByQt.count() == 2; }));
    EXPECT_EQ(clicks.count(), 1) << "disabled before the pending press completed";
}

// --- Loading from a Designer form -------------------------------------------------------

TEST(CommandButtonForm, PropertiesInTheFormAreAppliedAndAbsentOnesKeepTheirDefaults)
{
    QWidget form;
    Ui::CommandButtonForm ui;
    ui.setupUi(&form);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    // Nothing stored: the name as caption, rest cell 0, enabled, no focus, the form's font.
    EXPECT_EQ(ui.Cancel->Caption(), QStringLiteral("Cancel"));
    EXPECT_EQ(ui.Cancel->State(), 0);
    EXPECT_TRUE(ui.Cancel->isEnabled());
    EXPECT_EQ(ui.Cancel->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(captionOf(ui.Cancel)->font(), form.font());
    EXPECT_EQ(shownCell(ui.Cancel), 0);

    // Caption and State stored: highlighted from the start.
    EXPECT_EQ(ui.xpcmdbutton2->Caption(), QStringLiteral("Add Category"));
    EXPECT_EQ(shownCell(ui.xpcmdbutton2), 4);

    // Disabled with a font of its own; its caption set as a dynamic property.
    EXPECT_EQ(ui.print->Caption(), QStringLiteral("Print"));
    EXPECT_TRUE(captionOf(ui.print)->font().bold());
    EXPECT_EQ(shownCell(ui.print), 2);
}
