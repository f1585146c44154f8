#include "store/RecipeBas.h"

#include "core/category_schema.h"
#include "engine/refusals.h"
#include "platform/dialogs.h"
#include "platform/text_box.h"
#include "platform/tree_error.h"
#include "store/catalogue_model.h"

namespace {

// Runs one step of an operation in continue-on-failure mode: a failure of the core or of the
// tree is dropped and the caller goes on with its next step. Returns whether the step succeeded.
// Anything else is a fault of the program and goes on up.
template <typename Step>
bool tryStep(Step &&step)
{
    try {
        step();
        return true;
    } catch (const recipes::Error &) {
        return false;
    } catch (const platform::TreeError &) {
        return false;
    }
}

}  // namespace

const QString RecipeBas::kPassword = recipes::kBuiltInPassword;
const QString RecipeBas::kRootKey = QStringLiteral("AB");
const QString RecipeBas::kRootText = QStringLiteral("Saporium");
const QString RecipeBas::kNothingCategory = QStringLiteral("zzzNothing");

RecipeBas::RecipeBas(RecipeControls controls, platform::Dialogs &dialogs)
    : c_(controls), dialogs_(dialogs)
{
}

RecipeBas::~RecipeBas() { CloseStore(); }

std::unique_ptr<recipes::Collection> RecipeBas::openCollection() const
{
    return session_.collection();
}

recipes::CategoryRows &RecipeBas::rows() const
{
    if (!RecipeRs)
        throw recipes::Error(QStringLiteral("No category is open."));
    return *RecipeRs;
}

void RecipeBas::OpenStore() { RecipeDb = openCollection(); }

void RecipeBas::CloseStore()
{
    tryStep([this] {
        if (RecipeRs)
            RecipeRs->close();
    });
    tryStep([this] {
        if (RecipeDb)
            RecipeDb->close();
    });
    RecipeRs.reset();
    RecipeDb.reset();
}

void RecipeBas::addRootNode()
{
    lastAdded_ = c_.Tv.Add(QString(), kRootKey, kRootText, RootImage);
    c_.Tv.EnsureVisible(lastAdded_);
}

void RecipeBas::FillCatalogue()
{
    c_.Tv.setImageList(&c_.ImageList1);
    OpenStore();
    // Read before the catalogue: a write that lands during the fill is seen by the next check.
    tryStep([this] { seenVersion_ = RecipeDb->dataVersion(); });
    auto fresh = std::make_unique<CatalogueModel>(
        session_.path(), session_.password(),
        CatalogueModel::Icons{c_.Tv.Icon(RootImage), c_.Tv.Icon(CategoryImage, SelectedImage),
                              c_.Tv.Icon(RecipeImage, SelectedImage)});
    try {
        fresh->load();
    } catch (...) {
        // The tree as a fill that fails leaves it: the root, and the first category when the
        // table list could be read but not that category's rows.
        c_.Tv.Clear();
        catalogue_.reset();
        addRootNode();
        tryStep([this] {
            const QStringList categories = RecipeDb->categories();
            if (!categories.isEmpty())
                lastAdded_ = c_.Tv.Add(kRootKey, categories.constFirst(), ShownCategoryName(categories.constFirst()),
                                       CategoryImage, SelectedImage);
        });
        throw;
    }
    c_.Tv.Show(fresh.get());
    catalogue_ = std::move(fresh);
    showAsFilled();
    CloseStore();
    if (AfterFill)
        AfterFill(true);
}

void RecipeBas::ShowCatalogue()
{
    if (!catalogue_ || !catalogue_->isOf(session_.path(), session_.password())) {
        FillCatalogue();
        return;
    }
    c_.Tv.setImageList(&c_.ImageList1);
    showAsFilled();
    if (AfterFill)
        AfterFill(true);
}

void RecipeBas::showAsFilled()
{
    CatalogueModel &model = *catalogue_;
    c_.Tv.Show(&model);
    // The last node a fill adds is made visible: the last category's last recipe, else the
    // last category, else the root. Only the nodes above it stay open.
    const QModelIndex root = model.index(0, 0);
    QModelIndex last = root;
    if (const int categories = model.rowCount(root); categories > 0) {
        last = model.index(categories - 1, 0, root);
        if (model.hasChildren(last))
            if (const int recipes = model.rowCount(last); recipes > 0)
                last = model.index(recipes - 1, 0, last);
    }
    const auto keepOpen = [&last](const QModelIndex &node) {
        for (QModelIndex up = last.parent(); up.isValid(); up = up.parent())
            if (up == node)
                return true;
        return false;
    };
    for (int row = 0; row < model.rowCount(root); ++row)
        if (const platform::Node category{model.index(row, 0, root)}; !keepOpen(category.index) && c_.Tv.IsExpanded(category))
            c_.Tv.Collapse(category);
    if (!keepOpen(root))
        c_.Tv.Collapse(platform::Node{root});
    lastAdded_ = platform::Node{last};
    c_.Tv.EnsureVisible(lastAdded_);
}

bool RecipeBas::ChangedElsewhere()
{
    if (!session_.hasFile())
        return false;
    try {
        // The shared connection the store writes through, so that its own writes do not count.
        const std::int64_t version = session_.collection()->dataVersion();
        const bool changed = !seenVersion_ || version != *seenVersion_;
        seenVersion_ = version;
        return changed;
    } catch (const recipes::Error &) {
        // Unreadable now: the next command that reads the file says why.
        return false;
    }
}

void RecipeBas::FillCategories()
{
    c_.Tv.setImageList(&c_.ImageList1);
    OpenStore();
    c_.Tv.Clear();
    addRootNode();
    const QStringList categories = RecipeDb->categories();
    for (const QString &category : categories)
        lastAdded_ = c_.Tv.Add(kRootKey, category, ShownCategoryName(category), CategoryImage);
    c_.Tv.EnsureVisible(lastAdded_);
    CloseStore();
    if (AfterFill)
        AfterFill(false);
}

void RecipeBas::FillMatches(const std::vector<recipes::SearchHit> &hits)
{
    c_.Tv.setImageList(&c_.ImageList1);
    c_.Tv.Clear();
    addRootNode();
    const platform::Node root = lastAdded_;
    for (auto group = hits.begin(); group != hits.end();) {
        const QString &category = group->category;
        QStringList names;
        auto end = group;
        for (; end != hits.end() && end->category == category; ++end)
            names.append(end->name);
        const platform::Node node = c_.Tv.Add(kRootKey, category, ShownCategoryName(category), CategoryImage, SelectedImage);
        c_.Tv.AddChildren(category, names, RecipeImage, SelectedImage);
        c_.Tv.Expand(node);
        group = end;
    }
    c_.Tv.Expand(root);
    c_.Tv.EnsureVisible(root);
}

void RecipeBas::ShowRecipe(const QString &category, const QString &name)
{
    OpenStore();
    RecipeRs = RecipeDb->openCategory(category);
    // There is no first row to start from.
    if (rows().count() == 0)
        throw recipes::Error(QStringLiteral("The category %1 holds no recipes.")
                                 .arg(dao::refusals::quotedName(category)));
    if (const std::optional<int> row = rows().find(name, recipes::NullName::MatchesEmpty)) {
        const recipes::Recipe stored = rows().stored(*row);
        // The name goes in as stored, its trailing space included; the others trimmed.
        c_.Text1.SetText(stored.name);
        c_.Text2.SetText(recipes::schema::trimBlanks(stored.author));
        c_.Text3.SetText(recipes::schema::trimBlanks(stored.ingredients));
        c_.Text4.SetText(recipes::schema::trimBlanks(stored.instructions));
        return;  // the store stays open until the next operation
    }
    for (platform::TextBox *box : {&c_.Text1, &c_.Text2, &c_.Text3, &c_.Text4})
        box->SetLocked(true);
    CloseStore();
}

recipes::Recipe RecipeBas::typedRecipe() const
{
    return {c_.Text1.Text(), c_.Text2.Text(), c_.Text3.Text(), c_.Text4.Text()};
}

recipes::Error RecipeBas::inBoxTerms(const recipes::Error &e)
{
    if (e.kind() != recipes::Error::Kind::TooLong)
        return e;
    return recipes::Error(dao::refusals::tooLong(QStringLiteral("The text in the ")
                                                     + recipes::schema::field(e.field()).label
                                                     + QStringLiteral(" box"),
                                                 e.length(), e.most()),
                          e.kind());
}

void RecipeBas::clearBoxes()
{
    for (platform::TextBox *box : {&c_.Text1, &c_.Text2, &c_.Text3, &c_.Text4})
        tryStep([box] { box->SetText(QString()); });
}

void RecipeBas::AddRecipe(const QString &category)
{
    OpenStore();
    try {
        RecipeDb->addRecipe(category, typedRecipe());
    } catch (const recipes::Error &e) {
        CloseStore();
        throw inBoxTerms(e);
    }
    CloseStore();
}

RecipeBas::Outcome RecipeBas::UpdateRecipe(const QString &category, const QString &name)
{
    OpenStore();
    bool updated = false;
    try {
        updated = RecipeDb->updateRecipe(category, name, typedRecipe());
    } catch (const recipes::Error &e) {
        // A refused value is not skipped: the user is told why and keeps the typed text.
        CloseStore();
        throw inBoxTerms(e);
    }
    if (updated)
        dialogs_.MsgBox(QStringLiteral("Recipe UpDated"));
    CloseStore();
    if (!updated)
        return Outcome::NotFound;
    clearBoxes();
    tryStep([this] { ShowCatalogue(); });
    return Outcome::Done;
}

RecipeBas::Outcome RecipeBas::DeleteRecipe(const QString &category, const QString &name)
{
    OpenStore();
    bool deleted = false;
    try {
        deleted = RecipeDb->deleteRecipe(category, name);
    } catch (...) {
        CloseStore();
        throw;
    }
    CloseStore();
    clearBoxes();
    tryStep([this] { ShowCatalogue(); });
    return deleted ? Outcome::Done : Outcome::NotFound;
}

void RecipeBas::AddCategory()
{
    NewCategory = dialogs_.InputBox(QStringLiteral("Enter a Name For New Category"),
                                    QStringLiteral("Create New Category"));
    if (NewCategory.isEmpty())
        return;
    // The tree tells its root apart by this key and this text; a category named so would be
    // taken for the root.
    if (NewCategory == kRootKey || NewCategory == kRootText)
        throw recipes::Error(QStringLiteral("%1 is reserved for the top of the recipe tree; "
                                            "please choose another name for the category.")
                                 .arg(dao::refusals::quotedName(NewCategory)));
    const std::unique_ptr<recipes::Collection> local = openCollection();
    local->addCategory(NewCategory);
    local->close();
    dialogs_.MsgBox(NewCategory + QStringLiteral(" Category Created"));
    ShowCatalogue();
}

void RecipeBas::DeleteCategory(const QString &chosen)
{
    // A copy: the caller passes SelCategory, which is cleared below.
    const QString category = chosen;
    const QString question = QStringLiteral("This will Delete Category \"") + category
        + QStringLiteral("\"\r\nAll of It's Recipes\r\nDo you want to continue ?");
    const int answer = dialogs_.MsgBox(question,
                                       platform::vbYesNo | platform::vbCritical | platform::vbDefaultButton2,
                                       QStringLiteral("Warnning"));
    if (answer != platform::vbYes)
        return;
    OpenStore();
    try {
        RecipeDb->deleteCategory(category);
    } catch (...) {
        CloseStore();
        throw;
    }
    CloseStore();
    // Nothing may point into a category that is gone: a second press would ask to delete it
    // again, and a recipe shown from it could no longer be found.
    if (SelCategory == category)
        SelCategory.clear();
    if (SelRecipeCategory == category) {
        SelRecipeCategory.clear();
        SelRecipe.clear();
    }
    ShowCatalogue();
    dialogs_.MsgBox(QStringLiteral("Category ") + category + QStringLiteral(" Has Been Deleted"));
}

QString RecipeBas::ShownCategoryName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        if (const QChar picture = dao::refusals::controlPicture(c.unicode()); !picture.isNull())
            c = picture;
        else if (c.unicode() >= 0x80 && c.unicode() < 0xA0)
            c = QChar::ReplacementCharacter;
    }
    return shown;
}
