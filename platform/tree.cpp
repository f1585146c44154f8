#include "platform/tree.h"

#include <QIcon>
#include <QTreeWidget>

namespace platform {

Tree::Tree(QTreeWidget *widget, QObject *parent) : QObject(parent), widget_(widget)
{
    widget_->setHeaderHidden(true);
    widget_->setColumnCount(1);
    widget_->setUniformRowHeights(true);
    connect(widget_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item, int) { emit NodeClick(Node{item}); });
    // Enter on a node picks it as a click would, so the tree works from the keyboard too.
    connect(widget_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item, int) {
        if (widget_->hasFocus())
            emit NodeClick(Node{item});
    });
}

void Tree::setImageList(const ImageList *images)
{
    if (images_ != images)
        icons_.clear();
    images_ = images;
}

void Tree::Clear()
{
    widget_->clear();
    byKey_.clear();
    count_ = 0;
}

QTreeWidgetItem *Tree::parentFor(const QString &parentKey) const
{
    if (parentKey.isNull())
        return nullptr;
    QTreeWidgetItem *parent = byKey_.value(parentKey);
    if (!parent)
        throw TreeError("There is no node with the key \"" + parentKey.toStdString() + "\" in the tree.");
    return parent;
}

QIcon Tree::iconFor(int image, int selectedImage)
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

Node Tree::Add(const QString &parentKey, const QString &key, const QString &text, int image,
               int selectedImage)
{
    if (!key.isEmpty() && byKey_.contains(key))
        throw TreeError("The key \"" + key.toStdString() + "\" is already used by another node of the tree.");
    QTreeWidgetItem *parent = parentFor(parentKey);
    auto *item = new QTreeWidgetItem(QStringList{text});
    // The tree is narrow: a name cut short with "..." shows whole in its tool tip.
    item->setToolTip(0, text);
    item->setData(0, kNodeKeyRole, key);
    item->setIcon(0, iconFor(image, selectedImage));
    if (parent)
        parent->addChild(item);
    else
        widget_->addTopLevelItem(item);
    if (!key.isEmpty())
        byKey_.insert(key, item);
    ++count_;
    return Node{item};
}

Node Tree::AddChildren(const QString &parentKey, const QStringList &texts, int image, int selectedImage)
{
    QTreeWidgetItem *parent = parentFor(parentKey);
    if (!parent || texts.isEmpty())
        return {};
    const QIcon icon = iconFor(image, selectedImage);
    QList<QTreeWidgetItem *> items;
    items.reserve(texts.size());
    for (const QString &text : texts) {
        auto *item = new QTreeWidgetItem(QStringList{text});
        item->setToolTip(0, text);
        item->setIcon(0, icon);
        items.append(item);
    }
    parent->addChildren(items);
    count_ += int(items.size());
    return Node{items.last()};
}

void Tree::EnsureVisible(Node node)
{
    if (!node.item)
        return;
    for (QTreeWidgetItem *up = node.item->parent(); up; up = up->parent())
        up->setExpanded(true);
    widget_->scrollToItem(node.item);
}

void Tree::Expand(Node node)
{
    if (node.item)
        node.item->setExpanded(true);
}

int Tree::Count() const { return count_; }

Node Tree::nodeByKey(const QString &key) const { return Node{byKey_.value(key)}; }

}  // namespace platform
