// The skin's pictures on a screen of device pixel ratio 2 (this program runs with
// QT_SCALE_FACTOR=2): which drawing skin::picture picks for each ratio, and that the frame and
// the buttons paint the 2x pictures' own pixels there while their sizes and the window mask stay
// in logical pixels.

#include "ui/skin/skin_pictures.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"

#include "test_xp_canvas_host.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

using namespace xpcanvastest;

namespace {

// Set before the test's main creates the QApplication, so a run by hand is at ratio 2 as well.
[[maybe_unused]] const bool kDoubleScreen = qputenv("QT_SCALE_FACTOR", "2");

QImage pixels(const QPixmap &pixmap) { return pixmap.toImage().convertToFormat(QImage::Format_RGB32); }

QImage file(const QString &path) { return QImage(path).convertToFormat(QImage::Format_RGB32); }

// The 1x picture with every pixel doubled: what the screen showed before there were 2x pictures.
QImage doubled(const char *name)
{
    const QImage plain = file(QStringLiteral(":/skin/%1.png").arg(QLatin1String(name)));
    return plain.scaled(plain.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage grabbedAt2(QWidget *widget)
{
    const QPixmap grab = widget->grab();
    EXPECT_EQ(grab.devicePixelRatio(), 2.0);
    return pixels(grab);
}

TEST(SkinPictures, EachRatioGetsTheDrawingForItRoundedUpToTheDensestThereIs)
{
    ASSERT_EQ(qGuiApp->devicePixelRatio(), 2.0) << "the test must run at ratio 2";
    const struct {
        qreal ratio;
        qreal drawnFor;
    } cases[] = {{1.0, 1.0}, {1.25, 2.0}, {1.5, 2.0}, {2.0, 2.0}, {2.5, 3.0}, {3.0, 3.0}, {4.0, 3.0}};
    for (const auto &c : cases) {
        const QPixmap top = skin::picture(QStringLiteral("top1"), c.ratio);
        EXPECT_EQ(top.devicePixelRatio(), c.drawnFor) << "ratio " << c.ratio;
        EXPECT_EQ(top.size(), QSize(66, 29) * c.drawnFor) << "ratio " << c.ratio;
        EXPECT_EQ(top.deviceIndependentSize(), QSizeF(66, 29)) << "ratio " << c.ratio;
    }
    EXPECT_EQ(pixels(skin::picture(QStringLiteral("face"), 1.0)), file(QStringLiteral(":/skin/face.png")));
    EXPECT_EQ(pixels(skin::picture(QStringLiteral("face"))), file(QStringLiteral(":/skin/face@2x.png")));
    EXPECT_EQ(skin::picture(QStringLiteral("face")).devicePixelRatio(), 2.0);
    EXPECT_TRUE(skin::picture(QStringLiteral("nosuchpicture"), 2.0).isNull());
}

TEST(SkinPictures, FramePaintsThe2xTitleBarAndCutsItsCornersInLogicalPixels)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 300, 200));
    const QImage bar = grabbedAt2(framed.piece("pictop"));
    const QImage top = pixels(skin::picture(QStringLiteral("top1")));
    ASSERT_EQ(bar.size(), QSize(600, 58));
    // The middle column holds the 2x drawing's finer gradient, which the doubled 1x lacks.
    ASSERT_NE(top.copy(66, 0, 1, 58), doubled("top1").copy(66, 0, 1, 58));
    EXPECT_EQ(bar.copy(0, 0, 10, 58), top.copy(0, 0, 10, 58)) << "left cap";
    EXPECT_EQ(bar.copy(590, 0, 10, 58), top.copy(122, 0, 10, 58)) << "right cap";
    EXPECT_EQ(bar.copy(560, 0, 1, 58), top.copy(66, 0, 1, 58)) << "stretched middle";

    // 12 logical pixels at each top corner, as at ratio 1.
    const QImage plain = file(QStringLiteral(":/skin/top1.png"));
    const QRegion mask = framed.window->mask();
    int cut = 0;
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 300; ++x) {
            const int source = x < 5 ? x : x >= 295 ? 66 - (300 - x) : 5;
            const bool key = plain.pixel(source, y) == qRgb(255, 0, 255);
            ASSERT_EQ(mask.contains(QPoint(x, y)), !key) << "at " << x << "," << y;
            cut += key;
        }
    }
    EXPECT_EQ(cut, 24);
}

TEST(SkinPictures, ButtonsShowThe2xCellsAtTheirLogicalSize)
{
    QWidget window;
    window.resize(100, 60);
    auto *caption = new xptopbuttons(&window);
    auto *command = new xpcmdbutton(&window);
    command->setCaption(QString());
    // The face cell's own size, so that no slice is stretched.
    command->setGeometry(40, 10, 18, 21);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_EQ(caption->size(), QSize(21, 21));
    const QImage close = pixels(skin::picture(QStringLiteral("close")));
    ASSERT_NE(close.copy(0, 0, 42, 42), doubled("close").copy(0, 0, 42, 42));
    EXPECT_EQ(grabbedAt2(caption), close.copy(0, 0, 42, 42));

    const QImage face = pixels(skin::picture(QStringLiteral("face")));
    ASSERT_NE(face.copy(0, 0, 36, 42), doubled("face").copy(0, 0, 36, 42));
    EXPECT_EQ(grabbedAt2(command), face.copy(0, 0, 36, 42));
}

}  // namespace
