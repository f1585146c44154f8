// The tree view against QTreeView, which it stands in for: after each of a random series of
// opens, closes, clicks, keys, scrolls and model changes, both show the same rows at the same
// places, the same open nodes, the same current node and the same scroll bar, and paint the same
// pixels. And it reads what it shows only, however many rows an open node holds.

#include "platform/tree_view.h"

#include <QAccessible>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <random>

namespace {

struct Views {
    QStandardItemModel model;
    QTreeView oracle;
    platform::TreeView view;

    Views()
    {
        oracle.setHeaderHidden(true);
        oracle.setUniformRowHeights(true);
        for (QAbstractItemView *each : {static_cast<QAbstractItemView *>(&oracle), static_cast<QAbstractItemView *>(&view)}) {
            each->setEditTriggers(QAbstractItemView::NoEditTriggers);
            each->setModel(&model);
            each->resize(170, 200);
            each->show();
            // None current, as the tree shows a catalogue: no view picks one of its own on focus.
            each->setCurrentIndex({});
        }
    }

    // Every node of the model, depth first.
    QList<QModelIndex> nodes() const
    {
        QList<QModelIndex> out;
        std::function<void(const QModelIndex &)> walk = [&](const QModelIndex &parent) {
            for (int row = 0; row < model.rowCount(parent); ++row) {
                out << model.index(row, 0, parent);
                walk(out.last());
            }
        };
        walk({});
        return out;
    }

    // What each view shows, in words: every row with its place, its node, whether it is open
    // and current, and the scroll bar.
    template <typename View>
    QStringList shown(View &each) const
    {
        QStringList out;
        for (QModelIndex node = each.indexAt(QPoint(1, 1)); node.isValid(); node = each.indexBelow(node)) {
            const QRect place = each.visualRect(node);
            out << QStringLiteral("%1 @%2,%3 %4%5%6")
                       .arg(node.data().toString())
                       .arg(place.left())
                       .arg(place.top())
                       .arg(each.isExpanded(node) ? QStringLiteral("open") : QString())
                       .arg(each.currentIndex() == node ? QStringLiteral(" current") : QString())
                       .arg(each.indexAt(place.center()) == node ? QString() : QStringLiteral(" unreachable"));
        }
        // (A page of no rows, which nobody sees, is left out.)
        const QScrollBar &bar = *each.verticalScrollBar();
        out << QStringLiteral("scrolled %1 of %2, page %3").arg(bar.value()).arg(bar.maximum()).arg(out.isEmpty() ? 0 : bar.pageStep());
        for (const QModelIndex &node : nodes())
            if (each.isExpanded(node))
                out << QStringLiteral("open: ") + node.data().toString();
        return out;
    }
};

// The view as the user sees it with the keyboard in it: each view is a window of its own here,
// and only the active one has the focus. It is given as a click gives it: focus from the keyboard
// makes the first row current when none is, by a flag of the base class that a QTreeView clears
// at moments of its own.
QImage painted(QAbstractItemView &view)
{
    QApplication::setActiveWindow(&view);
    view.setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
    return view.viewport()->grab().toImage();
}

int serial = 0;

QList<QStandardItem *> newRow() { return {new QStandardItem(QStringLiteral("node %1").arg(++serial))}; }

void grow(QStandardItem *parent, std::mt19937 &random, int depth)
{
    const int children = depth > 2 ? 0 : int(random() % 5);
    for (int i = 0; i < children; ++i) {
        parent->appendRow(newRow());
        grow(parent->child(parent->rowCount() - 1), random, depth + 1);
    }
}

TEST(TreeViewTest, ShowsAndAnswersAsAQTreeViewDoes)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        Views views;
        grow(views.model.invisibleRootItem(), random, 0);
        views.model.appendRow(newRow());
        for (int step = 0; step < 60; ++step) {
            if (views.model.rowCount() == 0)
                views.model.appendRow(newRow());
            const QList<QModelIndex> all = views.nodes();
            const QModelIndex node = all.at(int(random() % all.size()));
            std::string what;
            // Each step does one thing to both views (or to the model they share).
            const auto both = [&](const std::function<void(QAbstractItemView &)> &act) {
                act(views.oracle);
                act(views.view);
            };
            switch (random() % 11) {
            case 0:
                what = "expand";
                views.oracle.expand(node);
                views.view.expand(node);
                break;
            case 1:
                what = "collapse";
                views.oracle.collapse(node);
                views.view.collapse(node);
                break;
            case 2: {
                const auto hint = QAbstractItemView::ScrollHint(random() % 4);
                what = "scrollTo " + node.data().toString().toStdString() + " hint " + std::to_string(hint);
                both([&](QAbstractItemView &each) { each.scrollTo(node, hint); });
                break;
            }
            case 3: {
                // Not "*": a QTreeView marks every node below open, leaves too, where this view
                // opens the nodes that have children, as expandAll does.
                const int key = std::array{Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Home,
                                           Qt::Key_End, Qt::Key_Left, Qt::Key_Right, Qt::Key_Plus,
                                           Qt::Key_Minus}[random() % 10];
                what = "key " + std::to_string(key);
                both([&](QAbstractItemView &each) { QTest::keyClick(&each, Qt::Key(key)); });
                break;
            }
            case 4:
            case 5: {
                // A click on the node's text, or on its expander.
                const bool onExpander = random() % 2;
                what = onExpander ? "click expander" : "click";
                const QRect place = views.view.visualRect(node);
                if (!views.view.viewport()->rect().intersects(place))
                    break;
                const QPoint at = onExpander ? QPoint(place.left() - views.view.indentation() / 2, place.center().y())
                                             : place.center();
                both([&](QAbstractItemView &each) { QTest::mouseClick(each.viewport(), Qt::LeftButton, {}, at); });
                break;
            }
            case 6: {
                what = "double click";
                const QRect place = views.view.visualRect(node);
                if (!views.view.viewport()->rect().intersects(place))
                    break;
                both([&](QAbstractItemView &each) {
                    QTest::mouseClick(each.viewport(), Qt::LeftButton, {}, place.center());
                    QTest::mouseDClick(each.viewport(), Qt::LeftButton, {}, place.center());
                });
                break;
            }
            case 7:
                what = "rows added";
                views.model.itemFromIndex(node)->appendRow(newRow());
                views.model.insertRow(int(random() % (views.model.rowCount() + 1)), newRow());
                break;
            case 8:
                what = "row removed";
                views.model.removeRow(node.row(), node.parent());
                break;
            case 9: {
                const int value = int(random() % 30);
                what = "scrolled to " + std::to_string(value);
                both([&](QAbstractItemView &each) { each.verticalScrollBar()->setValue(value); });
                break;
            }
            default:
                what = "current";
                both([&](QAbstractItemView &each) { each.setCurrentIndex(node); });
                break;
            }
            // What the event loop still owes both (a scroll bar shown or hidden) is done first.
            QCoreApplication::processEvents();
            ASSERT_EQ(views.shown(views.view).join(QLatin1Char('\n')).toStdString(), views.shown(views.oracle).join(QLatin1Char('\n')).toStdString())
                << "seed " << seed << ", step " << step << ": " << what;
            if (step % 10 == 9) {
                ASSERT_EQ(painted(views.view), painted(views.oracle))
                    << "seed " << seed << ", step " << step << ": the rows are painted differently";
            }
        }
    }
}

// One node of a million children, counting what the view asks of it.
class BigModel : public QAbstractItemModel {
public:
    int children = 1'000'000;
    mutable long indexes = 0, reads = 0;

    QModelIndex index(int row, int column, const QModelIndex &parent) const override
    {
        ++indexes;
        if (!hasIndex(row, column, parent))
            return {};
        return createIndex(row, column, parent.isValid() ? quintptr(1) : quintptr(0));
    }
    QModelIndex parent(const QModelIndex &child) const override
    {
        return child.isValid() && child.internalId() == 1 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
    }
    int rowCount(const QModelIndex &parent) const override
    {
        if (!parent.isValid())
            return 1;
        return parent.internalId() == 0 ? children : 0;
    }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        ++reads;
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("row %1").arg(index.row())) : QVariant();
    }
    void add()
    {
        beginInsertRows(index(0, 0, {}), children, children);
        ++children;
        endInsertRows();
    }
    void removeFirst()
    {
        beginRemoveRows(index(0, 0, {}), 0, 0);
        --children;
        endRemoveRows();
    }
};

TEST(TreeViewTest, AsksTheModelForTheRowsOnScreenOnly)
{
    BigModel model;
    platform::TreeView view;
    view.resize(170, 400);
    view.setModel(&model);
    view.show();
    const QModelIndex top = model.index(0, 0, {});
    view.expand(top);
    view.scrollTo(model.index(model.children - 1, 0, top));
    model.add();
    view.scrollTo(model.index(model.children - 1, 0, top));
    model.removeFirst();
    view.viewport()->grab();
    EXPECT_EQ(view.shownRows(), 1'000'001);
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 1'000'001 - view.verticalScrollBar()->pageStep());
    const QModelIndex last = model.index(model.children - 1, 0, top);
    EXPECT_EQ(view.indexAt(view.visualRect(last).center()), last);
    EXPECT_LE(view.visualRect(last).bottom(), view.viewport()->height());
    // A screen holds about 25 rows; a view that laid out every row would ask millions of times.
    EXPECT_LT(model.indexes, 5000);
    EXPECT_LT(model.reads, 5000);
}

// A screen reader walks the rows shown, top to bottom, each with its text and state, and finds
// the current one; what it holds of a row follows the view as nodes open and rows go.
TEST(TreeViewTest, TellsAScreenReaderTheRowsItShows)
{
    QStandardItemModel model;
    for (const char *name : {"Breads", "Soups", "Salads"})
        model.appendRow(new QStandardItem(QString::fromLatin1(name)));
    for (const char *name : {"Leek", "Pea", "Tomato"})
        model.item(1)->appendRow(new QStandardItem(QString::fromLatin1(name)));
    platform::TreeView view;
    view.resize(170, 200);
    view.setModel(&model);
    view.show();
    QAccessibleInterface *tree = QAccessible::queryAccessibleInterface(&view);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->role(), QAccessible::Tree);

    const auto rows = [&] {
        QStringList out;
        for (int i = 0; i < tree->childCount(); ++i) {
            QAccessibleInterface *row = tree->child(i);
            const QAccessible::State state = row->state();
            out << row->text(QAccessible::Name) + (state.expandable ? (state.expanded ? QStringLiteral(" open") : QStringLiteral(" closed")) : QString())
                    + (state.selected ? QStringLiteral(" chosen") : QString())
                    + (tree->indexOfChild(row) == i && row->parent() == tree && row->role() == QAccessible::TreeItem
                           ? QString()
                           : QStringLiteral(" misplaced"));
        }
        return out.join(QStringLiteral(", ")).toStdString();
    };
    EXPECT_EQ(rows(), "Breads, Soups closed, Salads");
    view.expand(model.index(1, 0));
    view.setCurrentIndex(model.index(0, 0, model.index(1, 0)));
    EXPECT_EQ(rows(), "Breads, Soups open, Leek chosen, Pea, Tomato, Salads");
    QAccessibleInterface *soups = tree->child(1);
    EXPECT_EQ(tree->child(1), soups) << "a row keeps its interface while the rows stay";
    EXPECT_EQ(tree->childAt(soups->rect().center().x(), soups->rect().center().y()), soups);
    model.removeRow(0);
    EXPECT_EQ(rows(), "Soups open, Leek chosen, Pea, Tomato, Salads");
    model.item(0)->removeRow(0);
    EXPECT_EQ(rows(), "Soups open, Pea chosen, Tomato, Salads") << "the row below takes the removed current's place";
}

}  // namespace

