#pragma once
// A one-column tree view whose cost follows what it shows. QTreeView keeps a layout entry for
// every row under an open node and lays them all out again after most changes: with a category
// of a million recipes open that is tens of megabytes, and tens of milliseconds for each recipe
// added. This view keeps the open nodes only (TreeRows) and gives every row one height, so it
// reads no more of the model than the rows on screen.
//
// It looks and answers as a QTreeView with a hidden header and uniform row heights: branch
// lines and expanders drawn by the style, a node opened by its expander or a double click, and
// Left, Right, + and - on the current node; rows are scrolled one at a time. "*" opens the nodes
// below the current one that have children, as expandAll does, where a QTreeView also marks
// every leaf open: one entry per recipe of a big category.

#include "platform/tree_rows.h"

#include <QAbstractItemView>
#include <QPersistentModelIndex>
#include <QSet>

#include <cstdint>
#include <vector>

namespace platform {

class TreeViewAccessible;

class TreeView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);
    ~TreeView() override;

    void setModel(QAbstractItemModel *model) override;
    void setRootIndex(const QModelIndex &index) override;
    void reset() override;
    void doItemsLayout() override;

    bool isExpanded(const QModelIndex &index) const;
    // The node shown on the row below or above index; invalid past the ends.
    QModelIndex indexBelow(const QModelIndex &index) const;
    QModelIndex indexAbove(const QModelIndex &index) const;
    // The rows shown now, those of the open nodes included.
    std::int64_t shownRows() const { return rows_.count(); }
    // The node shown at row (0 the top one, however scrolled); invalid past the ends.
    QModelIndex rowAt(std::int64_t row) const { return rows_.at(row); }
    // The row node is shown at; -1 when it is not shown.
    std::int64_t rowNumberOf(const QModelIndex &node) const { return rows_.rowOf(node); }
    int rowHeight() const { return rowHeight_; }
    int indentation() const;

    QRect visualRect(const QModelIndex &index) const override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint &point) const override;

public slots:
    void expand(const QModelIndex &index);
    void collapse(const QModelIndex &index);
    void collapseAll();
    void expandAll();

signals:
    void expanded(const QModelIndex &index);
    void collapsed(const QModelIndex &index);

protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override;
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex &index) const override;
    void setSelection(const QRect &rect, QItemSelectionModel::SelectionFlags command) override;
    QRegion visualRegionForSelection(const QItemSelection &selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    // Builds the rows again from the model and the open nodes, and fits the scroll bar to them.
    void relayout();
    void setOpen(const QModelIndex &index, bool open);
    // Opens node (the root for an invalid one) and every node below it that has children.
    void openAllBelow(const QModelIndex &node);
    std::int64_t firstShown() const;
    int rowsInView() const;
    int clampedY(std::int64_t row) const;
    // The node whose expander is at point; invalid elsewhere.
    QModelIndex expanderAt(const QPoint &point) const;
    // Opens or closes the node whose expander is at point; whether the point was on one.
    bool toggleAt(const QPoint &point);
    void drawRow(QPainter &painter, const QStyleOptionViewItem &base, const QModelIndex &index, int y) const;
    void drawBranches(QPainter &painter, const QRect &rect, const QModelIndex &index, int level) const;

    QSet<QPersistentModelIndex> open_;
    TreeRows rows_;
    std::vector<QMetaObject::Connection> modelLinks_;
    // What a screen reader was told of; it tells this view when it goes.
    friend class TreeViewAccessible;
    TreeViewAccessible *accessible_ = nullptr;
    int rowHeight_ = 0;
};

}  // namespace platform
