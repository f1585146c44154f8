#pragma once
// The names the backups of one recipe file take in its backups folder:
// "Recipe-2026-12-09-185612-7.mdb", the date and time to the second for the reader, then a number
// one above the highest the folder holds, so that the order of the numbers is the order of making
// whatever the clock says and however many backups fall in one second. The older names,
// "Recipe-2026-12-07-1530.mdb" and "Recipe-2026-12-07-1530-2.mdb", still count as backups, older
// than any numbered one. A copy still being written has ".partial" after the name.

#include <QDateTime>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

namespace recipes {

class BackupNames {
public:
    explicit BackupNames(const QString &file);

    // Whether a name in the folder (without the folder) is one of the file's backups.
    bool isBackup(const QString &entry) const;
    // Whether it is one of its copies still being written, or left by a writer that stopped.
    bool isCopy(const QString &entry) const;
    // The entries that are backups, oldest first.
    QStringList oldestFirst(QStringList entries) const;
    // The name of a backup made at now, after every backup and copy among the folder's entries.
    QString next(const QStringList &entries, const QDateTime &now) const;

    static const QString kCopySuffix;

private:
    struct Order;
    Order orderOf(const QString &entry) const;

    QString base_;
    QRegularExpression pattern_;
};

}  // namespace recipes
