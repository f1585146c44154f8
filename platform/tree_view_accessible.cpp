#include "platform/tree_view_accessible.h"

#include "platform/tree_view.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QWindow>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <utility>

namespace platform {

namespace {

// One row: its node, asked of the view each time, so that it follows the view's changes.
class TreeRowAccessible : public QAccessibleInterface {
public:
    TreeRowAccessible(TreeView *view, const QModelIndex &node) : view_(view), node_(node) {}

    bool isValid() const override { return view_ && node_.isValid() && view_->model() == node_.model(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return view_ ? view_->window()->windowHandle() : nullptr; }

    QAccessibleInterface *parent() const override { return view_ ? QAccessible::queryAccessibleInterface(view_) : nullptr; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return node_.data(Qt::DisplayRole).toString();
        case QAccessible::Description:
            return node_.data(Qt::ToolTipRole).toString();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect place = view_->visualRect(node_);
        return QRect(view_->viewport()->mapToGlobal(place.topLeft()), place.size());
    }
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.selected = view_->selectionModel() && view_->selectionModel()->isSelected(node_);
        s.focused = view_->hasFocus() && view_->currentIndex() == node_;
        s.active = view_->currentIndex() == node_;
        s.expandable = view_->model()->hasChildren(node_);
        s.expanded = s.expandable && view_->isExpanded(node_);
        s.collapsed = s.expandable && !s.expanded;
        s.offscreen = !view_->viewport()->rect().intersects(view_->visualRect(node_));
        return s;
    }
    const QPersistentModelIndex &node() const { return node_; }
    const TreeView *view() const { return view_; }

private:
    QPointer<TreeView> view_;
    QPersistentModelIndex node_;
};

QAccessibleInterface *forTreeView(const QString &className, QObject *object)
{
    if (className == QLatin1String("platform::TreeView") && object && object->isWidgetType())
        return new TreeViewAccessible(static_cast<TreeView *>(object));
    return nullptr;
}

}  // namespace

TreeViewAccessible::TreeViewAccessible(TreeView *view) : QAccessibleWidget(view, QAccessible::Tree), view_(view)
{
    view->accessible_ = this;
}

TreeViewAccessible::~TreeViewAccessible()
{
    if (view_)
        view_->accessible_ = nullptr;
    forgetRows();
}

void TreeViewAccessible::install()
{
    static bool installed = false;  // the window's thread only
    if (!installed)
        QAccessible::installFactory(forTreeView);
    installed = true;
}

int TreeViewAccessible::childCount() const
{
    return view_ ? static_cast<int>(std::min<std::int64_t>(view_->shownRows(), std::numeric_limits<int>::max())) : 0;
}

QAccessibleInterface *TreeViewAccessible::rowOf(const QModelIndex &index) const
{
    const std::int64_t at = view_ && index.isValid() ? view_->rowNumberOf(index) : -1;
    if (at < 0)
        return nullptr;
    if (const auto known = rows_.constFind(at); known != rows_.constEnd())
        return QAccessible::accessibleInterface(*known);
    auto *row = new TreeRowAccessible(view_, view_->rowAt(at));
    rows_.insert(at, QAccessible::registerAccessibleInterface(row));
    return row;
}

void TreeViewAccessible::forgetRows()
{
    for (const QAccessible::Id id : std::as_const(rows_))
        QAccessible::deleteAccessibleInterface(id);
    rows_.clear();
}

QAccessibleInterface *TreeViewAccessible::child(int index) const
{
    if (!view_ || index < 0)
        return nullptr;
    const QModelIndex node = view_->rowAt(index);
    return node.isValid() ? rowOf(node) : nullptr;
}

int TreeViewAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *row = dynamic_cast<const TreeRowAccessible *>(child);
    if (!view_ || !row || row->view() != view_ || !row->isValid())
        return -1;
    const std::int64_t at = view_->rowNumberOf(row->node());
    return at < 0 || at > std::numeric_limits<int>::max() ? -1 : static_cast<int>(at);
}

QAccessibleInterface *TreeViewAccessible::childAt(int x, int y) const
{
    return view_ ? rowOf(view_->indexAt(view_->viewport()->mapFromGlobal(QPoint(x, y)))) : nullptr;
}

QAccessibleInterface *TreeViewAccessible::focusChild() const
{
    return view_ && view_->hasFocus() ? rowOf(view_->currentIndex()) : nullptr;
}

}  // namespace platform
