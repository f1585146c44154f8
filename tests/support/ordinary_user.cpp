#include "support/ordinary_user.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <grp.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr uid_t kNobody = 65534;
constexpr int kCannotDropRoot = 77;

}  // namespace

void runCurrentTestAsOrdinaryUser()
{
    // A copy of this test program in a folder anyone may enter: the build folder may lie where
    // an ordinary user cannot reach it.
    QTemporaryDir exeDir;
    ASSERT_TRUE(exeDir.isValid());
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    const QString copy = exeDir.path() + QLatin1Char('/') + QFileInfo(self).fileName();
    const auto everyoneRuns = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::copy(self, copy));
    ASSERT_TRUE(QFile::setPermissions(exeDir.path(), everyoneRuns));
    ASSERT_TRUE(QFile::setPermissions(copy, everyoneRuns));

    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setWorkingDirectory(exeDir.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));  // root's; an ordinary user may not use it
    env.remove(QStringLiteral("TMPDIR"));            // the child makes its files in /tmp
    child.setProcessEnvironment(env);
    child.setChildProcessModifier([] {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(kCannotDropRoot);
    });
    child.start(copy, {QStringLiteral("--gtest_filter=%1.%2").arg(QLatin1String(info->test_suite_name()),
                                                                   QLatin1String(info->name()))});
    if (!child.waitForStarted(60000))
        GTEST_SKIP() << "cannot run as an ordinary user here, and root ignores permission bits: "
                     << child.errorString().toStdString();
    ASSERT_TRUE(child.waitForFinished(600000)) << "the child as \"nobody\" did not finish";
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitCode() == kCannotDropRoot)
        GTEST_SKIP() << "cannot run as an ordinary user here, and root ignores permission bits: "
                     << output.toStdString();
    ASSERT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    ASSERT_EQ(child.exitCode(), 0) << output.toStdString();
    ASSERT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
}

bool ranAsOrdinaryUser()
{
    if (::geteuid() != 0)
        return false;
    runCurrentTestAsOrdinaryUser();
    return true;
}

}  // namespace testsupport
