#pragma once
// This run's backup of one recipe file, made on a thread of its own through a connection of its
// own, so that the window shows the file at once and the first change waits only for what is
// left of the copy. The copy goes under the backup's name with ".partial" added, which
// Backups::list does not show, and is put in place only by keep(): a run that changes nothing
// leaves no backup.
//
// A worker thread rather than steps run between the window's events: each step would still hold
// the window for its pages, and opening the copy's two connections derives two keys, which is
// slow on purpose. The thread hands its result over by ending: it is read only once the thread
// is joined. The engine connections it opens are its alone until then; the one it copied from
// stays open, so keep() can tell whether another program changed the file after the copy.

#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

namespace dao {
class Database;
}

namespace recipes {

class BackgroundBackup {
public:
    // Starts copying the file, opened with password, at once.
    BackgroundBackup(QString file, QString password);
    // Stops the copy where it is and waits for the thread; what was not kept is deleted.
    ~BackgroundBackup();
    BackgroundBackup(const BackgroundBackup &) = delete;
    BackgroundBackup &operator=(const BackgroundBackup &) = delete;

    // Waits for the copy to end and puts it in place as a backup; returns its path. A copy that
    // another program's change has made stale since is made again, so the backup is the file as
    // it is now. Throws Error saying why when the copy failed, nothing of it left behind.
    QString keep();
    // Waits for the copy to end, well or not: joins the thread, once, whichever thread asks first.
    void waitUntilEnded();

private:
    void run();

    const QString file_;
    const QString password_;
    std::atomic<bool> stop_ = false;
    std::mutex joinMutex_;
    QString target_;  // the thread's until it is joined: the backup's name, the copy's plus ".partial"
    QString failure_;
    std::unique_ptr<dao::Database> source_;  // the thread's until it is joined, as target_
    std::int64_t copiedAt_ = 0;              // the source's data version the copy shows
    bool kept_ = false;
    std::thread thread_;
};

}  // namespace recipes
