#pragma once
// Backups of a recipe file: encrypted copies with the file's own password, made by the database
// itself from one snapshot (never a half-written state), kept in "backups" beside the file and
// named by date, time and a number that tells their order ("Recipe-2026-12-09-185612-7.mdb", see
// BackupNames). The newest ten are kept. Several runs may back one file up at once: each copy has
// a name no other run takes, and a run removes only copies whose writer is gone (FileLock).
//
// Every run of the program backs a file up before its first change to it, so a mistake can be
// undone; a run that only views makes none. A backup that fails stops the change. The window
// starts the backup in the background as soon as it has opened the file (BackgroundBackup), so
// that the first change waits only for what is left of it; elsewhere the first change makes it.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

namespace dao {
class Database;
}

namespace recipes {

class Backups {
public:
    static constexpr int kKept = 10;

    // The folder the backups of the file at path go to.
    static QString folderFor(const QString &file);
    // The file's backups in that folder, oldest first.
    static QStringList list(const QString &file);

    // Writes a backup of the file, opened with password, and returns its path. Without output it
    // goes into folderFor(file) under a name of the present date and time, and the oldest beyond
    // kKept are then removed. Nothing is left behind when it fails: throws Error saying why.
    static QString make(const QString &file, const QString &password, const QString &output = {});

    // The same through a handle open on the file.
    static QString make(dao::Database &db, const QString &output = {});

    // Makes this run's backup of the file the handle is open on, unless it has one; every change
    // calls it first. A backup started in the background is waited for and kept. Throws Error,
    // saying that nothing was changed, when the backup cannot be made.
    static void beforeChange(dao::Database &db);

    // Starts this run's backup of the file in the background, unless this run has backed the file
    // up or started one. Until a change keeps it, list() does not show it.
    static void startInBackground(const QString &file, const QString &password);
    // Waits until the background backup of the file, if one was started and not yet kept or
    // deleted, has ended, well or not; keeps nothing.
    static void waitForBackground(const QString &file);
    // This run is done with the file: a background backup no change needed is stopped and
    // deleted; the backups made before stay as they are.
    static void endOfUse(const QString &file);

    // Replaces the file with the backup, once the backup has passed the checks: it opens with the
    // password, or else with backupPassword (a backup made before a password change), and SQLite
    // finds it sound. The restored file keeps password. The file as it was is backed up first,
    // and that backup is this run's: one started in the background is stopped and deleted.
    // Returns that backup's path. Throws Error, the file untouched, when a check or a step fails;
    // of kind WrongPassword when neither password opens the backup, so a caller can ask for its own.
    static QString restore(const QString &file, const QString &password, const QString &backup,
                           const QString &backupPassword = {});

    // A file this run has just made needs no backup of its empty self before its first change.
    static void madeNew(const QString &file);

    // Forgets which files this run has backed up, and discards the backups started in the
    // background that no change kept (tests start from a new run).
    static void forgetRun();

private:
    friend class BackgroundBackup;
    // Writes a copy of the file the handle is open on under a name of its own in the backups
    // folder, with ".partial" added; returns the backup's name, the copy locked until putInPlace or
    // discardCopy. Copies step by step and gives up when stopped() says so; sets version to the
    // handle's data version the copy shows, or one older. Throws Error saying why, nothing left
    // behind.
    static QString copyAside(dao::Database &db, const std::function<bool()> &stopped, std::int64_t *version);
    // Renames the copy to the backup's name and keeps the newest kKept backups of the file;
    // throws saying why not.
    static void putInPlace(const QString &file, const QString &target);
    // Deletes the copy and frees its name.
    static void discardCopy(const QString &target);
};

}  // namespace recipes
