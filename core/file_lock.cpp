#include "core/file_lock.h"

#include "core/recipe_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace recipes {

namespace {

// Never follows a link, never waits on a FIFO or device: only a regular file or a folder is locked.
int openForLock(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

int flockRetried(int fd, int operation)
{
    int rc = 0;
    do
        rc = ::flock(fd, operation);
    while (rc != 0 && errno == EINTR);
    return rc;
}

}  // namespace

FileLock FileLock::exclusive(const QString &path)
{
    const int fd = openForLock(path);
    if (fd < 0 || flockRetried(fd, LOCK_EX) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw Error(QStringLiteral("%1 cannot be locked: %2.")
                        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(std::strerror(error))));
    }
    return FileLock(fd);
}

std::optional<FileLock> FileLock::tryExclusive(const QString &path)
{
    const int fd = openForLock(path);
    if (fd < 0)
        return std::nullopt;
    if (flockRetried(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return FileLock(fd);
}

FileLock::FileLock(FileLock &&other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FileLock &FileLock::operator=(FileLock &&other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FileLock::~FileLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileLock::stillAt(const QString &path) const
{
    struct stat held {};
    struct stat named {};
    return fd_ >= 0 && ::fstat(fd_, &held) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
        && held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

}  // namespace recipes
