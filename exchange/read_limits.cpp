#include "exchange/read_limits.h"

#include <QIODevice>

#include <algorithm>

namespace exchange {

QString FileTooLarge::reason() const
{
    if (size < 0)
        return QStringLiteral("The file is too large: it grew while it was read, past the %1 this program reads.")
            .arg(byteSize(limit));
    return QStringLiteral("The file is too large: %1, over the %2 this program reads.").arg(byteSize(size), byteSize(limit));
}

QString byteSize(qint64 bytes)
{
    static const char *const units[] = {"KB", "MB", "GB", "TB"};
    double value = double(bytes) / 1024;
    int unit = 0;
    for (; value >= 1000 && unit < 3; ++unit)
        value /= 1024;
    return QString::number(value, 'g', value >= 1000 ? 6 : 3) + u' ' + QLatin1String(units[unit]);
}

QByteArray readWhole(QIODevice &device, qint64 largest)
{
    const qint64 size = device.size() - device.pos();
    if (size > largest)
        throw FileTooLarge{size, largest};
    // Read on to the end, one past the limit at most, as the file may have grown since.
    QByteArray bytes = device.read(std::max<qint64>(size, 0));
    for (;;) {
        const QByteArray more = device.read(std::min<qint64>(1 << 16, largest + 1 - bytes.size()));
        if (more.isEmpty())
            break;
        bytes += more;
        if (bytes.size() > largest)
            throw FileTooLarge{-1, largest};
    }
    return bytes;
}

}  // namespace exchange
