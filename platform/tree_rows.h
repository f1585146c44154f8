#pragma once
// The rows a tree view shows, top to bottom: the children of the root and of every open node
// whose ancestors are open too, depth first. Only the open nodes are kept, each with its number
// of children and the rows shown beneath it, so that finding the node at a row, or the row of a
// node, costs the same whether a node holds ten children or a million.
//
// Built from the model as it is; a change to the model's rows or to the open nodes means a new
// build, which costs one rowCount per open node.

#include <QModelIndex>
#include <QPersistentModelIndex>
#include <QSet>

#include <cstdint>
#include <memory>
#include <vector>

class QAbstractItemModel;

namespace platform {

class TreeRows {
public:
    TreeRows();
    ~TreeRows();

    // Open nodes that are not under root, or under a closed node, show no rows.
    void build(const QAbstractItemModel *model, const QModelIndex &root, const QSet<QPersistentModelIndex> &open);
    void clear();

    std::int64_t count() const;
    // The node shown at row; invalid outside 0..count()-1.
    QModelIndex at(std::int64_t row) const;
    // The row node is shown at; -1 when it is not shown.
    std::int64_t rowOf(const QModelIndex &node) const;
    // Steps from root down to node: 0 for the root's children, -1 for a node not under root.
    static int level(const QModelIndex &node, const QModelIndex &root);

private:
    struct Branch;
    static void sum(Branch &branch);

    const QAbstractItemModel *model_ = nullptr;
    QModelIndex root_;
    std::unique_ptr<Branch> top_;
};

}  // namespace platform
