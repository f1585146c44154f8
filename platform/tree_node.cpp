#include "platform/tree_node.h"

#include <QAbstractItemModel>

namespace platform {

QString Node::key() const { return index.data(kNodeKeyRole).toString(); }
QString Node::text() const { return index.data(Qt::DisplayRole).toString(); }
Node Node::parent() const { return Node{index.parent()}; }
int Node::childCount() const { return index.isValid() ? index.model()->rowCount(index) : 0; }
Node Node::child(int row) const { return index.isValid() ? Node{index.model()->index(row, 0, index)} : Node{}; }

}  // namespace platform
