#pragma once
// The recipe store: the state shared with the main window, opening and closing the recipe
// database, filling the catalogue tree, and the recipe and category operations.
//
// The store owns no control and no SQL: it turns the recipe core's values into the main
// window's tree and text boxes, through the references handed to it, and its errors into the
// dialogs' messages. Operations that fail throw recipes::Error (platform::TreeError for the
// tree); from the fixed step where an operation switches to continue-on-failure, a failing step
// is skipped instead and the next one runs.

#include "core/category_rows.h"
#include "core/collection.h"
#include "core/recipe_error.h"
#include "core/recipe_session.h"
#include "core/search_index.h"
#include "platform/tree.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CatalogueModel;

namespace platform {
class Dialogs;
class TextBox;
}  // namespace platform

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

    // The open file and its password: every operation opens the file through it.
    recipes::RecipeSession &session() { return session_; }
    const recipes::RecipeSession &session() const { return session_; }
    // Whether the store holds the file open (a recipe shown keeps it so until the next call),
    // and a category's rows with it.
    bool IsOpen() const { return RecipeDb != nullptr; }
    bool HasOpenCategory() const { return RecipeRs != nullptr; }

    // Shared state, as the main window reads and writes it.
    QString SelRecipe;
    QString SelRecipeCategory;
    QString SelCategory;
    QString NewCategory;

    void OpenStore();
    // Closes and releases the recordset and the database; never fails, any number of times.
    void CloseStore();

    // Shows the whole catalogue, read anew from the file: the root and the last category
    // expanded, its last recipe scrolled into view, no node chosen.
    void FillCatalogue();
    // The same view of the catalogue as FillCatalogue gives, from the rows the program's own
    // changes have kept up to date; reads the file anew when it has none for this file.
    void ShowCatalogue();
    void FillCategories();
    // Whether another program has written to the file since the catalogue was last filled from
    // it or this was last asked; this program's own changes do not count. One read of the
    // file's change counter; false when the file cannot be read.
    bool ChangedElsewhere();

    void ShowRecipe(const QString &category, const QString &name);
    void AddRecipe(const QString &category);

    // What a change found to change; a failure throws instead.
    enum class Outcome { Done, NotFound };
    // Overwrites the first row named `name` from the boxes, shows "Recipe UpDated", empties the
    // boxes and rebuilds the tree. A refused write throws and leaves the row, the boxes and the
    // tree as they were; when no row has that name the boxes stay too and NotFound is returned.
    Outcome UpdateRecipe(const QString &category, const QString &name);
    // Deletes the first row named `name`, empties the boxes and rebuilds the tree. A refused
    // deletion throws and leaves the row, the boxes and the tree as they were.
    Outcome DeleteRecipe(const QString &category, const QString &name);

    void AddCategory();
    // Deletes the category after asking; a selection that pointed into it is cleared.
    void DeleteCategory(const QString &category);

    // The tree as search results: the root, then each category with a match, expanded, with the
    // matching recipes under it; the nodes are keyed as FillCatalogue keys them, so every
    // command works on them alike. Reads nothing from the file.
    void FillMatches(const std::vector<recipes::SearchHit> &hits);

    // Called after every fill of the tree from the file: full is true for FillCatalogue, false
    // for the category-only FillCategories. For whoever shows something else in the tree.
    std::function<void(bool full)> AfterFill;

    // A category name as the tree shows it: control characters, which would be drawn raw or
    // break the line, appear as visible symbols. The name itself stays the node's key.
    static QString ShownCategoryName(const QString &name);

    // The staging list of one category's recipe names during a fill; empty between fills (the
    // catalogue's names are read by its model, as they are shown).
    const QStringList &List1() const { return list1_; }

private:
    std::unique_ptr<recipes::Collection> openCollection() const;
    // The open category; throws when there is none, so a step after a failed open fails too.
    recipes::CategoryRows &rows() const;
    void addRootNode();
    // Arranges the catalogue's view as a fill leaves it.
    void showAsFilled();
    recipes::Recipe typedRecipe() const;
    // A refusal in the user's terms: a field too long is named by the box it was typed in.
    static recipes::Error inBoxTerms(const recipes::Error &e);
    void clearBoxes();

    RecipeControls c_;
    platform::Dialogs &dialogs_;
    recipes::RecipeSession session_;
    std::unique_ptr<recipes::Collection> RecipeDb;
    std::unique_ptr<recipes::CategoryRows> RecipeRs;  // the category being read
    QStringList list1_;
    platform::Node lastAdded_;
    std::unique_ptr<CatalogueModel> catalogue_;  // the catalogue as last filled
    std::optional<std::int64_t> seenVersion_;  // the file's change counter as last filled or asked
};
