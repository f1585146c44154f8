// The session's password tries, as the window and the command line both run them: at most three,
// a refusal between tries, giving up on an empty answer, and the built-in password back after
// any failure.
#include "core/change_feed.h"
#include "core/collection.h"
#include "core/password_prompt.h"
#include "core/recipe_error.h"
#include "core/recipe_session.h"
#include "support/temp_db.h"

#include <QObject>

#include <gtest/gtest.h>

#include <vector>

namespace {

using recipes::RecipeSession;

// Answers from a script and records what it was asked and told.
class ScriptedPrompt : public recipes::PasswordPrompt {
public:
    explicit ScriptedPrompt(QStringList answers) : answers_(std::move(answers)) {}
    std::optional<QString> ask(int attempt, int tries) override
    {
        asked.push_back(attempt);
        EXPECT_EQ(tries, RecipeSession::kTries);
        if (answers_.isEmpty())
            return std::nullopt;
        return answers_.takeFirst();
    }
    void refused(int attempt, int) override { refusals.push_back(attempt); }
    QString declined() const override { return QStringLiteral("Nothing typed."); }

    std::vector<int> asked;
    std::vector<int> refusals;

private:
    QStringList answers_;
};

TEST(RecipeSession, UnlockTriesThreeTimesAtMostAndKeepsOnlyTheAcceptedPassword)
{
    const QString mine = QStringLiteral("mine");
    struct Case {
        const char *what;
        QStringList answers;
        bool missingFile;
        std::vector<int> asked, refusals;
        QString failure;  // empty: unlocked
    };
    const std::vector<Case> cases = {
        {"right at once", {mine}, false, {1}, {}, {}},
        {"wrong then right", {QStringLiteral("bad"), mine}, false, {1, 2}, {1}, {}},
        {"three wrong, the fourth never asked", {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), mine},
         false, {1, 2, 3}, {1, 2}, QStringLiteral("wrong")},
        {"cancelled", {QString()}, false, {1}, {}, QStringLiteral("Nothing typed.")},
        {"wrong then cancelled", {QStringLiteral("bad"), QString()}, false, {1, 2}, {1}, QStringLiteral("Nothing typed.")},
        {"a failure other than the password ends at once", {mine, mine}, true, {1}, {}, QStringLiteral("other")},
    };
    for (const Case &t : cases) {
        SCOPED_TRACE(t.what);
        testsupport::TempDb db;
        db.create();
        recipes::Collection::changePassword(db.filePath(), recipes::kBuiltInPassword, mine);
        RecipeSession session(t.missingFile ? db.folder() + QStringLiteral("/Missing") : db.basePath());
        if (!t.missingFile) {
            EXPECT_FALSE(session.opensWithBuiltIn());
        }
        ScriptedPrompt prompt(t.answers);
        QString failure;
        try {
            session.unlock(prompt, [&] { session.collection(); });
        } catch (const recipes::Error &e) {
            if (e.message() == prompt.declined())
                failure = e.message();
            else
                failure = e.kind() == recipes::Error::Kind::WrongPassword ? QStringLiteral("wrong") : QStringLiteral("other");
        }
        EXPECT_EQ(failure, t.failure);
        EXPECT_EQ(prompt.asked, t.asked);
        EXPECT_EQ(prompt.refusals, t.refusals);
        EXPECT_EQ(session.password(), t.failure.isEmpty() ? mine : recipes::kBuiltInPassword);
    }
}

TEST(RecipeSession, TellsTheChangesToItsOwnFileOnly)
{
    testsupport::TempDb mine, other;
    mine.create();
    other.create();
    const RecipeSession session(mine.basePath());
    QObject context;
    QStringList told;
    session.watchChanges(&context, [&](const recipes::Change &change) { told.append(change.category); });
    recipes::Collection(other.basePath(), recipes::kBuiltInPassword).addCategory(QStringLiteral("Theirs"));
    session.collection()->addCategory(QStringLiteral("Ours"));
    EXPECT_EQ(told, QStringList{QStringLiteral("Ours")});
}

}  // namespace
