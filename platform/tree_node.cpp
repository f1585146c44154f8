#include "platform/tree_node.h"

#include <QTreeWidgetItem>

namespace platform {

QString Node::key() const { return item ? item->data(0, kNodeKeyRole).toString() : QString(); }
QString Node::text() const { return item ? item->text(0) : QString(); }
Node Node::parent() const { return Node{item ? item->parent() : nullptr}; }

}  // namespace platform
