#pragma once
// The file an export writes: a new file made beside its name and renamed over the name only when
// whole, so that a failed or cancelled export leaves any old file as it was and nothing else.
//
// The name is never written through. A symbolic link, a folder or anything else than a regular
// file standing at it is refused before a byte is written; and the rename replaces whatever has
// come to stand at the name since, a link included, never a link's target. A failed write is
// kept, so that it is told although later writes succeed or the writer does not look.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace exchange {

class ReplacingFile : public QIODevice {
public:
    explicit ReplacingFile(const QString &path);
    // A new file not renamed into place is removed.
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    // What stood at the name when create() refused it.
    enum class Obstacle { None, Link, Folder, NotRegular, WriteProtected };

    // Makes the new file and opens the device for writing; false, with reason(), when the name
    // is refused (obstacle() says why) or the folder takes no new file.
    bool create();
    // Writes what is held, flushes the file to the disk and closes it; false, with reason(),
    // when any of that or an earlier write failed. Nothing is in place yet.
    bool finish();
    // Renames the finished file over the name; false, with reason(), when that fails.
    bool putInPlace();
    // finish(), then putInPlace().
    bool commit() { return finish() && putInPlace(); }

    // True once a write failed.
    bool failed() const { return !reason_.isEmpty(); }
    // Why the file was refused or failed, in words, without its name; empty while all is well.
    QString reason() const { return reason_; }
    Obstacle obstacle() const { return obstacle_; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writePending();
    void fail(const QString &reason);
    void refuse(Obstacle obstacle, const QString &reason);

    QByteArray target_;   // the name, encoded for the system
    QByteArray temp_;     // the new file while it is not in place
    int fd_ = -1;
    QByteArray pending_;  // written, not yet handed to the system
    qint64 written_ = 0;  // bytes taken so far, to see that the writer never seeks
    QString reason_;
    Obstacle obstacle_ = Obstacle::None;
};

}  // namespace exchange
