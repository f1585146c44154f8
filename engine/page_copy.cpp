#include "engine/page_copy.h"

#include "engine/connection.h"
#include "engine/engine_error.h"

#include <sqlcipher/sqlite3.h>

#include <chrono>

namespace dao {

namespace {

// As the connections' busy timeout: the source is waited for while another program writes it.
constexpr std::chrono::milliseconds kLockWait{5000};
constexpr int kLockRetryMs = 10;

bool isLocked(int rc) { return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED; }

}  // namespace

PageCopy::PageCopy(std::shared_ptr<Connection> source, const QString &path)
    : source_(std::move(source)),
      action_(QStringLiteral("Cannot copy the recipe database ") + source_->path() + QStringLiteral(" to ") + path)
{
    Connection::create(path, source_->password(), 0666, QStringLiteral("the copy"));
    target_ = Connection::acquirePrivate(path, source_->password(), false);
    // The target is new and is deleted when the copy fails: a journal beside it would be one more
    // file to leave behind.
    target_->exec("PRAGMA journal_mode = OFF", action_);
    backup_ = sqlite3_backup_init(target_->handle(), "main", source_->handle(), "main");
    if (!backup_)
        target_->fail(sqlite3_errcode(target_->handle()), action_);
}

PageCopy::~PageCopy()
{
    if (backup_)
        sqlite3_backup_finish(backup_);
}

bool PageCopy::Step(int pages)
{
    if (!backup_)
        return true;
    const auto giveUpAt = std::chrono::steady_clock::now() + kLockWait;
    int rc = sqlite3_backup_step(backup_, pages);
    while (isLocked(rc) && std::chrono::steady_clock::now() < giveUpAt) {
        sqlite3_sleep(kLockRetryMs);
        rc = sqlite3_backup_step(backup_, pages);
    }
    if (rc == SQLITE_OK)
        return false;
    // Finishing reports the step's error again, or the one of its last write.
    const int finished = sqlite3_backup_finish(backup_);
    backup_ = nullptr;
    if (rc == SQLITE_DONE && finished == SQLITE_OK) {
        target_.reset();
        return true;
    }
    const int failure = rc == SQLITE_DONE ? finished : rc;
    const int primary = failure & 0xFF;
    // Which side failed: a damaged or locked source, or a target that cannot be written.
    if (isLocked(failure) || primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        source_->fail(failure, action_);
    target_->fail(failure, action_);
}

}  // namespace dao
