#pragma once
// The bytes of a JSON document on a random-access device, read a window at a time so that a file
// of any size takes the same memory. Offsets count from where the device stood when the source
// was made; the device is read from there to its end. A read the system fails ends the bytes
// there (the device keeps the error for its owner to tell).

#include <QByteArray>
#include <QtGlobal>

class QIODevice;

namespace exchange {

class JsonSource {
public:
    explicit JsonSource(QIODevice &device);

    qint64 size() const { return size_; }
    qint64 pos() const { return windowStart_ + at_; }
    qint64 left() const { return size_ - pos(); }
    bool atEnd() const { return pos() >= size_; }

    // The byte at pos() (0 to 255), or -1 at the end.
    int peek()
    {
        if (at_ < window_.size() || refill())
            return static_cast<unsigned char>(window_[at_]);
        return -1;
    }
    // The byte at pos() + ahead, or -1 past the end.
    int peekAt(qint64 ahead);
    // The byte at pos(), and moves past it; -1 at the end.
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++at_;
        return c;
    }
    void skip(qint64 count = 1);
    void seek(qint64 offset);
    // The bytes from offset to the present position.
    QByteArray bytesSince(qint64 offset);

private:
    bool refill();
    void load(qint64 offset);

    QIODevice &device_;
    qint64 base_;
    qint64 size_;
    QByteArray window_;
    qint64 windowStart_ = 0;
    qsizetype at_ = 0;  // in window_
};

}  // namespace exchange
