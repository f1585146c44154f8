#pragma once
// The catalogue tree control: nodes with a parent, an optional unique key, a text and an image
// (plus the image shown while selected), a node-click event and EnsureVisible. Every node's tool
// tip is its whole text. Wraps a QTreeWidget owned by the window.

#include "platform/tree_error.h"
#include "platform/tree_node.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace platform {

// Pictures of the image list; indices into it are 1-based, 0 means none.
using ImageList = std::vector<QPixmap>;

class Tree : public QObject {
    Q_OBJECT
public:
    explicit Tree(QTreeWidget *widget, QObject *parent = nullptr);

    void setImageList(const ImageList *images);
    void Clear();
    // Adds a node under the node keyed parentKey (top level when parentKey is null). An empty
    // key means the node has none. Images are 1-based indices into the image list, 0 for none;
    // without a selected image the node keeps its image when selected.
    Node Add(const QString &parentKey, const QString &key, const QString &text, int image,
             int selectedImage = 0);
    // Adds keyless children in one batch, in order; much cheaper than one Add per node. Returns
    // the last node added, or a null node when texts is empty.
    Node AddChildren(const QString &parentKey, const QStringList &texts, int image, int selectedImage);
    // Expands the node's ancestors and scrolls it into view.
    void EnsureVisible(Node node);
    // Shows the node's children.
    void Expand(Node node);

    int Count() const;
    Node nodeByKey(const QString &key) const;
    QTreeWidget *widget() const { return widget_; }

signals:
    void NodeClick(platform::Node node);

private:
    QTreeWidgetItem *parentFor(const QString &parentKey) const;
    QIcon iconFor(int image, int selectedImage);

    QTreeWidget *widget_;
    const ImageList *images_ = nullptr;
    QHash<QString, QTreeWidgetItem *> byKey_;
    QHash<quint64, QIcon> icons_;
    int count_ = 0;
};

}  // namespace platform
