// A writer killed at random moments loses nothing it confirmed and leaves no torn row: a child
// process adds and updates recipes through the store until SIGKILL, then the file is reopened
// and checked against what the child reported.

#include "reliability/crash_writes.h"
#include "reliability/raw_file.h"
#include "support/temp_db.h"

#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <optional>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

using reliability::RawFile;
using reliability::RawValue;

constexpr int kKills = 120;
// The child is killed once it has begun its n-th store call (n drawn from 1 to this), after a
// random delay of up to kLongestDelayUs: half the kills have no delay and land inside the call,
// the rest anywhere in the following writes. Counting reported calls rather than time keeps what
// is tested the same on a fast machine and a slow one.
constexpr int kMostCallsBeforeKill = 4;
constexpr int kLongestDelayUs = 20000;
// A bound on waiting for one report, for a machine that is slow and busy; normally milliseconds.
constexpr int kReportTimeoutMs = 120000;

unsigned seedFromEnvironment()
{
    const QByteArray seed = qgetenv("SAPORIUM_CRASH_SEED");
    return seed.isEmpty() ? 20240611u : seed.toUInt();
}

// The child and the read end of its standard output.
class Child {
public:
    Child(const QString &dbPath, int nextId, int nextStamp, unsigned seed)
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string program = SAPORIUM_CRASH_CHILD;
        const QByteArray path = QFile::encodeName(dbPath);
        const std::string args[] = {std::to_string(nextId), std::to_string(nextStamp), std::to_string(seed)};
        char *argv[] = {const_cast<char *>(program.c_str()), const_cast<char *>(path.constData()),
                        const_cast<char *>(args[0].c_str()), const_cast<char *>(args[1].c_str()),
                        const_cast<char *>(args[2].c_str()), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        fd_ = fds[0];
    }
    ~Child()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (fd_ >= 0)
            ::close(fd_);
    }
    bool started() const { return pid_ > 0 && fd_ >= 0; }

    // Reads until the child has reported `count` lines that start with `prefix` in all; false
    // when its output ends first or nothing arrives for timeoutMs.
    bool waitForLines(const std::string &prefix, int count, int timeoutMs)
    {
        while (countLines(prefix) < count)
            if (!readSome(timeoutMs))
                return false;
        return true;
    }

    // Kills the child, reads what it reported before dying and reaps it. Returns the wait status.
    int killAndCollect()
    {
        ::kill(pid_, SIGKILL);
        while (readSome(10000)) {
        }
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

    const std::string &output() const { return output_; }

private:
    int countLines(const std::string &prefix) const
    {
        int n = 0;
        for (std::size_t at = 0; at < output_.size();) {
            const std::size_t end = output_.find('\n', at);
            if (end == std::string::npos)
                break;
            if (output_.compare(at, prefix.size(), prefix) == 0)
                ++n;
            at = end + 1;
        }
        return n;
    }

    bool readSome(int timeoutMs)
    {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            return false;
        char buffer[4096];
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n <= 0)
            return false;
        output_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    pid_t pid_ = -1;
    int fd_ = -1;
    std::string output_;
};

struct Pending {
    int id;
    int stamp;
};

// What the child reported. Only whole lines count: a line cut by the kill was never reported.
struct Reports {
    std::optional<Pending> pending;  // the change under way when the child died
    int confirmedChanges = 0;
    int lastStamp = 0;
    std::string failure;
};

// Applies the changes the child confirmed to confirmed.
Reports applyReports(const std::string &output, std::map<int, int> &confirmed)
{
    Reports reports;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        if (lines.eof())
            break;  // no line end: cut short
        if (line.rfind("B ", 0) == 0) {
            std::istringstream fields(line.substr(4));
            Pending p{};
            fields >> p.id >> p.stamp;
            reports.pending = p;
            reports.lastStamp = p.stamp;
        } else if (line == "D" && reports.pending) {
            confirmed[reports.pending->id] = reports.pending->stamp;
            ++reports.confirmedChanges;
            reports.pending.reset();
        } else if (line.rfind("F ", 0) == 0) {
            reports.failure = line;
        }
    }
    return reports;
}

// Reads the recipes back, checking that every row is one whole write; fills found (id to
// stamp) or returns why the file is wrong.
std::string readBack(const QString &file, std::map<int, int> &found)
{
    RawFile raw(file, testsupport::kPassword);
    const reliability::RawCheck check = raw.check();
    if (check.rc != 0 || check.integrity != QStringList{QStringLiteral("ok")})
        return "integrity check failed: rc " + std::to_string(check.rc) + " " + check.error.toStdString() + " "
            + check.integrity.join(QLatin1Char(' ')).toStdString();
    std::vector<reliability::RawRow> rows;
    try {
        rows = raw.rows(reliability::kCrashCategory);
    } catch (const std::exception &e) {
        return e.what();
    }
    for (const reliability::RawRow &row : rows) {
        const std::string where = "row " + std::to_string(row.rowid) + ": ";
        if (row.values.size() != 4 || !row.values[0] || !row.values[1])
            return where + "missing values";
        const QString name = QString::fromUtf8(*row.values[0]);
        const QString author = QString::fromUtf8(*row.values[1]);
        if (!name.startsWith(QLatin1Char('r')) || !author.startsWith(QLatin1Char('s')))
            return where + "not written by the child";
        const int id = name.mid(1).trimmed().toInt();
        const int stamp = author.mid(1).trimmed().toInt();
        const auto expected = reliability::crashFields(id, stamp);
        for (int i = 0; i < 4; ++i)
            if (row.values[static_cast<std::size_t>(i)] != RawValue((expected[static_cast<std::size_t>(i)] + QLatin1Char(' ')).toUtf8()))
                return where + "field " + std::to_string(i) + " does not belong to write " + std::to_string(id) + ":"
                    + std::to_string(stamp);
        if (!found.emplace(id, stamp).second)
            return where + "recipe " + std::to_string(id) + " is stored twice";
    }
    return {};
}

TEST(CrashSafety, EveryConfirmedChangeSurvivesSigkillAndNoRowIsHalfWritten)
{
    testsupport::TempDb db;
    db.create();
    db.addCategory(reliability::kCrashCategory);
    const unsigned seed = seedFromEnvironment();
    SCOPED_TRACE("seed " + std::to_string(seed) + " (set SAPORIUM_CRASH_SEED to repeat another run)");
    std::mt19937 random(seed);

    std::map<int, int> state;  // recipe id to the stamp of its last write, as the file holds it
    int nextStamp = 1;
    int kills = 0, midOperation = 0, landedUnreported = 0, confirmedChanges = 0, callsBeforeKills = 0;
    const auto start = std::chrono::steady_clock::now();
    while (kills < kKills) {
        Child child(db.basePath(), static_cast<int>(state.size()) + 1, nextStamp, random());
        ASSERT_TRUE(child.started()) << "cannot start " << SAPORIUM_CRASH_CHILD;
        ASSERT_TRUE(child.waitForLines("R", 1, kReportTimeoutMs)) << "the child did not start: " << child.output();
        const int calls = 1 + static_cast<int>(random() % kMostCallsBeforeKill);
        ASSERT_TRUE(child.waitForLines("B ", calls, kReportTimeoutMs))
            << "the child stopped writing: " << child.output().substr(0, 2000);
        if (random() % 2 != 0)
            std::this_thread::sleep_for(std::chrono::microseconds(random() % kLongestDelayUs));
        const int status = child.killAndCollect();
        ++kills;
        callsBeforeKills += calls - 1;

        std::map<int, int> confirmed = state;
        const Reports reports = applyReports(child.output(), confirmed);
        const std::optional<Pending> &pending = reports.pending;
        confirmedChanges += reports.confirmedChanges;
        ASSERT_EQ(reports.failure, "") << "kill " << kills << ": the child failed";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "kill " << kills << ": status " << status;

        // The first to open the file after a crash rolls back what the dead writer left half
        // done: the program on every other kill, another program on the rest.
        auto programCount = [&db] { return db.open()->OpenRecordset(reliability::kCrashCategory)->RecordCount(); };
        int programSees = kills % 2 == 0 ? programCount() : 0;
        std::map<int, int> found;
        const std::string broken = readBack(db.filePath(), found);
        ASSERT_EQ(broken, "") << "kill " << kills;
        if (kills % 2 != 0)
            programSees = programCount();
        ASSERT_EQ(static_cast<std::size_t>(programSees), found.size())
            << "kill " << kills << ": the program reads another file";
        std::map<int, int> withPending = confirmed;
        if (pending) {
            ++midOperation;
            withPending[pending->id] = pending->stamp;
        }
        ASSERT_TRUE(found == confirmed || found == withPending)
            << "kill " << kills << ": the file differs from what the child confirmed (" << found.size()
            << " recipes in the file, " << confirmed.size() << " confirmed)";
        if (pending && found != confirmed)
            ++landedUnreported;

        state = found;
        nextStamp = std::max(nextStamp, reports.lastStamp + 1);
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("crash safety: %d kills in %.1f s, %d during a store call (%d of those changes had landed), "
                "%d confirmed changes, %zu recipes at the end\n",
                kills, seconds, midOperation, landedUnreported, confirmedChanges, state.size());
    EXPECT_GE(confirmedChanges, callsBeforeKills) << "every call the child began before the last one returned";
    EXPECT_GT(midOperation, 0) << "no kill landed inside a store call";
}

}  // namespace
