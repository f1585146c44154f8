#include "core/backup_names.h"

#include <QFileInfo>

#include <algorithm>
#include <tuple>

namespace recipes {

const QString BackupNames::kCopySuffix = QStringLiteral(".partial");

// Numbered names sort by their number alone; the older ones before them, by minute and then by
// the number a second backup in that minute got (none for the first).
struct BackupNames::Order {
    bool numbered = false;
    qint64 number = 0;
    QString minute;

    bool operator<(const Order &other) const
    {
        return std::tie(numbered, minute, number) < std::tie(other.numbered, other.minute, other.number);
    }
};

BackupNames::BackupNames(const QString &file)
    : base_(QFileInfo(file).completeBaseName()),
      pattern_(QStringLiteral("^") + QRegularExpression::escape(base_)
               + QStringLiteral("-(\\d{4}-\\d\\d-\\d\\d-)(?:\\d{6}-(\\d{1,18})|(\\d{4})(?:-(\\d{1,9}))?)\\.mdb$"))
{
}

bool BackupNames::isBackup(const QString &entry) const { return pattern_.match(entry).hasMatch(); }

bool BackupNames::isCopy(const QString &entry) const
{
    return entry.endsWith(kCopySuffix) && isBackup(entry.chopped(kCopySuffix.size()));
}

BackupNames::Order BackupNames::orderOf(const QString &entry) const
{
    const QRegularExpressionMatch m = pattern_.match(entry);
    Order order;
    order.numbered = m.hasCaptured(2);
    if (order.numbered) {
        // The minute plays no part: numbers alone tell the order, the clock may have gone back.
        order.number = m.captured(2).toLongLong();
    } else {
        order.minute = m.captured(1) + m.captured(3);
        order.number = m.captured(4).toLongLong();
    }
    return order;
}

QStringList BackupNames::oldestFirst(QStringList entries) const
{
    entries.removeIf([this](const QString &entry) { return !isBackup(entry); });
    std::stable_sort(entries.begin(), entries.end(),
                     [this](const QString &a, const QString &b) { return orderOf(a) < orderOf(b); });
    return entries;
}

QString BackupNames::next(const QStringList &entries, const QDateTime &now) const
{
    qint64 highest = 0;
    for (const QString &entry : entries) {
        const QString name = entry.endsWith(kCopySuffix) ? entry.chopped(kCopySuffix.size()) : entry;
        if (!isBackup(name))
            continue;
        if (const Order order = orderOf(name); order.numbered)
            highest = std::max(highest, order.number);
    }
    return base_ + u'-' + now.toString(QStringLiteral("yyyy-MM-dd-HHmmss")) + u'-' + QString::number(highest + 1)
        + QStringLiteral(".mdb");
}

}  // namespace recipes
