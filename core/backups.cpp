#include "core/backups.h"

#include "core/background_backup.h"
#include "core/backup_names.h"
#include "core/file_lock.h"
#include "core/recipe_error.h"
#include "core/translated.h"
#include "engine/database.h"
#include "engine/db_engine.h"
#include "engine/page_copy.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>

namespace recipes {

namespace {

const QString &kPartial = BackupNames::kCopySuffix;

// Guards the three below. Never held while a background backup is waited for or destroyed: its
// thread takes it to hold a copy.
QMutex runMutex;
QSet<QString> &backedUpThisRun()
{
    static QSet<QString> files;
    return files;
}
// This run's copies being written, or waiting to be kept, under their partial names, by the
// backup's name: each locked, so that other runs leave it alone.
std::map<QString, FileLock> &heldCopies()
{
    static std::map<QString, FileLock> copies;
    return copies;
}
// This run's background backups that no change has kept yet, by the file's canonical path.
std::map<QString, std::shared_ptr<BackgroundBackup>> &startedBackups()
{
    // A copy still waiting at exit lets go of its lock as it goes: the held copies must outlive
    // the map, and statics end in the reverse order of their making.
    heldCopies();
    static std::map<QString, std::shared_ptr<BackgroundBackup>> backups;
    return backups;
}

// The copy stays locked until it has its name or is gone.
void letGoOf(const QString &target)
{
    const QMutexLocker lock(&runMutex);
    heldCopies().erase(target);
}

QString runKey(const QString &file) { return QFileInfo(file).canonicalFilePath(); }

QString shown(const QString &path) { return QDir::toNativeSeparators(path); }

// Copies step by step, asking stopped() between steps. The version is read before each step: a
// change committed after it is either in the copy or moves the version on, so comparing it later
// never misses one.
void stepCopy(dao::Database &db, dao::PageCopy &copy, const std::function<bool()> &stopped, std::int64_t *version)
{
    translated([&] {
        do {
            if (stopped && stopped())
                throw Error(QStringLiteral("it was stopped before it was complete."));
            if (version)
                *version = db.DataVersion();
        } while (!copy.Step());
    });
}

// Renames the whole copy into place; a name taken meanwhile is never overwritten.
void putPartialInPlace(const QString &partial, const QString &target)
{
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        throw Error(QStringLiteral("The backup %1 could not be put in place.").arg(shown(target)));
    }
}

// Writes the copy under a name of its own and renames it into place only when whole, so a
// failure or a crash never leaves a backup that looks complete.
void writeCopy(dao::Database &db, const QString &target)
{
    const QString partial = target + kPartial;
    QFile::remove(partial);
    try {
        stepCopy(db, *translated([&] { return db.StartCopy(partial); }), {}, nullptr);
    } catch (...) {
        QFile::remove(partial);
        throw;
    }
    putPartialInPlace(partial, target);
}

// Removes the file's copies whose writers are gone, however they ended: a writer holds its copy's
// lock until the copy is renamed or removed. Runs with the folder locked, so that no copy is
// between its making and its lock.
void removeAbandonedCopies(const QString &file)
{
    const BackupNames names(file);
    const QDir folder(Backups::folderFor(file));
    for (const QString &entry : folder.entryList(QDir::Files)) {
        if (!names.isCopy(entry))
            continue;
        const QString path = folder.filePath(entry);
        // Locked only once its writer had renamed it away, the name may be a new copy's by now.
        if (const std::optional<FileLock> abandoned = FileLock::tryExclusive(path); abandoned && abandoned->stillAt(path))
            QFile::remove(path);
    }
}

void keepNewest(const QString &file)
{
    try {
        // Two runs pruning at once could each count the other's newest among those to keep.
        const FileLock folder = FileLock::exclusive(Backups::folderFor(file));
        QStringList all = Backups::list(file);
        while (all.size() > Backups::kKept)
            QFile::remove(all.takeFirst());
    } catch (const Error &) {
        // The backup is in place; the next one prunes.
    }
}

// A copy of the file in its backups folder under a name of its own, still partial: see copyAside.
QString copyInFolder(dao::Database &db, const std::function<bool()> &stopped, std::int64_t *version)
{
    const QString file = db.Path();
    const QString folderPath = Backups::folderFor(file);
    // A link there would send the copies, and the removal of old ones, to another folder.
    if (QFileInfo(folderPath).isSymLink())
        throw Error(QStringLiteral("the folder %1 is a symbolic link; backups go only into a real folder.")
                        .arg(shown(folderPath)));
    if (!QDir().mkpath(folderPath))
        throw Error(QStringLiteral("the folder %1 cannot be made; check that its folder exists and may be written to.")
                        .arg(shown(folderPath)));
    QString target;
    std::unique_ptr<dao::PageCopy> copy;
    {
        // Other runs name, make and remove copies here too: one at a time, each step short.
        const FileLock folder = FileLock::exclusive(folderPath);
        removeAbandonedCopies(file);
        target = QDir(folderPath).filePath(
            BackupNames(file).next(QDir(folderPath).entryList(QDir::Files), QDateTime::currentDateTime()));
        const QString partial = target + kPartial;
        try {
            copy = translated([&] { return db.StartCopy(partial); });
        } catch (...) {
            QFile::remove(partial);
            throw;
        }
        std::optional<FileLock> held = FileLock::tryExclusive(partial);
        if (!held) {
            copy.reset();
            QFile::remove(partial);
            throw Error(QStringLiteral("the copy %1 could not be locked.").arg(shown(partial)));
        }
        const QMutexLocker lock(&runMutex);
        heldCopies().insert_or_assign(target, std::move(*held));
    }
    try {
        stepCopy(db, *copy, stopped, version);
    } catch (...) {
        copy.reset();
        QFile::remove(target + kPartial);
        letGoOf(target);
        throw;
    }
    return target;
}

void checkSound(const QString &backup, const QString &password)
{
    const std::unique_ptr<dao::Database> db = dao::DBEngine::OpenPrivate(backup, password, true);
    const QString problems = db->IntegrityProblems();
    if (!problems.isEmpty())
        throw Error(QStringLiteral("it is damaged: ") + problems);
}

// Checks that the backup opens, read-only, and is sound; returns the password that opened it: the
// file's own, else the backup's own when one is given.
QString checkedBackup(const QString &backup, const QString &password, const QString &backupPassword)
{
    QStringList tried{password};
    if (!backupPassword.isEmpty() && backupPassword != password)
        tried.append(backupPassword);
    for (const QString &candidate : tried) {
        try {
            translated([&] { checkSound(backup, candidate); });
            return candidate;
        } catch (const Error &e) {
            if (e.kind() != Error::Kind::WrongPassword)
                throw;
        }
    }
    throw Error(tried.size() == 1
                    ? QStringLiteral("it does not open with the recipe file's password; it was made under another one.")
                    : QStringLiteral("neither the recipe file's password nor the one given opens it."),
                Error::Kind::WrongPassword);
}

}  // namespace

QString Backups::folderFor(const QString &file)
{
    return QFileInfo(file).absoluteDir().filePath(QStringLiteral("backups"));
}

QStringList Backups::list(const QString &file)
{
    const QDir folder(folderFor(file));
    QStringList found;
    for (const QString &entry : BackupNames(file).oldestFirst(folder.entryList(QDir::Files)))
        found.append(folder.filePath(entry));
    return found;
}

QString Backups::make(const QString &file, const QString &password, const QString &output)
{
    std::unique_ptr<dao::Database> db;
    try {
        db = translated([&] { return dao::DBEngine::Open(file, password); });
    } catch (const Error &e) {
        throw Error(QStringLiteral("The backup of %1 could not be made: %2").arg(shown(file), e.message()));
    }
    return make(*db, output);
}

QString Backups::make(dao::Database &db, const QString &output)
{
    const QString file = db.Path();
    try {
        if (!output.isEmpty()) {
            if (QFileInfo(output).isSymLink())
                throw Error(QStringLiteral("%1 is a symbolic link; a backup is never written through a link.").arg(shown(output)));
            if (QFileInfo::exists(output))
                throw Error(QStringLiteral("a file named %1 exists already").arg(shown(output)));
            writeCopy(db, output);
            return output;
        }
        const QString target = copyInFolder(db, {}, nullptr);
        putInPlace(file, target);
        return target;
    } catch (const Error &e) {
        throw Error(QStringLiteral("The backup of %1 could not be made: %2").arg(shown(file), e.message()));
    }
}

QString Backups::copyAside(dao::Database &db, const std::function<bool()> &stopped, std::int64_t *version)
{
    try {
        return copyInFolder(db, stopped, version);
    } catch (const Error &e) {
        throw Error(QStringLiteral("The backup of %1 could not be made: %2").arg(shown(db.Path()), e.message()));
    }
}

void Backups::putInPlace(const QString &file, const QString &target)
{
    try {
        putPartialInPlace(target + kPartial, target);
    } catch (...) {
        letGoOf(target);
        throw;
    }
    letGoOf(target);
    keepNewest(file);
}

void Backups::discardCopy(const QString &target)
{
    QFile::remove(target + kPartial);
    letGoOf(target);
}

void Backups::beforeChange(dao::Database &db)
{
    const QString key = runKey(db.Path());
    std::shared_ptr<BackgroundBackup> started;
    {
        const QMutexLocker lock(&runMutex);
        if (backedUpThisRun().contains(key))
            return;
        if (const auto it = startedBackups().find(key); it != startedBackups().end()) {
            started = std::move(it->second);
            startedBackups().erase(it);
        }
    }
    try {
        bool kept = false;
        if (started) {
            // A copy that failed (the file replaced or rewritten while it read) is made again,
            // now, from the file as it is.
            try {
                started->keep();
                kept = true;
            } catch (const Error &) {
            }
        }
        if (!kept)
            make(db);
    } catch (const Error &e) {
        throw Error(e.message() + QStringLiteral(" Nothing was changed: without a backup a mistake could not be undone."));
    }
    const QMutexLocker lock(&runMutex);
    backedUpThisRun().insert(key);
}

QString Backups::restore(const QString &file, const QString &password, const QString &backup,
                         const QString &backupPassword)
{
    const QString shownBackup = shown(backup);
    if (QFileInfo(backup).canonicalFilePath() == QFileInfo(file).canonicalFilePath())
        throw Error(QStringLiteral("%1 is the recipe file itself, not a backup of it.").arg(shownBackup));
    QString opens;
    try {
        opens = checkedBackup(backup, password, backupPassword);
    } catch (const Error &e) {
        throw Error(QStringLiteral("The backup %1 was not restored: %2").arg(shownBackup, e.message()), e.kind());
    }
    // A copy still running would be of the file this replaces, and taken for this run's backup by
    // the next change.
    endOfUse(file);
    const QString saved = make(file, password);
    // Copied beside the file, then renamed over it in one step: the file is the old one or the
    // backup, never a mix.
    const QString incoming = file + QStringLiteral(".restoring");
    // A journal left by a restore that stopped while re-keying would be played into the new copy.
    const auto discard = [&] {
        QFile::remove(incoming);
        QFile::remove(incoming + QStringLiteral("-journal"));
    };
    discard();
    if (!QFile::copy(backup, incoming)) {
        discard();
        throw Error(QStringLiteral("The backup %1 could not be copied beside %2.").arg(shownBackup, shown(file)));
    }
    if (opens != password) {
        // A backup from before a password change: the restored file keeps the password in use,
        // and is checked again with it before it takes the file's place.
        try {
            translated([&] { dao::DBEngine::OpenPrivate(incoming, opens)->Rekey(password); });
            translated([&] { checkSound(incoming, password); });
        } catch (const Error &e) {
            discard();
            throw Error(QStringLiteral("The backup %1 was not restored: it could not be given the file's password: %2")
                            .arg(shownBackup, e.message()));
        }
    }
    if (::rename(QFile::encodeName(incoming).constData(), QFile::encodeName(file).constData()) != 0) {
        discard();
        throw Error(QStringLiteral("The backup %1 could not take the place of %2.").arg(shownBackup, shown(file)));
    }
    // Connections on the replaced file would refuse every write; the next open finds the new one.
    dao::DBEngine::ResetCache();
    madeNew(file);  // saved is the file as it was just before this change
    return saved;
}

void Backups::madeNew(const QString &file)
{
    const QString key = QFileInfo(file).canonicalFilePath();
    const QMutexLocker lock(&runMutex);
    backedUpThisRun().insert(key);
}

void Backups::startInBackground(const QString &file, const QString &password)
{
    const QString key = runKey(file);
    const QMutexLocker lock(&runMutex);
    if (key.isEmpty() || backedUpThisRun().contains(key) || startedBackups().count(key))
        return;
    startedBackups()[key] = std::make_shared<BackgroundBackup>(file, password);
}

void Backups::endOfUse(const QString &file)
{
    std::shared_ptr<BackgroundBackup> unneeded;  // destroyed once the lock is released
    const QMutexLocker lock(&runMutex);
    if (const auto it = startedBackups().find(runKey(file)); it != startedBackups().end()) {
        unneeded = std::move(it->second);
        startedBackups().erase(it);
    }
}

void Backups::waitForBackground(const QString &file)
{
    std::shared_ptr<BackgroundBackup> started;
    {
        const QMutexLocker lock(&runMutex);
        if (const auto it = startedBackups().find(runKey(file)); it != startedBackups().end())
            started = it->second;
    }
    if (started)
        started->waitUntilEnded();
}

void Backups::forgetRun()
{
    std::map<QString, std::shared_ptr<BackgroundBackup>> unneeded;  // destroyed once the lock is released
    const QMutexLocker lock(&runMutex);
    backedUpThisRun().clear();
    unneeded.swap(startedBackups());
}

}  // namespace recipes
