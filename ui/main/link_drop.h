#pragma once
// Links given to the tree without its menu: Ctrl+V on the tree with http(s) links as the
// clipboard's text (one a line) imports their pages into the category of the current node, and
// links or files dropped on the tree go into the category under the drop point; on the root, or
// outside any node, each recipe goes into its own category. Nothing happens while a recipe is
// being added or edited, or a category added or deleted.

#include <QObject>
#include <QString>

#include <functional>

namespace platform {
class Tree;
struct Node;
}  // namespace platform

namespace mainform {

class ExchangeCommands;

class LinkDrop : public QObject {
public:
    // busy: true while the window is in the middle of something the import's refill would undo.
    LinkDrop(platform::Tree &tree, ExchangeCommands &exchange, std::function<bool()> busy, QObject *parent);

    // The category a node stands for: its own, or its recipe's; empty for the root or none.
    static QString categoryOf(const platform::Node &node);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void paste();

    platform::Tree &tree_;
    ExchangeCommands &exchange_;
    std::function<bool()> busy_;
};

}  // namespace mainform
