#include "core/background_backup.h"

#include "core/backups.h"
#include "core/recipe_error.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/db_engine.h"

namespace recipes {

BackgroundBackup::BackgroundBackup(QString file, QString password)
    : file_(std::move(file)), password_(std::move(password)), thread_([this] { run(); })
{
}

BackgroundBackup::~BackgroundBackup()
{
    stop_ = true;
    thread_.join();
    if (!kept_ && !target_.isEmpty())
        Backups::discardCopy(target_);
}

void BackgroundBackup::run()
{
    QString target, failure;
    try {
        const std::unique_ptr<dao::Database> db = translated([&] { return dao::DBEngine::OpenPrivate(file_, password_); });
        target = Backups::copyAside(*db, [this] { return stop_.load(); });
    } catch (const Error &e) {
        failure = e.message();
    } catch (const std::exception &e) {
        failure = QString::fromUtf8(e.what());
    }
    const std::lock_guard lock(mutex_);
    target_ = target;
    failure_ = failure;
    finished_ = true;
    ended_.notify_all();
}

void BackgroundBackup::waitUntilEnded()
{
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return finished_; });
}

QString BackgroundBackup::keep()
{
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return finished_; });
    if (!failure_.isEmpty())
        throw Error(failure_);
    Backups::putInPlace(file_, target_);
    kept_ = true;
    return target_;
}

}  // namespace recipes
