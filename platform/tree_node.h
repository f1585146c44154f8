#pragma once
// A node of the catalogue tree, as handlers see it.

#include <QPersistentModelIndex>
#include <QString>

namespace platform {

// A node as the click handler sees it: a place in the tree's model. It follows its row while
// rows are inserted or removed around it, and turns null when its row goes or the tree is
// filled anew.
struct Node {
    QPersistentModelIndex index;
    QString key() const;
    QString text() const;
    Node parent() const;
    // The children the model holds now; a category not yet read holds none.
    int childCount() const;
    Node child(int row) const;
    bool isNull() const { return !index.isValid(); }
    bool operator==(const Node &other) const { return index == other.index; }
};

// Where a model keeps its node's key, so that a click needs no look-up.
inline constexpr int kNodeKeyRole = Qt::UserRole + 1;

}  // namespace platform
