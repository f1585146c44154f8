#include "ui/print/replace_files.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace printdoc {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// One file on its way to its name.
struct Staged {
    QString path;
    QByteArray target;
    std::optional<mode_t> oldMode;  // the old file's permissions, when there is one
    QByteArray temp;  // set while a temporary file exists that was not renamed into place
};

// Removes the temporary files that were not renamed into place, whatever way the replacing ends.
struct StagedFiles {
    ~StagedFiles()
    {
        for (const Staged &s : files)
            if (!s.temp.isEmpty())
                ::unlink(s.temp.constData());
    }
    std::vector<Staged> files;
};

// Why the entry at s.target must not be replaced, if it must not.
std::optional<QString> refusal(Staged &s)
{
    struct stat st {};
    if (::lstat(s.target.constData(), &st) != 0) {
        const int error = errno;
        return error == ENOENT ? std::nullopt : std::optional(systemReason(error));
    }
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("it is a symbolic link, not a regular file");
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("it is not a regular file");
    // A write-protected file is kept, although its folder would let a rename replace it.
    if (::access(s.target.constData(), W_OK) != 0)
        return QStringLiteral("Existing file %1 is not writable").arg(s.path);
    s.oldMode = st.st_mode & 0777;
    return std::nullopt;
}

// Returns 0, or the errno of the write that failed.
int writeAll(int fd, const QByteArray &bytes)
{
    const char *next = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<size_t>(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        next += written;
        left -= written;
    }
    return 0;
}

// Writes bytes in full to a new temporary file beside s.target, flushed to the disk and closed.
// Returns 0, or the errno of the step that failed.
int writeTemporary(Staged &s, const QByteArray &bytes)
{
    // Only the owner may open it until it carries the old file's permissions.
    const mode_t createMode = s.oldMode ? 0600 : 0666;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        const QByteArray temp = s.target + '.'
            + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        // O_EXCL never opens an entry that is already there, a link included.
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, createMode);
        if (fd >= 0)
            s.temp = temp;
        else if (errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    int error = 0;
    if (s.oldMode && ::fchmod(fd, *s.oldMode) != 0)
        error = errno;
    if (!error)
        error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    // A full disk or a failing network share may report itself only here.
    if (::close(fd) != 0 && !error)
        error = errno;
    return error;
}

}  // namespace

std::optional<ReplaceFailure> replaceFiles(const std::vector<NewFile> &files)
{
    StagedFiles staged;
    staged.files.reserve(files.size());
    for (const NewFile &file : files) {
        Staged s{file.path, QFile::encodeName(file.path), {}, {}};
        if (const auto reason = refusal(s))
            return ReplaceFailure{file.path, *reason};
        staged.files.push_back(std::move(s));
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (const int error = writeTemporary(staged.files[i], files[i].bytes))
            return ReplaceFailure{files[i].path, systemReason(error)};
    // A rename replaces whatever has come to stand at the name since the check, a link
    // included, and never writes through it.
    for (Staged &s : staged.files) {
        if (::rename(s.temp.constData(), s.target.constData()) != 0)
            return ReplaceFailure{s.path, systemReason(errno)};
        s.temp.clear();
    }
    return std::nullopt;
}

}  // namespace printdoc
