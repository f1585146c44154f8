#pragma once
// The recipe file a window or a command works on, and the password that opens it: the one owner
// of both. Whoever opens the file, backs it up, restores it, re-keys it or searches it asks the
// session; nobody else keeps the path or the password.
//
// The password is the built-in one until the user's own is accepted (open with a prompt, or a
// password change); it is kept in memory only. Failures throw recipes::Error saying why.

#include "core/collection.h"

#include <QString>

#include <functional>
#include <memory>

namespace recipes {

class PasswordPrompt;
class SearchService;

class RecipeSession {
public:
    static constexpr int kTries = 3;

    // path: the file as the engine takes it, with or without its extension; empty: no file.
    explicit RecipeSession(QString path = {});
    // Ends the use of the file when this session started its backup (endOfUse).
    ~RecipeSession();
    RecipeSession(const RecipeSession &) = delete;
    RecipeSession &operator=(const RecipeSession &) = delete;

    const QString &path() const { return path_; }
    // The file with its extension: ".mdb" added to a name without one, as the engine does.
    QString file() const;
    const QString &password() const { return password_; }
    bool hasFile() const { return !path_.isEmpty(); }

    // Ends the use of the file in hand and works on path from now on, with the built-in password.
    void switchTo(const QString &path);
    // Uses password from now on, unchecked (given on standard input, say).
    void usePassword(const QString &password) { password_ = password; }

    // Calls attempt(password) for passwords the prompt gives, until one call returns; an attempt
    // throws Error::Kind::WrongPassword for a password that does not do. Returns that password.
    // Throws the last refusal after kTries wrong ones, any other failure at once, and an error of
    // kind WrongPassword with the prompt's declined() text when the prompt gives up.
    static QString askUntilAccepted(PasswordPrompt &prompt, const std::function<void(const QString &)> &attempt);
    // Asks for the file's own password: openWith runs with each one tried as the session's
    // password. The accepted one stays; after a failure the built-in one is back, and it throws
    // as askUntilAccepted does.
    void unlock(PasswordPrompt &prompt, const std::function<void()> &openWith);

    // A connection of its own to the file.
    std::unique_ptr<Collection> collection() const;
    // Whether the file opens with the built-in password; throws any other failure than a wrong
    // password.
    bool opensWithBuiltIn() const;

    // Re-keys the file from current to fresh, which the session then uses.
    void changePassword(const QString &current, const QString &fresh);
    // A backup now; see Backups::make.
    QString backUp(const QString &output = {}) const;
    // Replaces the file with the backup; see Backups::restore. A backup made under another
    // password is tried with the ones backupPrompt gives, when there is one.
    QString restore(const QString &backup, PasswordPrompt *backupPrompt = nullptr) const;
    // The same, with the backup's password known.
    QString restore(const QString &backup, const QString &backupPassword) const;
    // This run's backup of the file, started in the background once the file is open.
    void startBackup();
    // The run is done with the file: a background backup this session started and no change
    // needed goes. Another session's backup of the same file is left alone.
    void endOfUse();

    // Search over the file, on a thread of its own.
    std::unique_ptr<SearchService> searchService() const;
    // Calls told(change) for each change this program makes to the session's file, from now
    // until context goes; in context's thread.
    void watchChanges(QObject *context, std::function<void(const Change &)> told) const;

private:
    QString path_;
    QString password_;
    bool backupStarted_ = false;
};

}  // namespace recipes
