#include "app/data_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace appdata {

namespace {

const QString kDatabase = QStringLiteral("Recipe.mdb");

QString besideProgram(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/../share/saporium"));
}

bool hasDatabase(const QString &folder) { return QFileInfo::exists(QDir(folder).filePath(kDatabase)); }

bool copyStarter(const QString &sharedFolder, const QString &folder)
{
    const QDir dir(folder);
    // Copied under another name and renamed when complete, so that an interrupted first start
    // never leaves a truncated file for the next start to take as the user's collection.
    const QString part = dir.filePath(kDatabase + QStringLiteral(".part"));
    QFile::remove(part);
    if (!QFile::copy(QDir(sharedFolder).filePath(kDatabase), part))
        return false;
    // The installed file is read-only to the user; their copy is theirs to change.
    QFile::setPermissions(part, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!QFile::rename(part, dir.filePath(kDatabase))) {
        QFile::remove(part);
        return false;
    }
    return true;
}

}  // namespace

DataFolder chooseDataFolder(const QString &programFolder, const QString &userFolder,
                            const QString &sharedFolder)
{
    // An installed program's folder is writable to root; its layout, not the permission bits,
    // tells that it is installed.
    const bool installed = hasDatabase(besideProgram(programFolder));
    if (hasDatabase(programFolder) || (!installed && QFileInfo(programFolder).isWritable()))
        return {programFolder, {}, false};

    const QString helpFolder = sharedFolder.isEmpty() ? programFolder : sharedFolder;
    DataFolder chosen{userFolder, QDir(helpFolder).filePath(QStringLiteral("help.htm")), false};
    // Made even without a starter to copy: the print files are written here too.
    if (QDir().mkpath(userFolder) && !hasDatabase(userFolder) && !sharedFolder.isEmpty()
        && hasDatabase(sharedFolder))
        chosen.starterCopied = copyStarter(sharedFolder, userFolder);
    return chosen;
}

QString findSharedFolder(const QString &programFolder)
{
    if (hasDatabase(besideProgram(programFolder)))
        return besideProgram(programFolder);
    // The first data folder is the user's own, where the starter would be copied to.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    for (const QString &data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString candidate = QDir(data).filePath(QStringLiteral("saporium"));
        if (QDir::cleanPath(data) != QDir::cleanPath(own) && hasDatabase(candidate))
            return candidate;
    }
    return {};
}

}  // namespace appdata
