#pragma once
// Every change the program makes to a recipe file, told as it is made, for whatever keeps
// something derived from the file (the search index) up to date in the same step. Changes made
// by other programs are not told here; Collection::dataVersion notices those.

#include "core/recipe.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace recipes {

// A recipe as its category stores it, with its row number.
struct StoredRecipe {
    std::int64_t row = 0;
    Recipe stored;
};

struct Change {
    // ManyWritten: a batch added recipes to the category; read it again.
    enum class Kind { RecipeWritten, RecipeDeleted, CategoryAdded, CategoryDeleted, ManyWritten };
    Kind kind = Kind::RecipeWritten;
    QString file;      // the recipe file, as Collection::path gives it
    QString category;
    std::int64_t row = 0;  // the recipe's row number in its category
    Recipe stored;         // RecipeWritten: the values as written
    // What the change took away, for whoever keeps a way back (ChangeHistory): RecipeWritten
    // over a recipe, RecipeDeleted: its values before.
    std::optional<Recipe> before;
    // CategoryDeleted: the recipes the category held, in stored order; ManyWritten: the recipes
    // the batch added to the category, in order, or none when nothing listened to the feed as
    // the batch began.
    std::vector<StoredRecipe> recipes;
    // The changes of one batch share one number, never 0; 0: a change of its own.
    std::uint64_t batch = 0;
};

class ChangeFeed : public QObject {
    Q_OBJECT
public:
    // The program's one feed; its signal is raised on the thread that made the change.
    static ChangeFeed &instance();

    // Whether anything listens to the feed now: a window's models and its change history do, the
    // command line does not.
    bool listened() const;

signals:
    void changed(const recipes::Change &change);

private:
    ChangeFeed() = default;
};

}  // namespace recipes

Q_DECLARE_METATYPE(recipes::Change)
