#pragma once
// Many recipes added to a collection as one change: every one of them lasts, or, when commit()
// is never reached (an error, a cancel, a crash), none does. Meant for imports: the rows go in
// through one prepared statement, and a recipe identical in all four fields to one already in
// its category is not added twice.
//
// The batch holds the file's write lock while it lives; other programs wait or are refused.
//
// The fingerprints of what the categories hold come from a DuplicateIndex: the batch's own, or
// one the caller keeps across many batches so that each category is read once for all of them.
//
// The recipes added are kept until the commit tells them on ChangeFeed, for a change history to
// undo; only when something listens to the feed, so that where nothing does (the command line) a
// batch of any size holds no more than their fingerprints.

#include "core/collection.h"
#include "core/duplicate_index.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <memory>

namespace dao {
class Appender;
class Transaction;
}

namespace recipes {

class RecipeBatch {
public:
    // Starts the transaction; throws Error when the file cannot be written.
    // index: kept by the caller and told what this batch commits; none: the batch's own.
    explicit RecipeBatch(Collection &collection, DuplicateIndex *index = nullptr);
    ~RecipeBatch();  // undoes everything unless committed; never fails
    RecipeBatch(const RecipeBatch &) = delete;
    RecipeBatch &operator=(const RecipeBatch &) = delete;

    // The category of that name as the file spells it (letter case ignored), created with the
    // four fields when there is none. Throws Error when the name is refused.
    QString category(const QString &name);

    enum class Result { Added, Duplicate };
    // Adds the recipe as typed (each field trimmed and encoded, as Collection::addRecipe) at the
    // end of the category, unless a recipe with the same four trimmed texts is there already, or
    // was added earlier in this batch. A refused text (too long, a broken character) throws
    // Error before anything is written, and the batch goes on.
    Result add(const QString &category, const Recipe &typed);

    // False once the file has given the batch up (a full disk, an I/O error): nothing more can
    // be added, and commit would fail.
    bool usable() const;
    // Makes every recipe added lasting; throws Error, and then nothing lasts. The changes are
    // told on ChangeFeed once they are in the file.
    void commit();

private:
    struct Category;
    Category &open(const QString &category);

    Collection &collection_;
    std::unique_ptr<DuplicateIndex> ownIndex_;
    DuplicateIndex *index_;
    std::unique_ptr<dao::Transaction> transaction_;
    QStringList existing_;  // every category, as the file spells them
    QStringList created_;
    std::map<QString, std::unique_ptr<Category>> open_;  // by the file's spelling
    bool keepsRecipes_;
};

}  // namespace recipes
