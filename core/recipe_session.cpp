#include "core/recipe_session.h"

#include "core/backups.h"
#include "core/change_feed.h"
#include "core/password_prompt.h"
#include "core/recipe_error.h"
#include "core/search_service.h"

#include <QFileInfo>

namespace recipes {

RecipeSession::RecipeSession(QString path) : path_(std::move(path)), password_(kBuiltInPassword) {}

RecipeSession::~RecipeSession() { endOfUse(); }

QString RecipeSession::file() const
{
    return path_.isEmpty() ? path_ : Collection::fileNamed(path_);
}

void RecipeSession::switchTo(const QString &path)
{
    endOfUse();
    path_ = path;
    password_ = kBuiltInPassword;
}

QString RecipeSession::askUntilAccepted(PasswordPrompt &prompt, const std::function<void(const QString &)> &attempt)
{
    for (int n = 1;; ++n) {
        const std::optional<QString> typed = prompt.ask(n, kTries);
        if (!typed || typed->isEmpty())
            throw Error(prompt.declined(), Error::Kind::WrongPassword);
        try {
            attempt(*typed);
            return *typed;
        } catch (const Error &wrong) {
            if (wrong.kind() != Error::Kind::WrongPassword || n == kTries)
                throw;
            prompt.refused(n, kTries);
        }
    }
}

void RecipeSession::unlock(PasswordPrompt &prompt, const std::function<void()> &openWith)
{
    try {
        password_ = askUntilAccepted(prompt, [&](const QString &typed) {
            password_ = typed;
            openWith();
        });
    } catch (...) {
        password_ = kBuiltInPassword;
        throw;
    }
}

std::unique_ptr<Collection> RecipeSession::collection() const
{
    return std::make_unique<Collection>(path_, password_);
}

bool RecipeSession::opensWithBuiltIn() const
{
    try {
        Collection(path_, kBuiltInPassword);
        return true;
    } catch (const Error &e) {
        if (e.kind() != Error::Kind::WrongPassword)
            throw;
        return false;
    }
}

void RecipeSession::changePassword(const QString &current, const QString &fresh)
{
    Collection::changePassword(file(), current, fresh);
    password_ = fresh;
}

QString RecipeSession::backUp(const QString &output) const { return Backups::make(file(), password_, output); }

QString RecipeSession::restore(const QString &backup, const QString &backupPassword) const
{
    return Backups::restore(file(), password_, backup, backupPassword);
}

QString RecipeSession::restore(const QString &backup, PasswordPrompt *backupPrompt) const
{
    try {
        return restore(backup, QString());
    } catch (const Error &e) {
        // A backup made before a password change opens only with the password it was made under.
        if (e.kind() != Error::Kind::WrongPassword || !backupPrompt)
            throw;
    }
    QString saved;
    askUntilAccepted(*backupPrompt, [&](const QString &typed) { saved = restore(backup, typed); });
    return saved;
}

void RecipeSession::startBackup()
{
    if (!hasFile())
        return;
    Backups::startInBackground(file(), password_);
    backupStarted_ = true;
}

void RecipeSession::endOfUse()
{
    if (!backupStarted_)
        return;
    backupStarted_ = false;
    Backups::endOfUse(file());
}

std::unique_ptr<SearchService> RecipeSession::searchService() const
{
    return std::make_unique<SearchService>(path_, password_);
}

void RecipeSession::watchChanges(QObject *context, std::function<void(const Change &)> told) const
{
    const QString mine = QFileInfo(file()).canonicalFilePath();
    QObject::connect(&ChangeFeed::instance(), &ChangeFeed::changed, context,
                     [mine, told = std::move(told)](const Change &change) {
                         if (!mine.isEmpty() && QFileInfo(change.file).canonicalFilePath() == mine)
                             told(change);
                     });
}

}  // namespace recipes
