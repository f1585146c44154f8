#include "ui/main/recent_files.h"

#include <QDir>
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

QString RecentFiles::add(const QString &file)
{
    QStringList files = this->files();
    files.removeAll(file);
    files.prepend(file);
    return store(files.mid(0, kKept));
}

QString RecentFiles::remove(const QString &file)
{
    QStringList files = this->files();
    return files.removeAll(file) > 0 ? store(files) : QString();
}

QString RecentFiles::store(const QStringList &files)
{
    QSettings kept = settings();
    kept.setValue(kKey, files);
    kept.sync();
    if (kept.status() == QSettings::NoError)
        return {};
    return QStringLiteral("The recent files could not be saved: %1 cannot be written.")
        .arg(QDir::toNativeSeparators(kept.fileName()));
}

}  // namespace mainform
