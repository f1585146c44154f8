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
    waitUntilEnded();
    if (!kept_ && !target_.isEmpty())
        Backups::discardCopy(target_);
}

void BackgroundBackup::run()
{
    try {
        source_ = translated([&] { return dao::DBEngine::OpenPrivate(file_, password_); });
        target_ = Backups::copyAside(*source_, [this] { return stop_.load(); }, &copiedAt_);
    } catch (const Error &e) {
        failure_ = e.message();
    } catch (const std::exception &e) {
        failure_ = QString::fromUtf8(e.what());
    }
}

void BackgroundBackup::waitUntilEnded()
{
    const std::lock_guard lock(joinMutex_);
    if (thread_.joinable())
        thread_.join();
}

QString BackgroundBackup::keep()
{
    waitUntilEnded();
    if (!failure_.isEmpty())
        throw Error(failure_);
    const std::int64_t now = translated([&] { return source_->DataVersion(); });
    if (now != copiedAt_) {
        Backups::discardCopy(target_);
        target_.clear();
        target_ = Backups::copyAside(*source_, {}, &copiedAt_);
    }
    Backups::putInPlace(file_, target_);
    kept_ = true;
    return target_;
}

}  // namespace recipes
