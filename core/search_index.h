#pragma once
// Search across every recipe of a file: names, authors, ingredients and instructions, by the
// query language of SearchQuery. The words live in a full-text index file, encrypted with the
// same key, beside the recipe file when that folder is the user's alone to write, else in the
// user's private cache folder; nothing is added to the recipe file. The index is brought up to
// date by sync(), which reads every recipe and rewrites only what differs, and by apply(), for
// the program's own changes.
//
// One thread uses an index: it reads the recipe file through a connection of its own.

#include "core/change_feed.h"
#include "core/collection.h"
#include "core/search_query.h"

#include <QString>

#include <cstdint>
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

    // Brings the index up to date with the recipe file. Returns how many recipes it rewrote.
    // Stops with an Error, keeping what it finished, when its thread is asked to stop.
    int sync();
    // Takes in a change the program made to this file.
    void apply(const Change &change);
    // Every recipe the query matches: categories in catalogue order, recipes in stored order.
    std::vector<SearchHit> find(const SearchQuery &query) const;
    std::vector<SearchHit> find(const QString &typed) const { return find(SearchQuery::parse(typed)); }
    int count() const;

private:
    Collection collection_;
    std::unique_ptr<dao::FullTextIndex> index_;
};

}  // namespace recipes
