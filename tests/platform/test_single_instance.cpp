// One window per recipe file: claims keyed by the file's real path, raise requests between
// copies, locks left by a copy that died, the private folder the lock and socket live in, and
// strangers in that folder or on the socket. The other copy is a real process, so that the lock
// and the socket behave as they do between two starts of the program.

#include "platform/single_instance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kPatience = 30000;
using Answer = platform::SingleInstance::Answer;

// Sets an environment variable, or removes it (nullopt), until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char *name, const std::optional<QString> &value)
        : name_(name), old_(qEnvironmentVariableIsSet(name) ? std::optional(qEnvironmentVariable(name)) : std::nullopt)
    {
        set(value);
    }
    ~ScopedEnv() { set(old_); }
    ScopedEnv(const ScopedEnv &) = delete;
    ScopedEnv &operator=(const ScopedEnv &) = delete;

private:
    void set(const std::optional<QString> &value)
    {
        if (value)
            qputenv(name_, value->toLocal8Bit());
        else
            qunsetenv(name_);
    }

    const char *name_;
    std::optional<QString> old_;
};

// A folder with exactly this mode, whatever the umask.
bool makeFolder(const QString &path, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return ::mkdir(name.constData(), mode) == 0 && ::chmod(name.constData(), mode) == 0;
}

// The entry's type and permissions, not following a link; 0 when there is none.
mode_t modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

bool isEmptyFolder(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden).isEmpty();
}

}  // namespace

// Strings in failures as text, not as arrays of characters; found by gtest next to QString.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

QString fallbackName() { return QStringLiteral("saporium-") + QString::number(::geteuid()); }

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

    // Starts a stranger listening where a holder of the file would, answering reply.
    static std::unique_ptr<QProcess> startSquatter(const QString &file, const QByteArray &reply)
    {
        auto squatter = std::make_unique<QProcess>();
        squatter->start(QStringLiteral(SINGLE_INSTANCE_HOLDER),
                        {QStringLiteral("squat"), file, QString::fromUtf8(reply)});
        EXPECT_TRUE(squatter->waitForStarted(kPatience));
        while (!squatter->canReadLine() && squatter->waitForReadyRead(kPatience)) {
        }
        EXPECT_EQ(squatter->readLine(), QByteArray("listening\n"));
        return squatter;
    }

    // A copy started next on the file asks holder, and holder hears it.
    void expectNextCopyReaches(platform::SingleInstance &holder) const
    {
        QSignalSpy raised(&holder, &platform::SingleInstance::raiseRequested);
        QProcess next;
        next.start(QStringLiteral(SINGLE_INSTANCE_HOLDER), {QStringLiteral("ask"), recipeFile()});
        EXPECT_TRUE(raised.wait(kPatience));
        ASSERT_TRUE(next.waitForFinished(kPatience));
        EXPECT_EQ(next.exitCode(), 0);
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
    expectNextCopyReaches(first);
}

TEST_F(SingleInstanceTest, AHolderThatDoesNotAnswerIsReportedAsUnreachable)
{
    platform::SingleInstance first(recipeFile());
    ASSERT_TRUE(first.claim());
    // This thread is the holder's and it is blocked in the request below, as a hung copy would be.
    platform::SingleInstance second(recipeFile());
    ASSERT_FALSE(second.claim());
    EXPECT_EQ(second.askToRaise(200).kind, Answer::NoAnswer);
}

TEST_F(SingleInstanceTest, TheLockAndSocketLiveInAFolderOnlyTheUserMayEnter)
{
    struct Case {
        const char *what;
        // Makes the runtime folder under place and gives its name, or nothing for none.
        std::function<std::optional<QString>(const QString &place)> runtime;
        bool runtimeUsed;
    };
    const Case cases[] = {
        {"a private runtime folder",
         [](const QString &place) {
             EXPECT_TRUE(makeFolder(place + QStringLiteral("/run"), 0700));
             return std::optional<QString>(place + QStringLiteral("/run"));
         },
         true},
        {"no runtime folder", [](const QString &) { return std::optional<QString>(); }, false},
        {"a runtime folder others may enter",
         [](const QString &place) {
             EXPECT_TRUE(makeFolder(place + QStringLiteral("/run"), 0755));
             return std::optional<QString>(place + QStringLiteral("/run"));
         },
         false},
        {"a runtime folder through a link",
         [](const QString &place) {
             EXPECT_TRUE(makeFolder(place + QStringLiteral("/run"), 0700));
             EXPECT_TRUE(QFile::link(place + QStringLiteral("/run"), place + QStringLiteral("/link")));
             return std::optional<QString>(place + QStringLiteral("/link"));
         },
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir place;
        ASSERT_TRUE(place.isValid());
        ASSERT_TRUE(makeFolder(place.filePath(QStringLiteral("tmp")), 0700));
        const ScopedEnv temp("TMPDIR", place.filePath(QStringLiteral("tmp")));
        const ScopedEnv runtime("XDG_RUNTIME_DIR", c.runtime(place.path()));
        const QString expected = c.runtimeUsed ? place.filePath(QStringLiteral("run"))
                                               : place.filePath(QStringLiteral("tmp/")) + fallbackName();

        EXPECT_EQ(platform::SingleInstance::folder(), expected);
        platform::SingleInstance instance(recipeFile());
        ASSERT_TRUE(instance.claim());
        EXPECT_EQ(instance.unguarded(), QString());
        EXPECT_EQ(modeOf(expected), S_IFDIR | 0700u);
        const QString socket = instance.serverName();
        EXPECT_EQ(QFileInfo(socket).absolutePath(), expected);
        EXPECT_TRUE(S_ISSOCK(modeOf(socket)));
        EXPECT_EQ(modeOf(socket + QStringLiteral(".lock")), S_IFREG | 0600u);
    }
}

TEST_F(SingleInstanceTest, AFallbackFolderThatIsNotOursIsNotUsed)
{
    struct Case {
        const char *what;
        const char *temp;  // the temporary folder, under place
        std::function<bool(const QString &place, const QString &planted)> plant;
    };
    const Case cases[] = {
        {"a folder anyone may enter", "tmp", [](const QString &, const QString &planted) {
             return makeFolder(planted, 0777);
         }},
        {"a link to a folder of ours", "tmp", [](const QString &place, const QString &planted) {
             return makeFolder(place + QStringLiteral("/mine"), 0700)
                 && QFile::link(place + QStringLiteral("/mine"), planted);
         }},
        {"a file", "tmp", [](const QString &, const QString &planted) {
             QFile file(planted);
             return file.open(QIODevice::WriteOnly);
         }},
        {"another user's folder", "tmp", [](const QString &, const QString &planted) {
             // Only root can give a folder away; elsewhere the planted folder is the caller's own.
             return ::geteuid() == 0 && makeFolder(planted, 0700)
                 && ::chown(QFile::encodeName(planted).constData(), 65534, 65534) == 0;
         }},
        {"a temporary folder anyone may change", "open", [](const QString &place, const QString &) {
             return makeFolder(place + QStringLiteral("/open"), 0777);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir place;
        ASSERT_TRUE(place.isValid());
        ASSERT_TRUE(makeFolder(place.filePath(QStringLiteral("tmp")), 0700));
        const QString temp = place.filePath(QLatin1String(c.temp));
        const QString planted = temp + QLatin1Char('/') + fallbackName();
        if (!c.plant(place.path(), planted)) {
            ASSERT_NE(::geteuid(), 0u) << "cannot plant " << planted.toStdString();
            continue;
        }
        const mode_t plantedMode = modeOf(planted);
        const ScopedEnv runtime("XDG_RUNTIME_DIR", std::nullopt);
        const ScopedEnv tempEnv("TMPDIR", temp);

        QString why;
        EXPECT_EQ(platform::SingleInstance::folder(&why), QString());
        EXPECT_NE(why, QString());
        // The window still opens; a second copy would too, and the reason is there to tell.
        platform::SingleInstance instance(recipeFile());
        EXPECT_TRUE(instance.claim());
        EXPECT_TRUE(instance.unguarded().contains(why)) << instance.unguarded().toStdString();
        // Left as it was found, with nothing of ours in it or behind it.
        EXPECT_EQ(modeOf(planted), plantedMode);
        EXPECT_TRUE(isEmptyFolder(planted));
        EXPECT_TRUE(isEmptyFolder(place.filePath(QStringLiteral("mine"))));
    }
}

TEST_F(SingleInstanceTest, AListenerThatIsNotACopyOfOursDoesNotKeepTheFile)
{
    struct Case {
        const char *what;
        QByteArray reply;
    };
    const Case cases[] = {
        {"answers in another tongue", "HTTP/1.1 400 Bad Request\r\n"},
        {"hangs up at once", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const auto squatter = startSquatter(recipeFile(), c.reply);
        EXPECT_EQ(platform::SingleInstance(recipeFile()).askToRaise(kPatience).kind, Answer::NotOurs);

        platform::SingleInstance first(recipeFile());
        ASSERT_TRUE(first.claim());
        EXPECT_EQ(first.unguarded(), QString());
        // The next copy reaches this one, not the stranger.
        expectNextCopyReaches(first);
        stop(*squatter);
    }
}

}  // namespace
