#pragma once
// An advisory lock (flock) on a file or folder, held while the object lives. Several runs of the
// program share a backups folder: the folder's lock orders their short steps there (naming,
// creating and removing copies), and each copy in progress is locked by the run writing it, so
// that another run can tell a copy whose writer is gone from one still being written. The kernel
// drops a lock when its holder ends, however it ends.
//
// flock locks belong to the open file, not the process: two locks taken here on one file conflict
// even within one process, and closing one never drops another, nor SQLite's own (fcntl) locks.

#include <QString>

#include <optional>

namespace recipes {

class FileLock {
public:
    // Waits for the lock on the file or folder at path; throws Error saying why it cannot be had.
    static FileLock exclusive(const QString &path);
    // The lock when nobody else holds it; nothing when somebody does or path cannot be opened.
    static std::optional<FileLock> tryExclusive(const QString &path);

    FileLock(FileLock &&other) noexcept;
    FileLock &operator=(FileLock &&other) noexcept;
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    ~FileLock();

    // True while path still names the file this lock is on: a file removed or replaced since the
    // lock was taken is another file.
    bool stillAt(const QString &path) const;

private:
    explicit FileLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace recipes
