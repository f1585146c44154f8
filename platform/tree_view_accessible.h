#pragma once
// What a screen reader learns of a TreeView: a tree whose children are the rows shown, top to
// bottom, each a tree item with its text and whether it is chosen, current, open or can be
// opened. Qt gives a QTreeView such an interface from QTreeView's own layout, which this view
// does not have. Rows are made known as they are asked for, never all at once, and forgotten
// whenever the rows shown change (a screen reader then asks again).

#include <QAccessibleWidget>
#include <QHash>
#include <QPersistentModelIndex>
#include <QPointer>

#include <cstdint>

namespace platform {

class TreeView;

class TreeViewAccessible : public QAccessibleWidget {
public:
    explicit TreeViewAccessible(TreeView *view);
    ~TreeViewAccessible() override;

    // Makes every TreeView answer with this interface; once a run, from the window's thread.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;

    // The interface of the row showing index; null when it is not shown.
    QAccessibleInterface *rowOf(const QModelIndex &index) const;
    // The rows shown changed: every row's interface made so far goes.
    void forgetRows();

private:
    friend class TreeView;
    TreeView *view_;  // null once the view has gone

    mutable QHash<std::int64_t, QAccessible::Id> rows_;  // by the row's number, top row 0
};

}  // namespace platform
