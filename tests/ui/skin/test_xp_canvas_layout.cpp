// The frame's layout pass: where the pieces go, what each surface shows, which pointers the
// handles show, and the window mask that makes the title bar's key-colour corners transparent.
#include "ui/skin/xp_canvas.h"

#include "ui/skin/xp_canvas_paint.h"

#include "test_xp_canvas_host.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace xpcanvastest;

namespace {

// A title picture whose red channel names the column and green the row, so that each painted
// pixel tells where it came from.
TEST(TitleSlices, CopiesTheCapsAsTheyAreAndStretchesColumnsFiveToSixtyBetweenThem)
{
    QImage coded(66, 29, QImage::Format_RGB32);
    for (int x = 0; x < 66; ++x)
        for (int y = 0; y < 29; ++y)
            coded.setPixel(x, y, qRgb(x, y, 7));
    for (int width : {410, 66, 1280, 12}) {
        SCOPED_TRACE(width);
        const QImage bar = skin::slicedPicture(QPixmap::fromImage(coded), QSize(width, 29), 5)
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
        const auto column = [&](int x) { return qRed(bar.pixel(x, 0)); };
        for (int y = 0; y < 29; ++y)
            ASSERT_EQ(qGreen(bar.pixel(width / 2, y)), y) << "rows are copied, not stretched";
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(column(x), x);
            EXPECT_EQ(column(width - 5 + x), 61 + x);
        }
        std::set<int> middle;
        for (int x = 5; x < width - 5; ++x) {
            EXPECT_GE(column(x), x == 5 ? 5 : column(x - 1)) << "at x " << x;
            EXPECT_LE(column(x), 60) << "at x " << x;
            middle.insert(column(x));
        }
        if (width - 10 >= 56) {
            EXPECT_EQ(column(5), 5);
            EXPECT_EQ(column(width - 6), 60);
            EXPECT_EQ(middle.size(), 56u) << "every middle column of the picture shows";
        }
    }
}

// The art's middle columns are all alike, so a frame's bar is compared with it column by
// column: the caps exact, every column between them the picture's column 5.
bool isTitleBarOf(const QImage &bar, const char *pictureName)
{
    const QImage picture = skinPicture(pictureName);
    for (int x = 0; x < 5; ++x)
        if (!sameColumn(bar, x, picture, x) || !sameColumn(bar, bar.width() - 5 + x, picture, 61 + x))
            return false;
    for (int x = 5; x < bar.width() - 5; ++x)
        if (!sameColumn(bar, x, picture, 5))
            return false;
    return true;
}

// A stretched border shows the picture's rows in order, from its first to its last.
bool isStretchedFrom(const QImage &surface, const char *pictureName, bool byColumns = false)
{
    QTransform turn;
    turn.rotate(byColumns ? 90 : 0);
    const QImage shown = surface.transformed(turn), picture = skinPicture(pictureName).transformed(turn);
    int source = 0;
    for (int y = 0; y < shown.height(); ++y) {
        while (source < picture.height() && !sameRow(shown, y, picture, source))
            ++source;
        if (source == picture.height())
            return false;
    }
    return sameRow(shown, 0, picture, 0) &&
           sameRow(shown, shown.height() - 1, picture, picture.height() - 1);
}

QImage bareTitleBar(const FramedWindow &framed)
{
    for (const char *name : {"lblcaption", "lblshadow", "imgicon"})
        framed.piece(name)->hide();
    QImage bar = grabbed(framed.piece("pictop"));
    for (const char *name : {"lblcaption", "lblshadow", "imgicon"})
        framed.piece(name)->show();
    return bar;
}

TEST(FrameLayout, DocksPaintsAndPlacesEveryPieceAtSeveralWidths)
{
    for (int w : {410, 200, 649}) {
        SCOPED_TRACE(w);
        const FramedWindow framed = framedWindow(QRect(40, 30, w, 300));
        EXPECT_EQ(framed.piece("pictop")->geometry(), QRect(0, 0, w, 29));
        EXPECT_EQ(framed.piece("picleft")->geometry(), QRect(0, 29, 5, 266));
        EXPECT_EQ(framed.piece("picright")->geometry(), QRect(w - 5, 29, 5, 266));
        EXPECT_EQ(framed.piece("picbottom")->geometry(), QRect(0, 295, w, 5));

        EXPECT_TRUE(isTitleBarOf(bareTitleBar(framed), "top1"));
        EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picleft")), "left1"));
        EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picright")), "right1"));
        EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picbottom")), "bottom1", true));

        EXPECT_EQ(framed.piece("lblcaption")->pos(), QPoint(26, 6));
        EXPECT_EQ(framed.piece("lblshadow")->pos(), QPoint(28, 8));
        EXPECT_EQ(framed.piece("imgicon")->geometry(), QRect(6, 8, 16, 16));
        EXPECT_EQ(framed.piece("imgresize6")->geometry(), QRect(w - 9, 0, 9, 9));
        EXPECT_EQ(framed.piece("imgresize2")->geometry(), QRect(9, 0, w - 18, 9));
        EXPECT_EQ(framed.piece("imgresize7")->geometry(), QRect(0, 0, 9, 9));
        // These two sit in the bottom border, of which only 5 rows show.
        EXPECT_EQ(framed.piece("imgresize4")->geometry(), QRect(w - 9, -4, 9, 9));
        EXPECT_EQ(framed.piece("imgresize5")->geometry(), QRect(0, 0, 9, 9));
        EXPECT_EQ(framed.piece("imgresize4")->parentWidget(), framed.piece("picbottom"));
    }
}

using Pointers = std::array<Qt::CursorShape, 8>;

// By edge code: left, right, top, bottom borders, then the corners.
Pointers pointersOf(const FramedWindow &framed)
{
    Pointers shapes{};
    const char *handles[] = {"picleft",    "picright",   "imgresize2", "picbottom",
                             "imgresize4", "imgresize5", "imgresize6", "imgresize7"};
    for (std::size_t edge = 0; edge < shapes.size(); ++edge)
        shapes[edge] = framed.piece(handles[edge])->cursor().shape();
    return shapes;
}

constexpr Pointers kSizing = {Qt::SizeHorCursor,   Qt::SizeHorCursor,   Qt::SizeVerCursor,
                              Qt::SizeVerCursor,   Qt::SizeFDiagCursor, Qt::SizeBDiagCursor,
                              Qt::SizeBDiagCursor, Qt::SizeFDiagCursor};
constexpr Pointers kDefault = {Qt::ArrowCursor, Qt::ArrowCursor, Qt::ArrowCursor, Qt::ArrowCursor,
                               Qt::ArrowCursor, Qt::ArrowCursor, Qt::ArrowCursor, Qt::ArrowCursor};

TEST(FrameLayout, HandlePointersFollowTheWindowStateAndFixedSingle)
{
    const struct {
        bool fixedSingle, maximised;
        Pointers expected;
    } cases[] = {{false, false, kSizing}, {true, false, kDefault}, {false, true, kDefault},
                 {true, true, kDefault}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "fixed " << c.fixedSingle << " max " << c.maximised);
        const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
        framed.frame->setFixed_Single(c.fixedSingle);
        if (c.maximised)
            framed.window->showMaximized();
        framed.frame->layout_frame();
        EXPECT_EQ(pointersOf(framed), c.expected);
    }
}

TEST(FrameLayout, MaximisedHostShowsTheSquareCorneredPictureAndNoMask)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    framed.window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed.frame->width() != 410; }));
    EXPECT_TRUE(isTitleBarOf(bareTitleBar(framed), "topmax1"));
    EXPECT_TRUE(framed.window->mask().isEmpty());
}

TEST(FrameLayout, MinimisedHostKeepsTitleBarAndPointersButRepaintsTheRest)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    const QImage barBefore = grabbed(framed.piece("pictop"));
    framed.window->showMinimized();
    framed.frame->show_inactive_frame();
    framed.frame->resize(300, 200);

    EXPECT_EQ(grabbed(framed.piece("pictop")), barBefore.copy(0, 0, 300, 29));
    EXPECT_EQ(pointersOf(framed), kSizing);
    EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picleft")), "left2"));
    EXPECT_EQ(framed.piece("imgresize4")->geometry(), QRect(291, -4, 9, 9));

    framed.frame->setFixed_Single(true);
    EXPECT_EQ(pointersOf(framed), kDefault) << "a fixed frame resets them in any state";
}

TEST(FrameLayout, NewLookShowsAtTheNextPassOnAllFivePictures)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    framed.frame->show_inactive_frame();
    EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picleft")), "left1"));

    framed.frame->layout_frame();
    EXPECT_TRUE(isTitleBarOf(bareTitleBar(framed), "top2"));
    EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picleft")), "left2"));
    EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picright")), "right2"));
    EXPECT_TRUE(isStretchedFrom(grabbed(framed.piece("picbottom")), "bottom2", true));
}

TEST(FrameLayout, PassSetsTheHostToPixelUnitsAndEndsWithResize)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    framed.window->setProperty("ScaleMode", 1);
    QSignalSpy passes(framed.frame, &xp_canvas::Resize);
    framed.frame->layout_frame();
    EXPECT_EQ(framed.window->property("ScaleMode").toInt(), 3);
    EXPECT_EQ(passes.count(), 1);
}

// The mask must leave out exactly the picture's magenta pixels at the bar's two ends.
void expectCornersCutOut(const FramedWindow &framed, const char *pictureName)
{
    const QImage picture = skinPicture(pictureName);
    const QRegion mask = framed.window->mask();
    const int w = framed.window->width();
    int cut = 0;
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < w; ++x) {
            const int source = x < 5 ? x : x >= w - 5 ? 66 - (w - x) : 5;
            const bool key = picture.pixel(source, y) == qRgb(255, 0, 255);
            ASSERT_EQ(mask.contains(QPoint(x, y)), !key) << "at " << x << "," << y;
            cut += key;
        }
    EXPECT_EQ(cut, 24) << "12 pixels at each top corner";
    EXPECT_TRUE(mask.contains(QRect(0, 29, w, framed.window->height() - 29)));
}

TEST(KeyColourCorners, AreCutOutOfTheWindowInTheNormalStateOnly)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    expectCornersCutOut(framed, "top1");
    framed.window->resize(500, 300);
    expectCornersCutOut(framed, "top1");
    framed.frame->show_inactive_frame();
    framed.frame->layout_frame();
    expectCornersCutOut(framed, "top2");

    framed.window->showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed.frame->width() != 500; }));
    EXPECT_TRUE(framed.window->mask().isEmpty());
    framed.window->showNormal();
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed.frame->width() == 500; }));
    expectCornersCutOut(framed, "top2");
}

TEST(KeyColourCorners, WindowWithASystemFrameKeepsItsShape)
{
    QWidget window;
    auto *frame = new xp_canvas(&window);
    frame->resize(300, 200);
    EXPECT_TRUE(window.mask().isEmpty());
}

}  // namespace
