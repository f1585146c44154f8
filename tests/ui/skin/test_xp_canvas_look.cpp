// The frame's active and inactive looks as the program's windows take turns being active, and
// its two watchers.
#include "ui/skin/xp_canvas.h"

#include "test_xp_canvas_host.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace xpcanvastest;

namespace {

enum class Look { Active, Inactive, Other };

Look lookOf(xp_canvas *frame)
{
    const QImage border = grabbed(frame->findChild<QWidget *>(QStringLiteral("picleft")));
    if (sameRow(border, 0, skinPicture("left1"), 0))
        return Look::Active;
    if (sameRow(border, 0, skinPicture("left2"), 0))
        return Look::Inactive;
    return Look::Other;
}

bool ticking(xp_canvas *frame, const char *timer)
{
    return frame->findChild<QTimer *>(QString::fromLatin1(timer))->isActive();
}

// A host as the program builds one: a focusable control inside the frame.
FramedWindow hostWithField(QRect bounds)
{
    FramedWindow framed = framedWindow(bounds);
    auto *field = new QLineEdit(framed.frame);
    field->setGeometry(20, 40, 120, 22);
    field->show();
    return framed;
}

void activate(const FramedWindow &framed)
{
    framed.window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(framed.window.get()));
}

// Long enough for a slow machine under the sanitizers; the watchers act at their next 10 ms tick.
constexpr int kLongWaitMs = 20000;

bool settlesOn(xp_canvas *frame, Look look)
{
    return QTest::qWaitFor([&] { return lookOf(frame) == look; }, kLongWaitMs);
}

// Waits until each of the frame's running watchers has ticked a few times (or stopped), so that
// a look checked afterwards is the one they chose to keep.
bool watchersHaveTicked(xp_canvas *frame)
{
    for (const char *name : {"Timer1", "Timer2"}) {
        auto *timer = frame->findChild<QTimer *>(QString::fromLatin1(name));
        int ticks = 0;
        const auto counting = QObject::connect(timer, &QTimer::timeout, [&ticks] { ++ticks; });
        const bool done = QTest::qWaitFor([&] { return ticks >= 3 || !timer->isActive(); }, kLongWaitMs);
        QObject::disconnect(counting);
        if (!done)
            return false;
    }
    return true;
}

TEST(FrameLook, NewFrameStartsActiveWithBothWatchersTicking)
{
    ASSERT_FALSE(sameRow(skinPicture("left1"), 0, skinPicture("left2"), 0)) << "looks must differ";
    xp_canvas frame;
    frame.resize(200, 100);
    EXPECT_EQ(lookOf(&frame), Look::Active);
    EXPECT_TRUE(ticking(&frame, "Timer1"));
    EXPECT_TRUE(ticking(&frame, "Timer2"));
}

TEST(FrameLook, FollowsTheActiveWindowAsTwoHostsTakeTurns)
{
    const FramedWindow first = hostWithField(QRect(20, 20, 300, 200));
    const FramedWindow second = hostWithField(QRect(360, 20, 300, 200));

    activate(first);
    EXPECT_TRUE(settlesOn(first.frame, Look::Active));
    EXPECT_TRUE(settlesOn(second.frame, Look::Inactive));

    for (int turn = 0; turn < 2; ++turn) {
        activate(second);
        EXPECT_TRUE(settlesOn(first.frame, Look::Inactive));
        EXPECT_TRUE(settlesOn(second.frame, Look::Active));
        // Losing activation starts both of a frame's watchers: the one whose condition held
        // stops, the other goes on watching. (Which watchers run before the first turn depends on
        // how soon they ticked while the windows were being shown, so only turns are checked.)
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ticking(first.frame, "Timer1"); }, kLongWaitMs));
        EXPECT_TRUE(watchersHaveTicked(first.frame));
        EXPECT_TRUE(ticking(first.frame, "Timer2")) << "turn " << turn;
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ticking(second.frame, "Timer2"); }, kLongWaitMs));
        activate(first);
        EXPECT_TRUE(settlesOn(first.frame, Look::Active));
        EXPECT_TRUE(settlesOn(second.frame, Look::Inactive));
    }
}

TEST(FrameLook, AnotherApplicationInFrontLeavesTheLooksAsTheyAre)
{
    const FramedWindow first = hostWithField(QRect(20, 20, 300, 200));
    const FramedWindow second = hostWithField(QRect(360, 20, 300, 200));
    activate(first);
    ASSERT_TRUE(settlesOn(second.frame, Look::Inactive));

    QApplication::setActiveWindow(nullptr);
    ASSERT_TRUE(watchersHaveTicked(first.frame));
    ASSERT_TRUE(watchersHaveTicked(second.frame));
    EXPECT_EQ(lookOf(first.frame), Look::Active);
    EXPECT_EQ(lookOf(second.frame), Look::Inactive);
}

TEST(FrameLook, FocusOnTheFrameItselfShowsTheActiveLookAndStopsBothWatchers)
{
    const FramedWindow framed = hostWithField(QRect(20, 20, 300, 200));
    activate(framed);
    framed.frame->show_inactive_frame();
    framed.frame->layout_frame();

    // Hosts keep the frame out of the focus chain; one that lets it in gets these triggers.
    framed.frame->setFocusPolicy(Qt::ClickFocus);
    framed.frame->setFocus();
    EXPECT_EQ(lookOf(framed.frame), Look::Active);
    EXPECT_FALSE(ticking(framed.frame, "Timer1"));
    EXPECT_FALSE(ticking(framed.frame, "Timer2"));

    framed.frame->findChild<QLineEdit *>()->setFocus();
    EXPECT_TRUE(ticking(framed.frame, "Timer1"));
    EXPECT_TRUE(ticking(framed.frame, "Timer2"));
}

}  // namespace
