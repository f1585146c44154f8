// Moving, maximising and resizing the host window through the frame: the resize routine's edge
// table, and the gestures on the title bar, the borders and the hot spots.
#include "ui/skin/xp_canvas.h"

#include "ui/skin/xp_canvas_host.h"

#include "test_xp_canvas_host.h"

#include <QScreen>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace xpcanvastest;

namespace {

const QRect kBounds(100, 80, 300, 200);

TEST(ResizeHost, MovesTheEdgesOfTheCodesRowByTheCursorTravel)
{
    const struct {
        int edge;
        QPoint travel;
        QRect expected;
    } cases[] = {
        {0, {12, -7}, {112, 80, 288, 200}}, {1, {12, -7}, {100, 80, 312, 200}},
        {2, {12, -7}, {100, 73, 300, 207}}, {3, {12, -7}, {100, 80, 300, 193}},
        {4, {12, -7}, {100, 80, 312, 193}}, {5, {12, -7}, {112, 80, 288, 193}},
        {6, {12, -7}, {100, 73, 312, 207}}, {7, {12, -7}, {112, 73, 288, 207}},
        {8, {12, -7}, kBounds},             {-1, {12, -7}, kBounds},
        {7, {0, 0}, kBounds},
        // A size below zero is refused whole: the window does not move either.
        {0, {301, 0}, kBounds}, {7, {0, 201}, kBounds}, {3, {0, -201}, kBounds},
        // No minimum size.
        {1, {-299, 0}, {100, 80, 1, 200}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "edge " << c.edge << " travel " << c.travel.x() << ","
                                        << c.travel.y());
        const FramedWindow framed = framedWindow(kBounds);
        xp_canvas::resize_host(framed.window.get(), {150, 90}, QPoint(150, 90) + c.travel, c.edge);
        EXPECT_EQ(framed.window->geometry(), c.expected);
    }
}

TEST(ResizeHost, CountsInTwipsAndLeavesMaximisedOrMinimisedHostsAlone)
{
    const FramedWindow framed = framedWindow(kBounds);
    const skin::XpCanvasHost host(framed.window.get());
    const double twipsPerPixel = 1440.0 / framed.window->screen()->logicalDotsPerInchX();
    xp_canvas::resize_host(framed.window.get(), {0, 0}, {10, 0}, 1);
    EXPECT_DOUBLE_EQ(host.Width(), 310 * twipsPerPixel);
    EXPECT_DOUBLE_EQ(host.Left(), 100 * twipsPerPixel);

    framed.window->showMaximized();
    const QRect maximised = framed.window->geometry();
    xp_canvas::resize_host(framed.window.get(), {0, 0}, {-40, -40}, 7);
    EXPECT_EQ(framed.window->geometry(), maximised);

    framed.window->showNormal();
    framed.window->setGeometry(kBounds);
    framed.window->showMinimized();
    xp_canvas::resize_host(framed.window.get(), {0, 0}, {-40, -40}, 7);
    EXPECT_EQ(framed.window->geometry(), kBounds);
}

// A press on `handle` at `at` and the release of the same button `travel` away.
void dragHandle(QWidget *handle, QPoint at, QPoint travel, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(handle, button, {}, at);
    QTest::mouseMove(handle, at + travel);
    QTest::mouseRelease(handle, button, {}, at + travel);
}

TEST(HandleGesture, ResizesTheHostOnceAtTheRelease)
{
    const struct {
        const char *handle;
        QPoint at, travel;
        Qt::MouseButton button;
        QRect expected;
    } cases[] = {
        {"picright", {2, 50}, {10, 0}, Qt::LeftButton, {100, 80, 310, 200}},
        {"picright", {2, 50}, {10, 0}, Qt::RightButton, {100, 80, 310, 200}},
        {"imgresize7", {4, 4}, {-20, -10}, Qt::LeftButton, {80, 70, 320, 210}},
        {"imgresize2", {40, 3}, {5, 15}, Qt::MiddleButton, {100, 95, 300, 185}},
        {"imgresize4", {4, 6}, {7, 9}, Qt::LeftButton, {100, 80, 307, 209}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.handle);
        const FramedWindow framed = framedWindow(kBounds);
        QWidget *handle = framed.piece(c.handle);
        QTest::mousePress(handle, c.button, {}, c.at);
        QTest::mouseMove(handle, c.at + c.travel);
        EXPECT_EQ(framed.window->geometry(), kBounds) << "nothing follows the cursor while held";
        QTest::mouseRelease(handle, c.button, {}, c.at + c.travel);
        EXPECT_EQ(framed.window->geometry(), c.expected);
    }
}

TEST(FixedFrame, IgnoresBordersHotSpotsAndTitleDoubleClicks)
{
    const FramedWindow framed = framedWindow(kBounds);
    framed.frame->setFixed_Single(true);
    dragHandle(framed.piece("picright"), {2, 50}, {10, 0});
    dragHandle(framed.piece("picbottom"), {60, 2}, {0, 30}, Qt::RightButton);
    dragHandle(framed.piece("imgresize4"), {4, 6}, {7, 9});
    QTest::mouseDClick(framed.window->windowHandle(), Qt::LeftButton, {}, {150, 15});
    EXPECT_EQ(framed.window->windowState(), Qt::WindowNoState);
    EXPECT_EQ(framed.window->geometry(), kBounds);
}

// A press at `at` in the host window, routed by Qt as a real one, dragged by `travel`.
void dragWindowAt(QWindow *window, QPoint at, QPoint travel, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(window, button, {}, at);
    QTest::mouseMove(window, at + travel);
    // The window has moved under the cursor, which is back over the pressed point.
    QTest::mouseRelease(window, button, {}, at);
}

TEST(TitlePress, MovesTheWindowFromAnyPartOfTheTitleBar)
{
    const struct {
        const char *where;
        QPoint at, travel;
        bool fixedSingle;
    } cases[] = {
        {"bar", {200, 20}, {30, 20}, false},
        {"caption", {40, 12}, {30, 20}, false},
        {"icon", {10, 12}, {30, 20}, false},
        // A fixed frame's hot spots let the press through to the bar.
        {"fixed top edge", {100, 3}, {30, 20}, true},
        {"fixed corner", {295, 3}, {-30, 20}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.where);
        const FramedWindow framed = framedWindow(kBounds);
        framed.frame->setFixed_Single(c.fixedSingle);
        dragWindowAt(framed.window->windowHandle(), c.at, c.travel, Qt::RightButton);
        EXPECT_EQ(framed.window->geometry(), kBounds.translated(c.travel));
        QTest::mouseMove(framed.window->windowHandle(), c.at + c.travel / 2);
        EXPECT_EQ(framed.window->geometry(), kBounds.translated(c.travel)) << "released";
    }
}

TEST(TitleDoubleClick, MaximisesAndRestoresAResizableFrame)
{
    const FramedWindow framed = framedWindow(kBounds);
    QWindow *window = framed.window->windowHandle();
    QTest::mouseDClick(window, Qt::LeftButton, {}, {150, 15});
    EXPECT_EQ(framed.window->windowState(), Qt::WindowMaximized);

    const QRect maximised = framed.window->geometry();
    dragWindowAt(window, {150, 15}, {30, 20});
    dragHandle(framed.piece("picright"), {2, 50}, {-40, 0});
    EXPECT_EQ(framed.window->geometry(), maximised) << "maximised: no move, no resize";

    QTest::mouseDClick(window, Qt::LeftButton, {}, {150, 15});
    EXPECT_EQ(framed.window->windowState(), Qt::WindowNoState);
}

TEST(FrameEvents, OnlyTheFramesOwnSurfaceRaisesThem)
{
    const FramedWindow framed = framedWindow(kBounds);
    QSignalSpy downs(framed.frame, &xp_canvas::MouseDown);
    QSignalSpy clicks(framed.frame, &xp_canvas::Click);
    QWindow *window = framed.window->windowHandle();
    QTest::mouseClick(window, Qt::LeftButton, {}, {150, 15});
    QTest::mouseClick(window, Qt::LeftButton, {}, {2, 100});
    EXPECT_EQ(downs.count(), 0) << "presses on the pieces stay with them";

    QTest::mouseClick(window, Qt::RightButton, Qt::ShiftModifier, {150, 100});
    ASSERT_EQ(downs.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(downs[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(downs[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(downs[0][2].toFloat(), 150.0f);
    EXPECT_EQ(downs[0][3].toFloat(), 100.0f);
}

}  // namespace
