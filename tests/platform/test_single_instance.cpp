// One window per recipe file: claims keyed by the file's real path, raise requests between
// copies, and locks left by a copy that died. The other copy is a real process, so that the
// lock and the socket behave as they do between two starts of the program.

#include "platform/single_instance.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kPatience = 30000;

class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("data")));
        ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("data")), dir.filePath(QStringLiteral("link"))));
        QFile file(recipeFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QString recipeFile() const { return dir.filePath(QStringLiteral("data/Recipe.mdb")); }

    // Starts a holder of the file and waits until it holds it.
    std::unique_ptr<QProcess> startHolder(const QString &file)
    {
        auto holder = std::make_unique<QProcess>();
        holder->start(QStringLiteral(SINGLE_INSTANCE_HOLDER), {QStringLiteral("hold"), file});
        EXPECT_TRUE(holder->waitForStarted(kPatience));
        while (!holder->canReadLine() && holder->waitForReadyRead(kPatience)) {
        }
        EXPECT_EQ(holder->readLine(), QByteArray("claimed\n"));
        return holder;
    }

    static void stop(QProcess &process)
    {
        process.kill();
        process.waitForFinished(kPatience);
    }

    QTemporaryDir dir;
};

TEST_F(SingleInstanceTest, AFileHeldByAnotherCopyIsNotClaimedHoweverItIsSpelled)
{
    const auto holder = startHolder(recipeFile());
    struct Case {
        const char *what;
        QString file;
        bool claimed;
    };
    const Case cases[] = {
        {"the same path", recipeFile(), false},
        {"through \"..\"", dir.filePath(QStringLiteral("data/../data/Recipe.mdb")), false},
        {"through a linked folder", dir.filePath(QStringLiteral("link/Recipe.mdb")), false},
        {"another file, not made yet", dir.filePath(QStringLiteral("data/Other.mdb")), true},
        {"another folder", dir.filePath(QStringLiteral("Recipe.mdb")), true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        platform::SingleInstance instance(c.file);
        EXPECT_EQ(instance.claim(), c.claimed);
    }
    stop(*holder);
}

TEST_F(SingleInstanceTest, ALaterCopysRequestReachesTheHolder)
{
    const auto holder = startHolder(recipeFile());
    platform::SingleInstance second(dir.filePath(QStringLiteral("link/Recipe.mdb")));
    ASSERT_FALSE(second.claim());
    EXPECT_TRUE(second.askToRaise(kPatience));
    while (!holder->canReadLine() && holder->waitForReadyRead(kPatience)) {
    }
    EXPECT_EQ(holder->readLine(), QByteArray("raised\n"));
    stop(*holder);
}

TEST_F(SingleInstanceTest, ALockLeftByACopyThatDiedDoesNotBlock)
{
    // Killed outright: its lock file and its socket stay behind.
    const auto dead = startHolder(recipeFile());
    stop(*dead);

    platform::SingleInstance first(recipeFile());
    ASSERT_TRUE(first.claim());
    // The next copy finds this one listening, not the dead one.
    QSignalSpy raised(&first, &platform::SingleInstance::raiseRequested);
    QProcess next;
    next.start(QStringLiteral(SINGLE_INSTANCE_HOLDER), {QStringLiteral("ask"), recipeFile()});
    EXPECT_TRUE(raised.wait(kPatience));
    ASSERT_TRUE(next.waitForFinished(kPatience));
    EXPECT_EQ(next.exitCode(), 0);
}

TEST_F(SingleInstanceTest, AHolderThatDoesNotAnswerIsReportedAsUnreachable)
{
    platform::SingleInstance first(recipeFile());
    ASSERT_TRUE(first.claim());
    // This thread is the holder's and it is blocked in the request below, as a hung copy would be.
    platform::SingleInstance second(recipeFile());
    ASSERT_FALSE(second.claim());
    EXPECT_FALSE(second.askToRaise(200));
}

}  // namespace
