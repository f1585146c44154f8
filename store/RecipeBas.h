#pragma once
// The recipe store: the state shared with the main window, opening and closing the recipe
// database, filling the catalogue tree, and the recipe and category operations.
//
// The store owns no control: it writes into the main window's tree and text boxes through the
// references handed to it. Operations that fail throw (dao::EngineError, platform::TreeError or
// StoreError); from the fixed step where an operation switches to continue-on-failure, a failing
// step is skipped instead and the next one runs.

#include "platform/database.h"
#include "platform/tree.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <stdexcept>

namespace platform {
class Dialogs;
class TextBox;
}  // namespace platform

// A refusal of the store's own, with a message for the user.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const QString &message);
};

// The main window's controls the store writes into; they outlive the store.
struct RecipeControls {
    platform::Tree &Tv;
    const platform::ImageList &ImageList1;
    platform::TextBox &Text1;
    platform::TextBox &Text2;
    platform::TextBox &Text3;
    platform::TextBox &Text4;
};

class RecipeBas {
public:
    // Image numbers of the tree's nodes in ImageList1.
    enum Image { RootImage = 1, CategoryImage = 2, SelectedImage = 3, RecipeImage = 4 };
    static const QString kPassword;
    static const QString kRootKey;       // "AB"
    static const QString kRootText;      // "Saporium"
    static const QString kNothingCategory;  // "zzzNothing"

    RecipeBas(RecipeControls controls, platform::Dialogs &dialogs);
    ~RecipeBas();

    // Shared state, as the main window reads and writes it.
    QString DbPath;
    std::unique_ptr<dao::Database> RecipeDb;
    std::unique_ptr<dao::Recordset> RecipeRs;
    QString SelRecipe;
    QString SelRecipeCategory;
    QString SelCategory;
    QString NewCategory;

    void OpenStore();
    // Closes and releases the recordset and the database; never fails, any number of times.
    void CloseStore();

    void FillCatalogue();
    void FillCategories();

    void ShowRecipe(const QString &category, const QString &name);
    void AddRecipe(const QString &category);

    enum class UpdateResult { Updated, NotFound };
    // Overwrites the first row named `name` from the boxes, shows "Recipe UpDated", empties the
    // boxes and rebuilds the tree. A refused write throws and leaves the row, the boxes and the
    // tree as they were; when no row has that name the boxes stay too and NotFound is returned.
    UpdateResult UpdateRecipe(const QString &category, const QString &name);

    struct DeleteResult {
        bool deleted = false;
        QString failure;  // why nothing was deleted, when the engine refused the deletion
    };
    // Deletes the first row named `name`, empties the boxes and rebuilds the tree.
    DeleteResult DeleteRecipe(const QString &category, const QString &name);

    void AddCategory();
    // Deletes the category after asking; a selection that pointed into it is cleared.
    void DeleteCategory(const QString &category);

    // A category name as the tree shows it: control characters, which would be drawn raw or
    // break the line, appear as visible symbols. The name itself stays the node's key.
    static QString ShownCategoryName(const QString &name);

    // The staging list of one category's recipe names during a fill; empty between fills.
    const QStringList &List1() const { return list1_; }

private:
    std::unique_ptr<dao::Database> openDatabase() const;
    // The open recordset; throws when there is none, so a step after a failed open fails too.
    dao::Recordset &recordset() const;
    void addRootNode();
    bool matchAt(const QString &name, bool nullMatchesEmpty) const;
    void writeBoxesToCurrentRow();
    void clearBoxes();

    RecipeControls c_;
    platform::Dialogs &dialogs_;
    QStringList list1_;
    platform::Node lastAdded_;
};
