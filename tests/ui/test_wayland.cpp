// The windows where the window system shapes and places them itself (Wayland, here a headless
// weston): the frame's round corners from see-through pixels and no mask, and the preview asked
// to open over the main window.

#include "platform/window.h"
#include "skin/test_xp_canvas_host.h"
#include "support/scripted_dialogs.h"
#include "ui/print/frmprint.h"
#include "ui/print/print_command.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QWindow>

using namespace xpcanvastest;

TEST(FrameOnWayland, TheCornersAreSeeThroughAndNoMaskIsSet)
{
    ASSERT_TRUE(QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        << "run under with_weston.sh, not on " << QGuiApplication::platformName().toStdString();
    ASSERT_TRUE(platform::SystemPlacesWindows());
    const FramedWindow framed = framedWindow(QRect(0, 0, 300, 200));
    EXPECT_TRUE(framed.window->testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(framed.window->mask().isEmpty());

    // What the window shows: the title bar's outermost corner pixels clear, its middle solid,
    // and no key colour anywhere along the top rows.
    const QImage shown = framed.window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const int right = shown.width() - 1;
    const struct {
        QPoint at;
        bool clear;
    } pixels[] = {{{0, 0}, true}, {{right, 0}, true}, {{150, 0}, false}, {{150, 10}, false}, {{0, 40}, false}};
    for (const auto &pixel : pixels) {
        SCOPED_TRACE(testing::Message() << pixel.at.x() << "," << pixel.at.y());
        EXPECT_EQ(qAlpha(shown.pixel(pixel.at)) == 0, pixel.clear);
    }
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_NE(shown.pixel(x, y) & 0xffffff, 0xff00ffu) << "key colour at " << x << "," << y;
}

TEST(PreviewOnWayland, AsksToOpenOverTheMainWindow)
{
    ASSERT_TRUE(platform::SystemPlacesWindows());
    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    testsupport::ScriptedDialogs dialogs;
    const FramedWindow mainWindow = framedWindow(QRect(0, 0, 649, 434));
    printdoc::PrintCommand print(dialogs, folder.path(), mainWindow.window.get());
    print.run(QStringLiteral("Rice"), {}, QStringLiteral("rice"), QStringLiteral("boil"));
    ASSERT_NE(print.preview(), nullptr) << dialogs.messages().size() << " message(s)";
    ASSERT_NE(print.preview()->windowHandle(), nullptr);
    EXPECT_EQ(print.preview()->windowHandle()->transientParent(), mainWindow.window->windowHandle());
}
