// The program started twice on one recipe file: the second start hands over to the window
// already open and ends; a copy killed outright does not keep the next start from opening.

#include "platform/single_instance.h"
#include "support/temp_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPatience = 60000;

class SingleWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        db.create();
        db.addCategory(QStringLiteral("Soups"), {testsupport::row(QStringLiteral("Leek "))});
        // A portable copy keeps its recipes beside itself: this one works on db's file.
        program = db.folder() + QStringLiteral("/saporium");
        ASSERT_TRUE(QFile::copy(QStringLiteral(SAPORIUM_PROGRAM), program));
    }

    std::unique_ptr<QProcess> start()
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process->setProcessEnvironment(environment);
        process->start(program, {});
        EXPECT_TRUE(process->waitForStarted(kPatience));
        return process;
    }

    // Waits until a window holds the file and answers; a raise request is what tells.
    bool windowAnswers()
    {
        platform::SingleInstance probe(db.filePath());
        QElapsedTimer waited;
        waited.start();
        while (!probe.askToRaise(kPatience)) {
            if (waited.hasExpired(kPatience))
                return false;
            QTest::qWait(50);
        }
        return true;
    }

    static void stop(QProcess &process)
    {
        process.kill();
        process.waitForFinished(kPatience);
    }

    testsupport::TempDb db;
    QString program;
};

TEST_F(SingleWindowTest, ASecondStartHandsOverToTheOpenWindowAndEnds)
{
    const auto first = start();
    ASSERT_TRUE(windowAnswers());

    const auto second = start();
    ASSERT_TRUE(second->waitForFinished(kPatience));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Killed outright, the first leaves its lock and its socket behind; the next start opens
    // the file all the same, and answers the next one.
    stop(*first);
    const auto third = start();
    EXPECT_TRUE(windowAnswers());
    EXPECT_EQ(third->state(), QProcess::Running);
    stop(*third);
}

}  // namespace
