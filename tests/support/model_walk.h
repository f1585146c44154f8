#pragma once
// Walks a tree view's model as the old item tree was walked: every node, depth first, in order.
// Rows a model reads on demand are read first, so that a walk sees what the file holds and not
// only what the view has asked for so far; what is expanded or current is left as it was.

#include <QAbstractItemModel>
#include "platform/tree_view.h"

#include <functional>

namespace testsupport {

// Reads every row the model holds back under parent.
inline void fetchAll(QAbstractItemModel &model, const QModelIndex &parent)
{
    while (model.canFetchMore(parent)) {
        const int before = model.rowCount(parent);
        model.fetchMore(parent);
        if (model.rowCount(parent) == before)
            break;
    }
}

// Calls fn(node, depth) for every node, parents before children.
inline void walkModel(QAbstractItemModel &model, const std::function<void(const QModelIndex &, int)> &fn)
{
    std::function<void(const QModelIndex &, int)> walk = [&](const QModelIndex &parent, int depth) {
        fetchAll(model, parent);
        for (int row = 0; row < model.rowCount(parent); ++row) {
            const QModelIndex node = model.index(row, 0, parent);
            fn(node, depth);
            walk(node, depth + 1);
        }
    };
    walk({}, 0);
}

// The first node, depth first, with that text, under a parent with parentText when it is not null.
inline QModelIndex findNode(platform::TreeView &view, const QString &text, const QString &parentText = {})
{
    QModelIndex found;
    walkModel(*view.model(), [&](const QModelIndex &node, int) {
        if (!found.isValid() && node.data().toString() == text
            && (parentText.isNull() || (node.parent().isValid() && node.parent().data().toString() == parentText)))
            found = node;
    });
    return found;
}

}  // namespace testsupport
