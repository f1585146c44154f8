#pragma once
// The tree's "Scale...", "Add to shopping list" and "Shopping list..." commands. Each reads the
// recipe from the file as it is when asked and keeps a copy: nothing here changes a stored
// recipe. The shopping list lasts for the run and the file: it goes when another file is opened.

#include "core/shopping_list.h"

#include <QPointer>
#include <QString>

#include <optional>

class QWidget;
class RecipeBas;

namespace platform {
class Dialogs;
}
namespace printdoc {
class PrintCommand;
}
namespace recipes {
struct Recipe;
}

namespace mainform {

class ScaleBox;
class ShoppingListBox;

class CookingCommands {
public:
    // The boxes are owned by `window`; everything handed in outlives the commands.
    CookingCommands(platform::Dialogs &dialogs, RecipeBas &store, printdoc::PrintCommand &print, QWidget &window);
    // Closes the open boxes: they show this command's list and print through its command.
    ~CookingCommands();
    CookingCommands(const CookingCommands &) = delete;
    CookingCommands &operator=(const CookingCommands &) = delete;

    // The recipe `name` of `category`, as the tree shows them. The one Scale box shows it,
    // brought forward.
    void scale(const QString &category, const QString &name);
    // Puts the recipe on the list at its own size and says so.
    void addToList(const QString &category, const QString &name);
    // The one Shopping list box, brought forward.
    void showList();
    // Another file is open: its list starts empty, and a Scale box of the last file's closes.
    void forget();

    const recipes::ShoppingList &list() const { return list_; }
    // The open boxes, or null.
    ScaleBox *scaleBox() const;
    ShoppingListBox *listBox() const;

private:
    // The recipe as stored now; nothing, with the reason shown, when it cannot be read.
    std::optional<recipes::Recipe> read(const QString &category, const QString &name, const QString &title);
    void add(const recipes::ShoppingRecipe &recipe);

    platform::Dialogs &dialogs_;
    RecipeBas &store_;
    printdoc::PrintCommand &print_;
    QWidget &window_;
    recipes::ShoppingList list_;
    QPointer<ScaleBox> scaleBox_;
    QPointer<ShoppingListBox> listBox_;
};

}  // namespace mainform
