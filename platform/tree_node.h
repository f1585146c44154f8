#pragma once
// A node of the catalogue tree, as handlers see it.

#include <QString>

class QTreeWidgetItem;

namespace platform {

// A node as the click handler sees it. Valid while the tree is not rebuilt.
struct Node {
    QTreeWidgetItem *item = nullptr;
    QString key() const;
    QString text() const;
    Node parent() const;
    bool isNull() const { return item == nullptr; }
};

// Where an item keeps its node's key, so that a click needs no look-up.
inline constexpr int kNodeKeyRole = Qt::UserRole + 1;

}  // namespace platform
