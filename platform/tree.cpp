#include "platform/tree.h"

#include "platform/tree_view.h"

#include <QIcon>
#include <QStandardItemModel>

#include <functional>

namespace platform {

Tree::Tree(TreeView *view, QObject *parent) : QObject(parent), view_(view), own_(new QStandardItemModel(this))
{
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setModel(own_);
    connect(view_, &QAbstractItemView::clicked, this, [this](const QModelIndex &index) { emit NodeClick(Node{index}); });
    // Enter on a node picks it as a click would, so the tree works from the keyboard too.
    connect(view_, &QAbstractItemView::activated, this, [this](const QModelIndex &index) {
        if (view_->hasFocus())
            emit NodeClick(Node{index});
    });
}

Tree::~Tree()
{
    // The view may outlive the tree; it must not keep a model that goes with it.
    if (view_->model() == own_)
        view_->setModel(nullptr);
}

void Tree::setImageList(const ImageList *images)
{
    if (images_ != images)
        icons_.clear();
    images_ = images;
}

bool Tree::showsOwn() const { return view_->model() == own_; }

void Tree::Clear()
{
    own_->clear();
    byKey_.clear();
    count_ = 0;
    Show(nullptr);
}

void Tree::Show(QAbstractItemModel *model)
{
    QAbstractItemModel *shown = model ? model : own_;
    // As a tree built anew: nothing open, nothing chosen, at the top. The model shown already
    // keeps its open nodes: closing and opening a node of many rows again costs their layout.
    if (view_->model() != shown) {
        view_->setModel(shown);
        view_->collapseAll();
    }
    view_->setCurrentIndex({});
    view_->clearSelection();
    view_->scrollToTop();
}

QStandardItem *Tree::parentFor(const QString &parentKey) const
{
    if (parentKey.isNull())
        return nullptr;
    QStandardItem *parent = byKey_.value(parentKey);
    if (!parent)
        throw TreeError("There is no node with the key \"" + parentKey.toStdString() + "\" in the tree.");
    return parent;
}

QIcon Tree::Icon(int image, int selectedImage)
{
    const quint64 id = (quint64(quint32(image)) << 32) | quint32(selectedImage);
    auto found = icons_.constFind(id);
    if (found != icons_.constEnd())
        return *found;
    auto picture = [this](int index) {
        return (images_ && index >= 1 && index <= int(images_->size())) ? (*images_)[index - 1] : QPixmap();
    };
    QIcon icon;
    const QPixmap normal = picture(image);
    if (!normal.isNull()) {
        icon.addPixmap(normal, QIcon::Normal);
        // Without a selected image the node keeps its own image while selected, untinted.
        const QPixmap selected = selectedImage ? picture(selectedImage) : normal;
        icon.addPixmap(selected.isNull() ? normal : selected, QIcon::Selected);
    }
    icons_.insert(id, icon);
    return icon;
}

namespace {

QStandardItem *newItem(const QString &text, const QIcon &icon)
{
    auto *item = new QStandardItem(icon, text);
    // The tree is narrow: a name cut short with "..." shows whole in its tool tip.
    item->setToolTip(text);
    item->setEditable(false);
    return item;
}

}  // namespace

Node Tree::Add(const QString &parentKey, const QString &key, const QString &text, int image,
               int selectedImage)
{
    if (!key.isEmpty() && byKey_.contains(key))
        throw TreeError("The key \"" + key.toStdString() + "\" is already used by another node of the tree.");
    QStandardItem *parent = parentFor(parentKey);
    QStandardItem *item = newItem(text, Icon(image, selectedImage));
    item->setData(key, kNodeKeyRole);
    (parent ? parent : own_->invisibleRootItem())->appendRow(item);
    if (!key.isEmpty())
        byKey_.insert(key, item);
    ++count_;
    return Node{item->index()};
}

Node Tree::AddChildren(const QString &parentKey, const QStringList &texts, int image, int selectedImage)
{
    QStandardItem *parent = parentFor(parentKey);
    if (!parent || texts.isEmpty())
        return {};
    const QIcon icon = Icon(image, selectedImage);
    QList<QStandardItem *> items;
    items.reserve(texts.size());
    for (const QString &text : texts)
        items.append(newItem(text, icon));
    parent->appendRows(items);
    count_ += int(items.size());
    return Node{items.last()->index()};
}

void Tree::EnsureVisible(Node node)
{
    if (node.isNull())
        return;
    for (QModelIndex up = node.index.parent(); up.isValid(); up = up.parent())
        view_->expand(up);
    view_->scrollTo(node.index);
}

void Tree::Expand(Node node)
{
    if (!node.isNull())
        view_->expand(node.index);
}

void Tree::Collapse(Node node)
{
    if (!node.isNull())
        view_->collapse(node.index);
}

bool Tree::IsExpanded(Node node) const { return !node.isNull() && view_->isExpanded(node.index); }

Node Tree::Current() const { return Node{view_->currentIndex()}; }

void Tree::SetCurrent(Node node) { view_->setCurrentIndex(node.index); }

Node Tree::NodeAt(const QPoint &point) const { return Node{view_->indexAt(point)}; }

int Tree::Count() const
{
    if (showsOwn())
        return count_;
    int count = 0;
    std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
        const int rows = view_->model()->rowCount(parent);
        count += rows;
        for (int row = 0; row < rows; ++row)
            if (const QModelIndex child = view_->model()->index(row, 0, parent); view_->model()->rowCount(child) > 0)
                walk(child);
    };
    walk({});
    return count;
}

int Tree::TopCount() const { return view_->model() ? view_->model()->rowCount() : 0; }

Node Tree::Top(int row) const { return view_->model() ? Node{view_->model()->index(row, 0)} : Node{}; }

Node Tree::nodeByKey(const QString &key) const
{
    if (key.isEmpty())
        return {};
    if (showsOwn()) {
        const QStandardItem *item = byKey_.value(key);
        return item ? Node{item->index()} : Node{};
    }
    // Keys are on the top level and its children only: the recipes below are never read here.
    const QAbstractItemModel *model = view_->model();
    for (int top = 0; top < model->rowCount(); ++top) {
        const QModelIndex node = model->index(top, 0);
        if (node.data(kNodeKeyRole).toString() == key)
            return Node{node};
        for (int row = 0; row < model->rowCount(node); ++row)
            if (const QModelIndex child = model->index(row, 0, node); child.data(kNodeKeyRole).toString() == key)
                return Node{child};
    }
    return {};
}

}  // namespace platform
