#pragma once
// Search across every recipe of a file: names, authors, ingredients and instructions, by the
// query language of SearchQuery. The words live in a full-text index file, encrypted with the
// same key, beside the recipe file when that folder is the user's alone to write, else in the
// user's private cache folder; nothing is added to the recipe file. The index is brought up to
// date by catchUp(), which reads only the categories whose mark (dao::TableMark) moved since
// they were last read, and takes no mark at all while nothing has written to the file since the
// marks were last found true; by sync(), which reads every recipe; and by apply(), for the
// program's own changes. Either rewrites only what differs.
//
// All the work is done in steps of at most stepRows() recipes, each its own transaction, so that
// no statement comes near the engine's time limit however large the file, and a program closed
// in the middle keeps what it finished: a category is marked only in the step that finishes it,
// so the next catch-up reads again whatever was left half done. Until this handle has brought
// the index in step, it answers no query.
//
// One thread uses an index: it reads the recipe file through a connection of its own.

#include "core/change_feed.h"
#include "core/collection.h"
#include "core/search_query.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace dao {
class FullTextIndex;
}

namespace recipes {

struct SearchHit {
    QString category;
    QString name;  // as the tree shows it: trimmed
    std::int64_t row;
    friend bool operator==(const SearchHit &, const SearchHit &) = default;
};

class SearchIndex {
public:
    // Throws Error when the recipe file cannot be opened or the index has no safe place; an
    // unusable index file is made anew.
    SearchIndex(const QString &file, const QString &password);
    ~SearchIndex();

    // Where the index of the recipe file at path is kept: beside it, or in the cache folder
    // (QStandardPaths::CacheLocation), which is made private when missing. Throws Error when
    // the cache folder is needed but is not a folder of the user's alone.
    static QString indexPathFor(const QString &file);

    // Has the index of the recipe file, when there is one, read the category again at its next
    // catch-up, in this run or a later one: the program's own changes are told here as they are
    // made, since no index may be open to take them in. Throws Error, saying the change itself
    // is in the file, when the index can be neither told nor removed.
    static void categoryChanged(const QString &file, const QString &password, const QString &category);

    // Brings the index up to date with the recipe file, reading every recipe. Returns how many
    // recipes it rewrote. Stops with an Error, keeping the steps it finished, when its thread
    // is asked to stop.
    int sync();
    // As sync, reading only the categories whose mark differs from the one kept, or that were
    // never finished: a file nothing wrote to since costs a look at its size and times and no
    // recipe read; one written to costs a mark, a read of the whole table, per category. Every
    // category is read when the file is not the one the marks were read from (a backup restored
    // in its place).
    int catchUp();
    // Takes in a change the program made to this file.
    void apply(const Change &change);
    // Every recipe the query matches: categories in catalogue order, recipes in stored order.
    // Throws Error until sync or catchUp has finished on this handle.
    std::vector<SearchHit> find(const SearchQuery &query) const;
    std::vector<SearchHit> find(const QString &typed) const { return find(SearchQuery::parse(typed)); }
    int count() const;

    // The most recipes one step reads, writes or removes (1000 unless set; at least 1).
    int stepRows() const { return stepRows_; }
    void setStepRows(int rows);
    // Told the recipes each step handled, once the step is in the index file.
    void setStepObserver(std::function<void(int recipes)> observer) { observer_ = std::move(observer); }
    // Recipes read from the recipe file since the handle was made.
    std::int64_t recipesRead() const { return recipesRead_; }

private:
    int bringUp(bool everyCategory);
    int readCategory(const QString &category, const dao::TableMark &mark);
    int removeGone(const QString &category);
    void stepDone(int recipes);
    void forgetMarks(const QString &category);

    Collection collection_;
    std::unique_ptr<dao::FullTextIndex> index_;
    int stepRows_ = 1000;
    std::function<void(int)> observer_;
    std::int64_t recipesRead_ = 0;
    bool inStep_ = false;
};

}  // namespace recipes
