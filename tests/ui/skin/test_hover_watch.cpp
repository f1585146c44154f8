// The 10 ms poll that notices the pointer leaving a control. The tests move the real cursor,
// which the offscreen platform keeps and reports like any other.

#include "skin_pointer.h"
#include "ui/skin/hover_watch.h"

#include <QCursor>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using skintest::pointTo;
using skintest::waitForPolls;

class HoverWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.setGeometry(100, 100, 300, 200);
        control = new QWidget(&host);
        control->setGeometry(40, 30, 60, 40);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        watch = new skin::HoverWatch(control);
        QObject::connect(watch, &skin::HoverWatch::left, [this] { ++left; });
    }

    QWidget host;
    QWidget *control = nullptr;
    skin::HoverWatch *watch = nullptr;
    int left = 0;
};

}  // namespace

TEST_F(HoverWatchTest, ReportsOnceWhenThePointerIsOutsideTheAreaWhoseEdgeLinesCountAsInside)
{
    struct Case {
        QPoint at;
        bool outside;
    };
    const Case cases[] = {{{0, 0}, false},   {{60, 40}, false}, {{60, 0}, false},
                          {{-1, 20}, true},  {{61, 20}, true},  {{30, -1}, true},
                          {{30, 41}, true},  {{200, 150}, true}};
    for (const Case &c : cases) {
        left = 0;
        pointTo(control, c.at);
        watch->start();
        // Outside, the first poll stops the watch; inside, it keeps polling.
        ASSERT_TRUE(waitForPolls(control, 3));
        EXPECT_EQ(left, c.outside ? 1 : 0) << "at " << c.at.x() << "," << c.at.y();
        EXPECT_EQ(watch->isActive(), !c.outside) << "at " << c.at.x() << "," << c.at.y();
        watch->stop();
    }
}

TEST_F(HoverWatchTest, StartingAgainWhileRunningDoesNotPostponeTheNextTick)
{
    // A drag outside the control delivers moves faster than the watch ticks, and each one
    // starts the watch; the pointer being gone must still be noticed.
    pointTo(control, {200, 150});
    QElapsedTimer clock;
    clock.start();
    while (left == 0 && clock.elapsed() < skintest::kLongWaitMs) {
        watch->start();
        QTest::qWait(2);
    }
    EXPECT_EQ(left, 1);
}
