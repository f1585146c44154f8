#pragma once
// The catalogue as an item model: the root, the categories in the catalogue's order, and each
// category's recipe names in stored order. Loading reads the table list and whether each
// category holds a recipe (one row each). A category's number of recipes is read when a view
// first asks for its rows (it is expanded), and a name when its row is shown: names are read
// kChunk at a time from whichever end of the category is nearer, so a view opened at the end of
// a category of a million recipes reads its last rows only, and the scroll bar is still exact.
//
// A category whose row numbers span kCountAtOnceBelow or more shows at once with that span as its
// count (exact while none of its recipes was ever deleted) and is counted on a thread of its own:
// counting reads the whole category, a quarter of a second at a million. A count that differs
// takes the difference out of the rows not read yet, between the ends. A count overtaken by a
// change of this program's is done again once the changes have paused for kRecountAfterMs: while
// it runs, a write to the file waits for it.
//
// The program's own changes to the file arrive on recipes::ChangeFeed and touch only their rows
// (inserted, removed or changed); reload() reads the table list again, for changes made by
// another program. Reads that fail show what was read: a name not read shows empty.

#include "core/change_feed.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <thread>
#include <vector>

namespace recipes {
class Collection;
}

class CatalogueModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int kChunk = 256;
    static constexpr std::int64_t kCountAtOnceBelow = 50'000;
    static constexpr int kRecountAfterMs = 1000;
    // The icons by node kind; a category's and a recipe's selected icon is part of its QIcon.
    struct Icons {
        QIcon root, category, recipe;
    };

    // Reads nothing until load() or reload().
    CatalogueModel(QString path, QString password, Icons icons, QObject *parent = nullptr);
    ~CatalogueModel() override;

    // Reads the table list again and forgets every recipe name read. Throws recipes::Error, the
    // model then empty, when the table list or the first category cannot be read.
    void load();
    // As load(); a failure leaves the root alone instead of throwing.
    void reload();
    // Whether the model shows the file at path opened with password.
    bool isOf(const QString &path, const QString &password) const;

    // The node's key (kNodeKeyRole): the root's is RecipeBas::kRootKey, a category's its name,
    // a recipe's none.
    QModelIndex categoryIndex(const QString &category) const;
    // The file's row number of a recipe index; 0 for another index or a row that cannot be read.
    std::int64_t rowNumber(const QModelIndex &index) const;
    // How many recipe names the model has read from the file so far: what it reads follows
    // what is shown.
    std::int64_t namesRead() const { return namesRead_; }
    // Categories spanning this many row numbers or more are counted on a thread of their own.
    void setCountAtOnceBelow(std::int64_t span) { countAtOnceBelow_ = span; }
    // Whether a category is being counted on a thread of its own, or waits to be.
    bool counting() const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;

signals:
    // The category's exact count, counted on a thread of its own, is now its row count.
    void counted(const QString &category);

private:
    struct Recipe {
        std::int64_t row;
        QString name;  // as the tree shows it: trimmed
    };
    // The rows read are the first head.size() and the last tail.size() of count; between them
    // lies the gap of rows not read yet.
    struct Category {
        QString name;
        bool hasRows = false;
        std::int64_t count = -1;  // -1: not read yet
        bool estimated = false;     // count is the row numbers' span, being counted
        bool countRunning = false;  // a thread is counting it
        std::uint64_t changes = 0;  // the program's changes told so far: a count overtaken is redone
        std::vector<Recipe> head, tail;
    };
    struct CountJob {
        std::thread thread;
        std::atomic<bool> done{false};
    };

    void onChange(const recipes::Change &change);
    void applyChange(const recipes::Change &change);
    void replaceCategories();
    int categoryRow(const QString &category) const;
    Category *categoryOf(const QModelIndex &index) const;
    std::int64_t countOf(Category &category) const;
    void countInBackground(Category &category) const;
    void countArrived(const QString &name, std::uint64_t generation, std::uint64_t changes, std::int64_t exact);
    // The recipe at position, read with its chunk when not read yet; null when it cannot be read.
    const Recipe *recipeAt(Category &category, std::int64_t position) const;
    void readChunk(Category &category, bool fromTheEnd, std::int64_t want) const;
    std::unique_ptr<recipes::Collection> open() const;

    QString path_;
    QString password_;
    QString filePath_;  // as changes name the file
    Icons icons_;
    std::vector<std::unique_ptr<Category>> categories_;
    mutable std::int64_t namesRead_ = 0;
    std::int64_t countAtOnceBelow_ = kCountAtOnceBelow;
    std::uint64_t generation_ = 0;  // a new one each load: counts of an earlier load are dropped
    // Counts running or done and not yet joined; all are joined before the model goes.
    mutable std::list<std::unique_ptr<CountJob>> counts_;
    QTimer recount_;  // counts again the categories whose count a change overtook
};
