#pragma once
// The limit the store is measured against: the same names read by one bare SQLCipher
// connection the fastest way we know, and the same tree built by a bare QTreeWidget, with no
// engine, store or tree seam in between.

#include <QIcon>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace bench {

class RawConnection;

struct RawCategory {
    QString name;
    QStringList recipes;  // trimmed names in stored order
};

// Every category's trimmed recipe names in stored order, categories in the catalogue's order.
// Each table is read from its index on the name column, whose entries carry the row numbers and
// none of the long texts; the rows are put back in stored order in memory.
std::vector<RawCategory> readCatalogue(RawConnection &raw);
QStringList readNames(RawConnection &raw, const QString &table);
// Category names only, in the catalogue's order.
QStringList readCategoryNames(RawConnection &raw);

// The four fields of the first row of table whose trimmed name is name, found as the store
// finds it (names in stored order, first match), trimmed as the boxes show them.
std::array<QString, 4> readRecipe(RawConnection &raw, const QString &table, const QString &name);

// Fills tree as the catalogue shows it: root, categories, recipes with their icons, then the
// last node made visible. recipesToo = false leaves the recipes out.
struct TreeIcons {
    QIcon root, category, recipe;
};
// The icons as the tree seam makes them from the four pictures of the image list: each node's
// selected picture is part of its icon.
TreeIcons treeIcons(const std::vector<QPixmap> &images);
void fillTree(QTreeWidget &tree, const TreeIcons &icons, const std::vector<RawCategory> &catalogue,
              bool recipesToo = true);
// The recipe nodes of one category, not yet in a tree.
QList<QTreeWidgetItem *> recipeNodes(const QStringList &names, const QIcon &icon);

// Puts a recipe's four fields into the same kinds of boxes the main window has.
void showInBoxes(const std::array<QString, 4> &fields, QLineEdit &name, QLineEdit &author,
                 QPlainTextEdit &ingredients, QPlainTextEdit &instructions);

}  // namespace bench
