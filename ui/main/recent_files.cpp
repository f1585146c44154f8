#include "ui/main/recent_files.h"

#include <QSettings>

namespace mainform {

namespace {

const QString kKey = QStringLiteral("recentFiles");

QSettings settings() { return QSettings(QStringLiteral("saporium"), QStringLiteral("saporium")); }

}  // namespace

QStringList RecentFiles::files() const
{
    QStringList files = settings().value(kKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kKept);
}

void RecentFiles::add(const QString &file)
{
    QStringList files = this->files();
    files.removeAll(file);
    files.prepend(file);
    store(files.mid(0, kKept));
}

void RecentFiles::remove(const QString &file)
{
    QStringList files = this->files();
    if (files.removeAll(file) > 0)
        store(files);
}

void RecentFiles::store(const QStringList &files)
{
    settings().setValue(kKey, files);
}

}  // namespace mainform
