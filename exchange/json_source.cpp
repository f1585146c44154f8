#include "exchange/json_source.h"

#include <QIODevice>

#include <algorithm>

namespace exchange {

namespace {

constexpr qint64 kWindow = 64 * 1024;

}  // namespace

JsonSource::JsonSource(QIODevice &device)
    : device_(device), base_(device.pos()), size_(std::max<qint64>(0, device.size() - device.pos()))
{
}

bool JsonSource::refill()
{
    load(pos());
    return at_ < window_.size();
}

void JsonSource::load(qint64 offset)
{
    windowStart_ = offset;
    at_ = 0;
    window_.clear();
    if (offset >= size_ || !device_.seek(base_ + offset))
        return;
    window_.resize(static_cast<qsizetype>(std::min(kWindow, size_ - offset)));
    const qint64 got = device_.read(window_.data(), window_.size());
    window_.resize(static_cast<qsizetype>(std::max<qint64>(0, got)));
    // What the device cannot give is not there: a failed read ends the document.
    if (got < kWindow && offset + std::max<qint64>(0, got) < size_)
        size_ = offset + std::max<qint64>(0, got);
}

int JsonSource::peekAt(qint64 ahead)
{
    const qint64 want = pos() + ahead;
    if (want >= size_)
        return -1;
    if (want >= windowStart_ + window_.size())
        load(pos());
    const qint64 in = want - windowStart_;
    return in < window_.size() ? static_cast<unsigned char>(window_[static_cast<qsizetype>(in)]) : -1;
}

void JsonSource::skip(qint64 count) { seek(std::min(size_, pos() + count)); }

void JsonSource::seek(qint64 offset)
{
    if (offset >= windowStart_ && offset <= windowStart_ + window_.size())
        at_ = static_cast<qsizetype>(offset - windowStart_);
    else
        load(offset);
}

QByteArray JsonSource::bytesSince(qint64 offset)
{
    const qint64 end = pos();
    if (offset >= windowStart_) {
        return window_.mid(static_cast<qsizetype>(offset - windowStart_), static_cast<qsizetype>(end - offset));
    }
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(end - offset));
    seek(offset);
    while (pos() < end) {
        const qsizetype take = static_cast<qsizetype>(std::min<qint64>(window_.size() - at_, end - pos()));
        if (take <= 0 && !refill())
            break;
        bytes.append(window_.constData() + at_, std::max<qsizetype>(take, 0));
        skip(std::max<qsizetype>(take, 0));
    }
    seek(end);
    return bytes;
}

}  // namespace exchange
