#include "exchange/replacing_file.h"

#include "engine/system_reason.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace exchange {

using dao::systemReason;

namespace {

// Handed to the system in pieces of about this size: one system call per small write costs more
// than the writing.
constexpr qsizetype kPiece = 1 << 16;

}  // namespace

ReplacingFile::ReplacingFile(const QString &path) : target_(QFile::encodeName(path)) {}

ReplacingFile::~ReplacingFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!temp_.isEmpty())
        ::unlink(temp_.constData());
}

void ReplacingFile::fail(const QString &reason)
{
    if (reason_.isEmpty())
        reason_ = reason;
}

void ReplacingFile::refuse(Obstacle obstacle, const QString &reason)
{
    obstacle_ = obstacle;
    fail(reason);
}

bool ReplacingFile::create()
{
    struct stat st {};
    mode_t createMode = 0666;  // less the user's umask
    bool oldFile = false;
    if (::lstat(target_.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode))
            refuse(Obstacle::Link, QStringLiteral("it is a symbolic link; an export is never written through a link. "
                                                  "Remove the link or choose another name."));
        else if (S_ISDIR(st.st_mode))
            refuse(Obstacle::Folder, QStringLiteral("it is a folder."));
        else if (!S_ISREG(st.st_mode))
            refuse(Obstacle::NotRegular, QStringLiteral("it is not a regular file (it is a device, a pipe or a socket)."));
        // A write-protected file is kept, although its folder would let a rename replace it.
        else if (::access(target_.constData(), W_OK) != 0)
            refuse(Obstacle::WriteProtected, QStringLiteral("the file there is write-protected."));
        if (failed())
            return false;
        oldFile = true;
        // Only the owner may open it until it carries the old file's permissions.
        createMode = 0600;
    } else if (errno != ENOENT) {
        fail(systemReason(errno));
        return false;
    }
    for (int attempt = 0; fd_ < 0 && attempt < 16; ++attempt) {
        const QByteArray temp = target_ + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        // O_EXCL never opens an entry that is already there, a link included.
        fd_ = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd_ >= 0)
            temp_ = temp;
        else if (errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        fail(systemReason(errno));
        return false;
    }
    if (oldFile && ::fchmod(fd_, st.st_mode & 0777) != 0) {
        fail(systemReason(errno));
        return false;
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ReplacingFile::readData(char *, qint64) { return -1; }

qint64 ReplacingFile::writeData(const char *data, qint64 size)
{
    if (pos() != written_)
        fail(QStringLiteral("the file was not written in order."));
    if (failed())
        return -1;
    pending_.append(data, size);
    written_ += size;
    if (pending_.size() >= kPiece && !writePending())
        return -1;
    return size;
}

bool ReplacingFile::writePending()
{
    const char *next = pending_.constData();
    qsizetype left = pending_.size();
    while (left > 0 && !failed()) {
        const ssize_t done = ::write(fd_, next, static_cast<size_t>(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            fail(systemReason(errno));
        else if (done == 0)
            fail(systemReason(EIO));
        else {
            next += done;
            left -= done;
        }
    }
    pending_.clear();
    return !failed();
}

bool ReplacingFile::finish()
{
    if (fd_ < 0 || failed() || !writePending())
        return false;
    // A full disk or a failing network share may report itself only here.
    if (::fsync(fd_) != 0)
        fail(systemReason(errno));
    if (::close(fd_) != 0)
        fail(systemReason(errno));
    fd_ = -1;
    QIODevice::close();
    return !failed();
}

bool ReplacingFile::putInPlace()
{
    if (fd_ >= 0 || temp_.isEmpty() || failed())
        return false;
    if (::rename(temp_.constData(), target_.constData()) != 0) {
        fail(systemReason(errno));
        return false;
    }
    temp_.clear();
    return true;
}

}  // namespace exchange
