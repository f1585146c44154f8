#include "platform/tree_view.h"

#include "platform/tree_view_accessible.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStack>

#include <algorithm>
#include <limits>

namespace platform {

namespace {

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Rows above the top one count down from it: a point just above the view is on the row above.
std::int64_t floorDiv(std::int64_t y, int height)
{
    return y >= 0 ? y / height : -((-y + height - 1) / height);
}

QModelIndex firstColumn(const QModelIndex &index) { return index.column() == 0 ? index : index.sibling(index.row(), 0); }

}  // namespace

TreeView::TreeView(QWidget *parent) : QAbstractItemView(parent)
{
    // As a QTreeView: one node chosen at a time, by its whole row, scrolled a row at a time.
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setVerticalScrollMode(ScrollPerItem);
    TreeViewAccessible::install();
}

TreeView::~TreeView()
{
    // The screen reader's side may outlive the view by a moment.
    if (accessible_)
        accessible_->view_ = nullptr;
}

void TreeView::setModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &link : modelLinks_)
        disconnect(link);
    modelLinks_.clear();
    open_.clear();
    rows_.clear();
    if (model) {
        // Made before the base class's own, so that the rows are right by the time anything
        // answering the same signals asks the view.
        const auto again = [this] { relayout(); };
        modelLinks_ = {
            connect(model, &QAbstractItemModel::rowsInserted, this, again),
            connect(model, &QAbstractItemModel::rowsRemoved, this, again),
            connect(model, &QAbstractItemModel::rowsMoved, this, again),
            connect(model, &QAbstractItemModel::layoutChanged, this, again),
            // The rows hold the model's indexes: none may outlive it.
            connect(model, &QObject::destroyed, this, [this] {
                open_.clear();
                rows_.clear();
            }),
        };
    }
    QAbstractItemView::setModel(model);
    relayout();
}

void TreeView::setRootIndex(const QModelIndex &index)
{
    QAbstractItemView::setRootIndex(index);
    relayout();
}

void TreeView::reset()
{
    open_.clear();
    QAbstractItemView::reset();
    relayout();
}

void TreeView::doItemsLayout()
{
    relayout();
    QAbstractItemView::doItemsLayout();
}

void TreeView::relayout()
{
    for (auto node = open_.begin(); node != open_.end();)
        node = node->isValid() ? std::next(node) : open_.erase(node);
    rows_.build(model(), rootIndex(), open_);
    if (accessible_)
        accessible_->forgetRows();
    // Every row is as high as the first, as in a QTreeView with uniform row heights; with no
    // rows left, as high as the last first row was.
    if (const QModelIndex first = rows_.at(0); first.isValid())
        if (QAbstractItemDelegate *delegate = itemDelegateForIndex(first)) {
            QStyleOptionViewItem option;
            initViewItemOption(&option);
            rowHeight_ = std::max(1, delegate->sizeHint(option, first).height());
        }
    updateGeometries();
    viewport()->update();
}

int TreeView::indentation() const { return style()->pixelMetric(QStyle::PM_TreeViewIndentation, nullptr, this); }

bool TreeView::isExpanded(const QModelIndex &index) const
{
    return index.isValid() && open_.contains(QPersistentModelIndex(firstColumn(index)));
}

QModelIndex TreeView::indexBelow(const QModelIndex &index) const
{
    const std::int64_t row = rows_.rowOf(index);
    return row < 0 ? QModelIndex() : rows_.at(row + 1);
}

QModelIndex TreeView::indexAbove(const QModelIndex &index) const
{
    const std::int64_t row = rows_.rowOf(index);
    return row < 1 ? QModelIndex() : rows_.at(row - 1);
}

void TreeView::expand(const QModelIndex &index) { setOpen(index, true); }

void TreeView::collapse(const QModelIndex &index) { setOpen(index, false); }

void TreeView::setOpen(const QModelIndex &index, bool open)
{
    if (!index.isValid() || index.model() != model() || isExpanded(index) == open)
        return;
    const QPersistentModelIndex node(firstColumn(index));
    if (open)
        open_.insert(node);
    else
        open_.remove(node);
    relayout();
    if (open)
        emit expanded(index);
    else
        emit collapsed(index);
}

void TreeView::collapseAll()
{
    open_.clear();
    relayout();
}

void TreeView::expandAll() { openAllBelow(rootIndex()); }

void TreeView::openAllBelow(const QModelIndex &node)
{
    if (!model())
        return;
    QStack<QModelIndex> below;
    below.push(firstColumn(node));
    while (!below.isEmpty()) {
        const QModelIndex parent = below.pop();
        if (!model()->hasChildren(parent))
            continue;
        if (parent.isValid() && parent != rootIndex())
            open_.insert(QPersistentModelIndex(parent));
        for (int row = 0; row < model()->rowCount(parent); ++row)
            below.push(model()->index(row, 0, parent));
    }
    relayout();
}

std::int64_t TreeView::firstShown() const { return verticalScrollBar()->value(); }

int TreeView::rowsInView() const { return rowHeight_ > 0 ? viewport()->height() / rowHeight_ : 0; }

int TreeView::clampedY(std::int64_t row) const { return clampToInt((row - firstShown()) * rowHeight_); }

QRect TreeView::visualRect(const QModelIndex &index) const
{
    if (!index.isValid() || rowHeight_ <= 0)
        return {};
    const std::int64_t row = rows_.rowOf(index);
    if (row < 0)
        return {};
    const int x = indentation() * (TreeRows::level(index, rootIndex()) + 1);
    return QRect(x, clampedY(row), viewport()->width() - x, rowHeight_);
}

QModelIndex TreeView::indexAt(const QPoint &point) const
{
    if (rowHeight_ <= 0 || point.x() < 0 || point.x() >= viewport()->width())
        return {};
    return rows_.at(firstShown() + floorDiv(point.y(), rowHeight_));
}

void TreeView::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    if (!index.isValid() || index.model() != model())
        return;
    // As a QTreeView does, the node's closed ancestors are opened first.
    for (QModelIndex up = index.parent(); up.isValid() && up != rootIndex() && state() == NoState; up = up.parent())
        expand(up);
    const std::int64_t row = rows_.rowOf(index);
    if (row < 0 || rowHeight_ <= 0)
        return;
    QScrollBar *bar = verticalScrollBar();
    const int top = bar->value();
    if (hint == EnsureVisible && row >= top && row < top + bar->pageStep())
        return;
    if (hint == PositionAtTop || (hint == EnsureVisible && row < top)) {
        bar->setValue(clampToInt(row));
        return;
    }
    // At the bottom, or at the centre leaning up: as many rows above it as the space holds.
    const int space = hint == PositionAtCenter ? viewport()->height() / 2 + rowHeight_ - 1 : viewport()->height();
    bar->setValue(clampToInt(space > rowHeight_ ? row - space / rowHeight_ + 1 : row));
}

QModelIndex TreeView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers)
{
    const QModelIndex current = currentIndex();
    const std::int64_t count = rows_.count();
    if (!current.isValid() || count == 0)
        return rows_.at(0);
    const std::int64_t row = std::max<std::int64_t>(0, rows_.rowOf(current));
    const auto rowAtY = [&](std::int64_t y) -> std::int64_t {
        const std::int64_t at = firstShown() + floorDiv(y, std::max(1, rowHeight_));
        return at >= 0 && at < count ? at : -1;
    };
    const bool intoChildren = style()->styleHint(QStyle::SH_ItemView_ArrowKeysNavigateIntoChildren, nullptr, this);
    if (isRightToLeft() && (cursorAction == MoveLeft || cursorAction == MoveRight))
        cursorAction = cursorAction == MoveLeft ? MoveRight : MoveLeft;
    switch (cursorAction) {
    case MoveNext:
    case MoveDown:
        return rows_.at(std::min(row + 1, count - 1));
    case MovePrevious:
    case MoveUp:
        return rows_.at(std::max<std::int64_t>(row - 1, 0));
    case MovePageUp: {
        const std::int64_t at = rowAtY(std::int64_t(clampedY(row)) - viewport()->height());
        return rows_.at(at < 0 ? 0 : at);
    }
    case MovePageDown: {
        const std::int64_t at = rowAtY(std::int64_t(clampedY(row)) + viewport()->height());
        return rows_.at(at < 0 ? count - 1 : at);
    }
    case MoveHome:
        return rows_.at(0);
    case MoveEnd:
        return rows_.at(count - 1);
    // Opening and closing act on the node at the current row: the top one when the current node
    // is hidden under a closed node, as in a QTreeView.
    case MoveLeft:
        if (const QModelIndex at = rows_.at(row); isExpanded(at)) {
            collapse(at);
        } else if (intoChildren) {
            if (const QModelIndex parent = current.parent(); parent.isValid() && parent != rootIndex())
                return parent;
        }
        return current;
    case MoveRight:
        if (const QModelIndex at = rows_.at(row); !isExpanded(at) && model()->hasChildren(at)) {
            expand(at);
        } else if (intoChildren) {
            if (const QModelIndex below = rows_.at(row + 1); below.parent() == firstColumn(current))
                return below;
        }
        return current;
    }
    return current;
}

int TreeView::horizontalOffset() const { return 0; }

int TreeView::verticalOffset() const { return clampToInt(firstShown() * rowHeight_); }

bool TreeView::isIndexHidden(const QModelIndex &) const { return false; }

void TreeView::setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command)
{
    if (!selectionModel())
        return;
    const QRect area = rect.normalized();
    QModelIndex from = indexAt(area.topLeft());
    QModelIndex to = indexAt(area.bottomRight());
    if (!from.isValid() && !to.isValid()) {
        if (command & QItemSelectionModel::Clear)
            selectionModel()->clear();
        return;
    }
    std::int64_t a = from.isValid() ? rows_.rowOf(from) : 0;
    std::int64_t b = to.isValid() ? rows_.rowOf(to) : rows_.count() - 1;
    if (a > b)
        std::swap(a, b);
    // The rows between, as runs of siblings.
    QItemSelection selection;
    QModelIndex first, last;
    for (std::int64_t row = a; row <= b; ++row) {
        const QModelIndex node = rows_.at(row);
        if (last.isValid() && node.parent() == last.parent() && node.row() == last.row() + 1) {
            last = node;
            continue;
        }
        if (first.isValid())
            selection.select(first, last);
        first = last = node;
    }
    if (first.isValid())
        selection.select(first, last);
    selectionModel()->select(selection, command);
}

QRegion TreeView::visualRegionForSelection(const QItemSelection &selection) const
{
    QRegion region;
    const QRect view = viewport()->rect();
    for (const QItemSelectionRange &range : selection) {
        if (!range.isValid())
            continue;
        const std::int64_t top = rows_.rowOf(firstColumn(range.topLeft()));
        const std::int64_t bottom = rows_.rowOf(firstColumn(range.bottomRight()));
        if (top < 0 || bottom < 0)
            continue;
        const QRect rows(0, clampedY(top), view.width(), clampToInt((bottom - top + 1) * rowHeight_));
        region += rows.intersected(view);
    }
    return region;
}

void TreeView::updateGeometries()
{
    const std::int64_t count = rows_.count();
    int inView = rowsInView();
    if (count > 0)
        inView = std::max(1, inView);
    QScrollBar *bar = verticalScrollBar();
    bar->setRange(0, clampToInt(std::max<std::int64_t>(0, count - inView)));
    bar->setPageStep(inView);
    bar->setSingleStep(1);
    // One column as wide as the view: a long name is cut short, never scrolled to.
    horizontalScrollBar()->setRange(0, 0);
    QAbstractItemView::updateGeometries();
}

void TreeView::scrollContentsBy(int dx, int dy)
{
    // The scroll bar counts rows; a jump of more than a screen paints everything anew.
    if (rowHeight_ <= 0 || std::abs(dy) > rowsInView()) {
        viewport()->update();
        return;
    }
    QAbstractItemView::scrollContentsBy(dx, dy * rowHeight_);
}

void TreeView::changeEvent(QEvent *event)
{
    QAbstractItemView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        relayout();
}

void TreeView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QAbstractItemView::currentChanged(current, previous);
    // A screen reader hears which row is now current (see TreeViewAccessible).
    if (QAccessible::isActive() && current.isValid() && hasFocus())
        if (const std::int64_t row = rows_.rowOf(current); row >= 0 && row <= std::numeric_limits<int>::max()) {
            QAccessibleEvent event(this, QAccessible::Focus);
            event.setChild(static_cast<int>(row));
            QAccessible::updateAccessibility(&event);
        }
}

QModelIndex TreeView::expanderAt(const QPoint &point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || !model()->hasChildren(index))
        return {};
    const QRect row = visualRect(index);
    QStyleOption option;
    option.initFrom(this);
    option.rect = QRect(row.left() - indentation(), row.top(), indentation(), row.height());
    return style()->subElementRect(QStyle::SE_TreeViewDisclosureItem, &option, this).contains(point) ? index
                                                                                                    : QModelIndex();
}

bool TreeView::toggleAt(const QPoint &point)
{
    if ((state() != NoState && state() != EditingState) || !viewport()->rect().contains(point))
        return true;
    const QModelIndex node = expanderAt(point);
    if (!node.isValid())
        return false;
    setOpen(node, !isExpanded(node));
    return true;
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    bool handled = false;
    if (style()->styleHint(QStyle::SH_ListViewExpand_SelectMouseType, nullptr, this) == QEvent::MouseButtonPress)
        handled = toggleAt(point);
    if (!handled && !expanderAt(point).isValid())
        QAbstractItemView::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!expanderAt(point).isValid()) {
        QAbstractItemView::mouseReleaseEvent(event);
        return;
    }
    if (state() == DragSelectingState || state() == DraggingState)
        setState(NoState);
    if (style()->styleHint(QStyle::SH_ListViewExpand_SelectMouseType, nullptr, this) == QEvent::MouseButtonRelease)
        toggleAt(point);
}

void TreeView::mouseMoveEvent(QMouseEvent *event)
{
    if (!expanderAt(event->position().toPoint()).isValid())
        QAbstractItemView::mouseMoveEvent(event);
}

void TreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (state() != NoState || !viewport()->rect().contains(point) || expanderAt(point).isValid())
        return;
    const QPersistentModelIndex node = indexAt(point);
    if (!node.isValid())
        return;
    // The base class takes a double click whose first click was on another node for a press.
    bool doubled = false;
    const auto seen = connect(this, &QAbstractItemView::doubleClicked, this, [&doubled] { doubled = true; });
    QAbstractItemView::mouseDoubleClickEvent(event);
    disconnect(seen);
    if (doubled && node.isValid() && state() == NoState && model()->hasChildren(node))
        setOpen(node, !isExpanded(node));
}

void TreeView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && model()) {
        switch (event->key()) {
        case Qt::Key_Asterisk:
            openAllBelow(current);
            break;
        case Qt::Key_Plus:
            expand(current);
            break;
        case Qt::Key_Minus:
            collapse(current);
            break;
        default:
            break;
        }
    }
    QAbstractItemView::keyPressEvent(event);
}

void TreeView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    const std::int64_t count = rows_.count();
    if (count == 0 || rowHeight_ <= 0)
        return;
    QStyleOptionViewItem base;
    initViewItemOption(&base);
    const QRect area = event->rect();
    const std::int64_t first = firstShown();
    const std::int64_t last = std::min(count - 1, first + std::max(0, area.bottom()) / rowHeight_);
    for (std::int64_t row = first + std::max(0, area.top()) / rowHeight_; row <= last; ++row)
        drawRow(painter, base, rows_.at(row), clampedY(row));
}

void TreeView::drawRow(QPainter &painter, const QStyleOptionViewItem &base, const QModelIndex &index, int y) const
{
    const int level = TreeRows::level(index, rootIndex());
    const int indent = (level + 1) * indentation();
    const int width = viewport()->width();
    const bool children = model()->hasChildren(index);
    const bool open = isExpanded(index);
    const bool siblings = index.row() < model()->rowCount(index.parent()) - 1;

    QStyleOptionViewItem option = base;
    option.state |= (open ? QStyle::State_Open : QStyle::State_None)
        | (children ? QStyle::State_Children : QStyle::State_None)
        | (siblings ? QStyle::State_Sibling : QStyle::State_None);
    option.state &= ~QStyle::State_MouseOver;
    option.showDecorationSelected = true;  // rows are chosen whole
    option.viewItemPosition = QStyleOptionViewItem::OnlyOne;
    if (selectionModel() && selectionModel()->isSelected(index))
        option.state |= QStyle::State_Selected;
    if (hasFocus() && currentIndex() == index)
        option.state |= QStyle::State_HasFocus;
    if (option.state & QStyle::State_Enabled) {
        QPalette::ColorGroup group = QPalette::Inactive;
        if (!(model()->flags(index) & Qt::ItemIsEnabled)) {
            option.state &= ~QStyle::State_Enabled;
            group = QPalette::Disabled;
        } else if (option.state & QStyle::State_Active) {
            group = QPalette::Active;
        }
        option.palette.setCurrentColorGroup(group);
    }

    // The branches' background (a chosen row's, when the style carries it under the branches),
    // the item's own, then the branches, then the item.
    const QRect branches(0, y, indent, rowHeight_);
    const bool clip = indent > width;
    if (clip) {
        painter.save();
        painter.setClipRect(QRect(0, y, width, rowHeight_));
    }
    option.rect = branches;
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &option, &painter, this);
    QStyleOptionViewItem item = option;
    item.state &= ~QStyle::State_Selected;
    item.rect = QRect(indent, y, width - indent, rowHeight_);
    style()->drawPrimitive(QStyle::PE_PanelItemViewRow, &item, &painter, this);
    drawBranches(painter, branches, index, level);
    if (clip)
        painter.restore();
    option.rect = item.rect;
    if (QAbstractItemDelegate *delegate = itemDelegateForIndex(index))
        delegate->paint(&painter, option, index);
}

void TreeView::drawBranches(QPainter &painter, const QRect &rect, const QModelIndex &index, int level) const
{
    const int indent = indentation();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    QStyle::State extra = QStyle::State_None;
    if (isEnabled())
        extra |= QStyle::State_Enabled;
    if (window()->isActiveWindow())
        extra |= QStyle::State_Active;
    if (selectionModel() && selectionModel()->isSelected(index))
        extra |= QStyle::State_Selected;

    // The node's own branch, then one line per ancestor that has siblings below it.
    QRect primitive(rect.right() + 1 - indent, rect.top(), indent, rect.height());
    option.rect = primitive;
    option.state = QStyle::State_Item | extra;
    if (index.row() < model()->rowCount(index.parent()) - 1)
        option.state |= QStyle::State_Sibling;
    if (model()->hasChildren(index))
        option.state |= QStyle::State_Children;
    if (isExpanded(index))
        option.state |= QStyle::State_Open;
    style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
    QModelIndex current = index.parent();
    for (--level; level >= 0; --level) {
        primitive.moveLeft(primitive.left() - indent);
        option.rect = primitive;
        option.state = extra;
        const QModelIndex ancestor = current.parent();
        if (current.row() < model()->rowCount(ancestor) - 1)
            option.state |= QStyle::State_Sibling;
        style()->drawPrimitive(QStyle::PE_IndicatorBranch, &option, &painter, this);
        current = ancestor;
    }
}

}  // namespace platform
