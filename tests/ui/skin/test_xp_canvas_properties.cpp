// The frame's properties as a host's form sets them, their defaults when the form leaves them
// out, and what setting each one changes.
#include "ui/skin/xp_canvas.h"

#include "test_xp_canvas_host.h"
#include "ui_test_xp_canvas_properties_fixed.h"
#include "ui_test_xp_canvas_properties_plain.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace xpcanvastest;

namespace {

QLabel *label(xp_canvas *frame, const char *name)
{
    return frame->findChild<QLabel *>(QString::fromLatin1(name));
}

QImage iconShown(xp_canvas *frame)
{
    return label(frame, "imgicon")->pixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

Qt::CursorShape rightBorderPointer(xp_canvas *frame)
{
    return frame->findChild<QWidget *>(QStringLiteral("picright"))->cursor().shape();
}

TEST(FrameProperties, StoredValuesReachTheFrameFromTheForm)
{
    QWidget host;
    Ui::FixedFrameForm form;
    form.setupUi(&host);
    xp_canvas *frame = form.xp_canvas1;

    EXPECT_EQ(frame->Caption(), QStringLiteral("Saporium V1.2"));
    EXPECT_EQ(label(frame, "lblshadow")->text(), QStringLiteral("Saporium V1.2"));
    EXPECT_EQ(host.windowTitle(), QStringLiteral("Saporium V1.2"));
    EXPECT_TRUE(frame->Fixed_Single());
    EXPECT_EQ(rightBorderPointer(frame), Qt::ArrowCursor);
    EXPECT_EQ(frame->Icon().availableSizes(), QList<QSize>{QSize(90, 21)});
    EXPECT_EQ(iconShown(frame).size(), QSize(16, 16));
    EXPECT_NE(iconShown(frame), skinPicture("defaulticon"));
}

TEST(FrameProperties, AbsentValuesReadAsTheirDefaults)
{
    QWidget host;
    Ui::PlainFrameForm form;
    form.setupUi(&host);
    xp_canvas *frame = form.frmprintXP;

    EXPECT_EQ(frame->Caption(), QStringLiteral("frmprintXP"));
    EXPECT_EQ(host.windowTitle(), QStringLiteral("frmprintXP"));
    EXPECT_FALSE(frame->Fixed_Single());
    EXPECT_EQ(rightBorderPointer(frame), Qt::SizeHorCursor);
    EXPECT_EQ(iconShown(frame), skinPicture("defaulticon"));
}

TEST(FrameProperties, FormsControlsLieOnTopOfTheFrameThatFillsTheWindow)
{
    QWidget host;
    host.setWindowFlag(Qt::FramelessWindowHint);
    Ui::FixedFrameForm form;
    form.setupUi(&host);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));

    EXPECT_EQ(form.xp_canvas1->geometry(), host.rect());
    EXPECT_EQ(host.childAt(630, 12), form.closeButton) << "above the title bar";
    EXPECT_EQ(host.childAt(300, 12)->objectName(), QStringLiteral("pictop"));
    EXPECT_EQ(host.childAt(205, 88), form.Label1);
}

TEST(FrameProperties, CaptionFollowsTheInstanceNameUntilSet)
{
    QWidget host;
    auto *frame = new xp_canvas(&host);
    frame->setObjectName(QStringLiteral("xp_canvas7"));
    EXPECT_EQ(frame->Caption(), QStringLiteral("xp_canvas7"));

    frame->setCaption(QStringLiteral("Print Recipe"));
    frame->setObjectName(QStringLiteral("renamed"));
    EXPECT_EQ(frame->Caption(), QStringLiteral("Print Recipe"));
    EXPECT_EQ(host.windowTitle(), QStringLiteral("Print Recipe"));
}

TEST(FrameProperties, CaptionChangesLabelShadowAndHostTitleAtOnceAndStaysWhole)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    QLabel *caption = label(framed.frame, "lblcaption");
    framed.frame->setCaption(QStringLiteral("Saporium V1.2"));
    EXPECT_EQ(caption->size(), QSize(131, 18));

    const QString longCaption = QStringLiteral("Print [ A very long recipe name indeed ] Recipe");
    framed.frame->setCaption(longCaption);
    EXPECT_EQ(caption->text(), longCaption);
    EXPECT_EQ(label(framed.frame, "lblshadow")->text(), longCaption);
    EXPECT_EQ(framed.window->windowTitle(), longCaption);
    EXPECT_GE(caption->width(), caption->fontMetrics().horizontalAdvance(longCaption));
    EXPECT_EQ(label(framed.frame, "lblshadow")->size(), caption->size());
}

TEST(FrameProperties, IconIsStretchedToSixteenPixelsSquare)
{
    const FramedWindow framed = framedWindow(QRect(40, 30, 410, 300));
    QImage wide(32, 8, QImage::Format_RGB32);
    wide.fill(qRgb(10, 200, 30));
    framed.frame->setIcon(QIcon(QPixmap::fromImage(wide)));

    const QImage shown = iconShown(framed.frame);
    ASSERT_EQ(shown.size(), QSize(16, 16));
    EXPECT_EQ(shown.pixel(0, 0), qRgb(10, 200, 30));
    EXPECT_EQ(shown.pixel(15, 15), qRgb(10, 200, 30)) << "not letterboxed";
}

}  // namespace
