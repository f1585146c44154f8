#pragma once
// The catalogue tree control: nodes with a parent, an optional unique key, a text and an image
// (plus the image shown while selected), a node-click event and EnsureVisible. Every node's tool
// tip is its whole text. Wraps a TreeView owned by the window.
//
// The tree shows either the nodes added to it (Add, AddChildren: a model of its own) or a model
// handed to Show, which the caller owns and which must outlive its showing. Either way a model
// gives its nodes' keys in kNodeKeyRole; only the top level and its children carry keys.

#include "platform/tree_error.h"
#include "platform/tree_node.h"

#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <vector>

class QAbstractItemModel;
class QPoint;
class QStandardItem;
class QStandardItemModel;

namespace platform {

class TreeView;

// Pictures of the image list; indices into it are 1-based, 0 means none.
using ImageList = std::vector<QPixmap>;

class Tree : public QObject {
    Q_OBJECT
public:
    explicit Tree(TreeView *view, QObject *parent = nullptr);
    ~Tree() override;

    void setImageList(const ImageList *images);
    // Empties the tree's own nodes and shows them (none).
    void Clear();
    // Adds a node under the node keyed parentKey (top level when parentKey is null). An empty
    // key means the node has none. Images are 1-based indices into the image list, 0 for none;
    // without a selected image the node keeps its image when selected.
    Node Add(const QString &parentKey, const QString &key, const QString &text, int image,
             int selectedImage = 0);
    // Adds keyless children in one batch, in order; much cheaper than one Add per node. Returns
    // the last node added, or a null node when texts is empty.
    Node AddChildren(const QString &parentKey, const QStringList &texts, int image, int selectedImage);
    // Shows model in place of the tree's own nodes, as a tree built anew: none current, scrolled
    // to the top, and, when it was not shown already, every node collapsed. Null shows the
    // tree's own nodes again.
    void Show(QAbstractItemModel *model);
    // The icon of the image pair, as Add gives its nodes; for a model shown instead.
    QIcon Icon(int image, int selectedImage = 0);
    // Expands the node's ancestors and scrolls it into view.
    void EnsureVisible(Node node);
    // Shows the node's children.
    void Expand(Node node);
    void Collapse(Node node);
    bool IsExpanded(Node node) const;
    Node Current() const;
    void SetCurrent(Node node);
    Node NodeAt(const QPoint &point) const;

    // The nodes the shown model holds now.
    int Count() const;
    int TopCount() const;
    Node Top(int row) const;
    Node nodeByKey(const QString &key) const;
    TreeView *widget() const { return view_; }

signals:
    void NodeClick(platform::Node node);

private:
    QStandardItem *parentFor(const QString &parentKey) const;
    bool showsOwn() const;

    TreeView *view_;
    QStandardItemModel *own_;
    const ImageList *images_ = nullptr;
    QHash<QString, QStandardItem *> byKey_;
    QHash<quint64, QIcon> icons_;
    int count_ = 0;
};

}  // namespace platform
