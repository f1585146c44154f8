#pragma once
// The limit search is measured against: the recipes read by a bare SQLCipher connection and
// written straight into an FTS4 table of the index's own declaration, a prepared MATCH on the
// program's index file, and the matches put into a bare QTreeWidget. No engine, core, store or
// tree seam in between.

#include "bench/raw_baseline.h"

#include <QString>

#include <string>
#include <vector>

struct sqlite3_stmt;

namespace bench {

class RawConnection;

// The index declaration the program uses, so that both sides tokenize alike.
extern const char *const kRawIndexDeclaration;

// Reads every recipe of every category of recipes (one SELECT of the four fields per table)
// and inserts the four trimmed fields into a new FTS4 table at target, one transaction per
// category. target ":memory:" builds in memory, unencrypted; any other target must not exist
// and is keyed with password. Returns how many recipes went in; throws std::runtime_error.
int buildRawIndex(RawConnection &recipes, const QString &target, const QString &password);

// One prepared MATCH on the program's index file, joined to its document table for category,
// row and name.
class RawMatch {
public:
    explicit RawMatch(RawConnection &index);
    ~RawMatch();
    RawMatch(const RawMatch &) = delete;
    RawMatch &operator=(const RawMatch &) = delete;

    // The matches of an FTS4 expression, grouped under their categories: categories in
    // catalogue order, recipes in stored order, categories without a match left out.
    std::vector<RawCategory> run(const std::string &expression);

private:
    RawConnection &index_;
    sqlite3_stmt *stmt_ = nullptr;
};

// The tree as search results show it: the root on top, every category with a match expanded
// with its matches under it, the root scrolled into view.
void fillMatchTree(QTreeWidget &tree, const TreeIcons &icons, const std::vector<RawCategory> &matches);

}  // namespace bench
