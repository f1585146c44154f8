#pragma once
// The catalogue as an item model: the root, the categories in the catalogue's order, and each
// category's recipe names in stored order. Loading reads the table list and whether each
// category holds a recipe (one row each). A category's number of recipes is read when a view
// first asks for its rows (it is expanded), and a name when its row is shown: names are read
// kChunk at a time from whichever end of the category is nearer, so a view opened at the end of
// a category of a million recipes reads its last rows only, and the scroll bar is still exact.
//
// The program's own changes to the file arrive on recipes::ChangeFeed and touch only their rows
// (inserted, removed or changed); reload() reads the table list again, for changes made by
// another program. Reads that fail show what was read: a name not read shows empty.

#include "core/change_feed.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace recipes {
class Collection;
}

class CatalogueModel : public QAbstractItemModel {
    Q_OBJECT
public:
    static constexpr int kChunk = 256;
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

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;

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
        std::vector<Recipe> head, tail;
    };

    void onChange(const recipes::Change &change);
    void applyChange(const recipes::Change &change);
    void replaceCategories();
    int categoryRow(const QString &category) const;
    Category *categoryOf(const QModelIndex &index) const;
    std::int64_t countOf(Category &category) const;
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
};
