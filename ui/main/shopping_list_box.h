#pragma once
// The "Shopping list..." box: the recipes on this run's shopping list with their factors, and
// the lines the list adds up to, to print, copy or clear.

#include <QWidget>

#include <memory>

namespace Ui {
class ShoppingListBox;
}
namespace printdoc {
class PrintCommand;
}
namespace recipes {
class ShoppingList;
}

namespace mainform {

class ShoppingListBox : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by `owner`; the list and print must outlive the box.
    ShoppingListBox(recipes::ShoppingList &list, printdoc::PrintCommand &print, QWidget *owner);
    ~ShoppingListBox() override;

    // Shows the list as it is now.
    void refresh();

    // The buttons. Print prints "Shopping list" with the lines as its ingredients and the
    // recipes they come from as its instructions.
    void print_Click();
    void copy_Click();
    void clear_Click();

private:
    std::unique_ptr<Ui::ShoppingListBox> ui_;
    recipes::ShoppingList &list_;
    printdoc::PrintCommand &print_;
};

}  // namespace mainform
