#pragma once
// The catalogue as an item model: the root, the categories in the catalogue's order, and each
// category's recipe names in stored order. Opening the model reads only the table list; a
// category's names are read when a view asks for them (expanded or scrolled to), kChunk at a
// time through canFetchMore/fetchMore, so the cost follows what is shown, not the file.
//
// The program's own changes to the file arrive on recipes::ChangeFeed and touch only their rows
// (inserted, removed or changed); reload() reads the table list again, for changes made by
// another program. Reads that fail leave the rows as they were: the view shows what was read.

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

    CatalogueModel(QString path, QString password, Icons icons, QObject *parent = nullptr);
    ~CatalogueModel() override;

    // Reads the table list again and forgets every recipe name read.
    void reload();

    // The node's key (kNodeKeyRole): the root's is RecipeBas::kRootKey, a category's its name,
    // a recipe's none.
    QModelIndex categoryIndex(const QString &category) const;
    // The file's row number of a recipe index; 0 for another index.
    std::int64_t rowNumber(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    struct Recipe {
        std::int64_t row;
        QString name;  // as the tree shows it: trimmed
    };
    struct Category {
        QString name;
        std::vector<Recipe> recipes;
        std::int64_t readUpTo = 0;  // the last row number read
        bool complete = false;      // every row after readUpTo read
    };

    void onChange(const recipes::Change &change);
    void applyChange(const recipes::Change &change);
    int categoryRow(const QString &category) const;
    Category *categoryOf(const QModelIndex &index) const;
    std::unique_ptr<recipes::Collection> open() const;

    QString path_;
    QString password_;
    bool changing_ = false;
    QString filePath_;  // as changes name the file
    Icons icons_;
    std::vector<std::unique_ptr<Category>> categories_;
};
