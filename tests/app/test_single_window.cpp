// The program started twice on one recipe file: the second start hands over to the window
// already open and ends; a copy killed outright does not keep the next start from opening. A file
// named on the command line has its own window, and one that is no recipe file is refused at once:
// with no screen to show a box on, told on stderr and ended with exit code 2.

#include "platform/single_instance.h"
#include "support/temp_db.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

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

    std::unique_ptr<QProcess> start(const QStringList &arguments = {})
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // The recent files go to the test's folder, not to the real user's settings.
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), db.folder() + QStringLiteral("/config"));
        process->setProcessEnvironment(environment);
        process->setWorkingDirectory(db.folder());
        process->start(program, arguments);
        EXPECT_TRUE(process->waitForStarted(kPatience));
        return process;
    }

    // Waits until a window holds the file and answers; a raise request is what tells.
    bool windowAnswers() { return windowAnswers(db.filePath()); }
    static bool windowAnswers(const QString &file)
    {
        platform::SingleInstance probe(file);
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

TEST_F(SingleWindowTest, AFileNamedAtStartHasAWindowOfItsOwn)
{
    const QString other = db.folder() + QStringLiteral("/Other.mdb");
    ASSERT_TRUE(QFile::copy(db.filePath(), other));
    const auto first = start({QStringLiteral("Other")});
    ASSERT_TRUE(windowAnswers(other));
    {
        platform::SingleInstance defaultFile(db.filePath());
        EXPECT_TRUE(defaultFile.claim()) << "the window holds its own file, not the default one";
    }
    const auto second = start({other});
    ASSERT_TRUE(second->waitForFinished(kPatience));
    EXPECT_EQ(second->exitCode(), 0) << "handed over to the window on the file";
    EXPECT_EQ(first->state(), QProcess::Running);
    stop(*first);
}

TEST_F(SingleWindowTest, AFileThatIsNoRecipeFileIsReportedAtOnceEvenAPipeAndTheStartEnds)
{
    const QString folder = db.folder();
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("/pipe.mdb")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("folder.mdb")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("/device.mdb")));
    const struct {
        const char *name, *reason;
    } cases[] = {
        {"missing.mdb", "missing.mdb: there is no such file."},
        {"folder.mdb", "folder.mdb: it is a folder, not a file."},
        {"pipe.mdb", "pipe.mdb: it is a named pipe, not a recipe file."},
        {"device.mdb", "device.mdb: it is a device, not a recipe file."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto process = start({folder + u'/' + QLatin1String(c.name)});
        // Offscreen no box can be seen: the reason is told on stderr, and the start ends.
        const bool ended = process->waitForFinished(kPatience);
        if (!ended)
            stop(*process);
        EXPECT_TRUE(ended) << "still waiting, for a box no one can see";
        EXPECT_EQ(process->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process->exitCode(), 2);
        const QByteArray expected = "Cannot open the recipe file " + QFile::encodeName(folder) + '/' + c.reason;
        const QByteArray said = process->readAllStandardError();
        EXPECT_TRUE(said.contains(expected)) << said.toStdString();
        platform::SingleInstance probe(folder + u'/' + QLatin1String(c.name));
        EXPECT_TRUE(probe.claim()) << "no window holds it";
    }
}

}  // namespace
