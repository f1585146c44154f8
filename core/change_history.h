#pragma once
// The run's changes to one recipe file, kept so that they can be undone and done again. A step
// is one change as the feed tells it: a recipe added, edited or deleted, a category added or
// deleted (with its recipes), or one batch (an imported file). Steps are taken from ChangeFeed
// on the history's own thread, in memory only; undoing or redoing one is one transaction.
//
// A step is applied only to the file as the run left it: when another program has written to
// the file since (its data version moved), or a row the step names is not as the step left it,
// undo and redo throw recipes::Error saying why, and nothing is written. Another program's
// change also makes the steps before it useless, so they are forgotten.

#include "core/change_feed.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace recipes {

class Collection;
class RecipeSession;

class ChangeHistory : public QObject {
    Q_OBJECT
public:
    // Keeps the steps made to the session's file from now on; opens it with the session's
    // password as it is at each step, so a password changed meanwhile is followed. The session
    // outlives the history.
    explicit ChangeHistory(const RecipeSession &session, QObject *parent = nullptr);
    ~ChangeHistory() override;

    // The step undo() or redo() would apply, in a few words ("delete of recipe Pancakes");
    // empty when there is none.
    QString undoText() const;
    QString redoText() const;

    // Each applies one step in one transaction, tells it on the feed, and moves it to the other
    // list; throws Error, with nothing written, when it cannot.
    void undo();
    void redo();
    void clear();

signals:
    void stepsChanged();

private:
    // A row as the step found it and as it left it; nothing: no such row.
    struct RowChange {
        QString category;
        std::int64_t row = 0;
        std::optional<Recipe> before, after;
    };
    struct Step {
        QString text;
        QStringList created;  // categories the step made, empty
        std::vector<std::pair<QString, std::vector<StoredRecipe>>> dropped;  // categories it dropped
        std::vector<RowChange> rows;
        std::uint64_t batch = 0;
    };

    void take(const Change &change);
    // Applies the step forward (as it was done) or backward; throws before writing when the file
    // is not as the step expects. Returns the changes to tell.
    std::vector<Change> apply(const Step &step, bool forward, const QString &verb);
    void move(std::vector<Step> &from, std::vector<Step> &to, bool forward, const QString &verb);
    std::int64_t currentVersion() const;

    QString path_;
    const RecipeSession &session_;
    std::optional<std::int64_t> version_;  // the file's data version as the run last left it
    std::vector<Step> done_;
    std::vector<Step> undone_;
    bool applying_ = false;
};

}  // namespace recipes
