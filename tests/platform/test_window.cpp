// The cursor and window calls: moving a window with the mouse where the window system will
// not (the offscreen platform never does), and the program's active form.

#include "platform/window.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<QWidget> shownWindow(QRect bounds)
{
    auto window = std::make_unique<QWidget>();
    window->setWindowFlag(Qt::FramelessWindowHint);
    window->setGeometry(bounds);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    return window;
}

// Mouse input as the window system delivers it, at a point of the window. Qt drops a move to
// where the cursor already is, so the tests never repeat a point.
void press(QWidget *w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(w->windowHandle(), button, {}, at);
}
void moveTo(QWidget *w, QPoint at) { QTest::mouseMove(w->windowHandle(), at); }
void release(QWidget *w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(w->windowHandle(), button, {}, at);
}

TEST(BeginWindowMove, WindowFollowsTheCursorPastTheDragDistanceUntilTheLastRelease)
{
    const auto window = shownWindow(QRect(100, 100, 200, 150));
    const QPoint grip(50, 10);
    const int distance = QApplication::startDragDistance();
    press(window.get(), grip, Qt::RightButton);
    ASSERT_TRUE(platform::BeginWindowMove(window.get(), window->mapToGlobal(grip)));

    moveTo(window.get(), grip + QPoint(distance - 1, 0));
    EXPECT_EQ(window->pos(), QPoint(100, 100)) << "a shaky click is no move";
    moveTo(window.get(), grip + QPoint(25, 5));
    EXPECT_EQ(window->pos(), QPoint(125, 105));
    press(window.get(), grip, Qt::LeftButton);
    release(window.get(), grip, Qt::LeftButton);
    moveTo(window.get(), grip + QPoint(-40, 12));
    EXPECT_EQ(window->pos(), QPoint(85, 117)) << "the right button is still held";

    release(window.get(), grip, Qt::RightButton);
    moveTo(window.get(), grip + QPoint(30, 30));
    EXPECT_EQ(window->pos(), QPoint(85, 117));
}

TEST(BeginWindowMove, StopsAtAMoveWithNoButtonHeld)
{
    const auto window = shownWindow(QRect(100, 100, 200, 150));
    const QPoint grip(50, 10);
    ASSERT_TRUE(platform::BeginWindowMove(window.get(), window->mapToGlobal(grip)));
    // The release went elsewhere: the first move seen has no button down.
    moveTo(window.get(), grip + QPoint(23, 17));
    press(window.get(), grip + QPoint(23, 17));
    moveTo(window.get(), grip + QPoint(40, 40));
    release(window.get(), grip + QPoint(40, 40));
    EXPECT_EQ(window->pos(), QPoint(100, 100));
}

TEST(BeginWindowMove, SurvivesTheWindowClosingMidMoveAndRefusesHiddenWindows)
{
    auto window = shownWindow(QRect(100, 100, 200, 150));
    const auto other = shownWindow(QRect(400, 100, 200, 150));
    press(window.get(), {50, 10});
    ASSERT_TRUE(platform::BeginWindowMove(window.get(), window->mapToGlobal(QPoint(50, 10))));
    window.reset();
    press(other.get(), {60, 10});
    moveTo(other.get(), {90, 40});
    release(other.get(), {90, 40});
    EXPECT_EQ(other->pos(), QPoint(400, 100));

    EXPECT_FALSE(platform::BeginWindowMove(nullptr, {0, 0}));
    QWidget hidden;
    EXPECT_FALSE(platform::BeginWindowMove(&hidden, {0, 0}));
}

TEST(ActiveForm, StaysTheLastActiveWindowWhileAnotherApplicationIsInFront)
{
    const auto first = shownWindow(QRect(100, 100, 200, 150));
    const auto second = shownWindow(QRect(400, 100, 200, 150));
    platform::ActiveForm();
    second->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(second.get()));
    first->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(first.get()));

    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    EXPECT_EQ(platform::ActiveForm(), first.get());

    first->hide();
    EXPECT_EQ(platform::ActiveForm(), nullptr) << "a hidden window is no longer the active form";
}

}  // namespace
