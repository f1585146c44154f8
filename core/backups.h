#pragma once
// Backups of a recipe file: encrypted copies with the file's own password, made by the database
// itself from one snapshot (never a half-written state), kept in "backups" beside the file and
// named by date and time ("Recipe-2026-12-07-1530.mdb"). The newest ten are kept.
//
// Every run of the program backs a file up before its first change to it, so a mistake can be
// undone; a run that only views makes none. A backup that fails stops the change.

#include <QString>
#include <QStringList>

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
    // calls it first. Throws Error, saying that nothing was changed, when the backup cannot be made.
    static void beforeChange(dao::Database &db);

    // Replaces the file with the backup, once the backup has passed the checks: it opens with the
    // password, or else with backupPassword (a backup made before a password change), and SQLite
    // finds it sound. The restored file keeps password. The file as it was is backed up first.
    // Returns that backup's path. Throws Error, the file untouched, when a check or a step fails;
    // of kind WrongPassword when neither password opens the backup, so a caller can ask for its own.
    static QString restore(const QString &file, const QString &password, const QString &backup,
                           const QString &backupPassword = {});

    // A file this run has just made needs no backup of its empty self before its first change.
    static void madeNew(const QString &file);

    // Forgets which files this run has backed up (tests start from a new run).
    static void forgetRun();
};

}  // namespace recipes
