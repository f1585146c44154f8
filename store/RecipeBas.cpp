#include "store/RecipeBas.h"

#include "platform/database_names.h"
#include "platform/database_refusals.h"
#include "platform/dialogs.h"
#include "platform/text_box.h"

#include <algorithm>

namespace {

// Runs one step of an operation in continue-on-failure mode: a failure is dropped and the
// caller goes on with its next step. Returns whether the step succeeded.
template <typename Step>
bool tryStep(Step &&step)
{
    try {
        step();
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

// How every field is written: the box text without its outer blanks, then one space.
QString encodeField(const QString &boxText) { return platform::TrimBlanks(boxText) + QLatin1Char(' '); }

// A recipe name as the tree shows it: the stored value with one space appended, trimmed. That
// is the value trimmed, and the empty text for null, so the longer text is never built.
QString shownName(const dao::Value &value)
{
    const QString trimmed = value ? platform::TrimBlanks(*value) : QString();
    return trimmed.isNull() ? QStringLiteral("") : trimmed;
}

// The text without its outer blanks, as TrimBlanks trims it, but without a copy: a look-up by
// name tries every row of the category.
QStringView trimmedView(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && text[end - 1] == QLatin1Char(' '))
        --end;
    return text.sliced(begin, end - begin);
}

}  // namespace

StoreError::StoreError(const QString &message) : std::runtime_error(message.toStdString()) {}

const QString RecipeBas::kPassword = QStringLiteral("qmtrwz47195306");
const QString RecipeBas::kRootKey = QStringLiteral("AB");
const QString RecipeBas::kRootText = QStringLiteral("Saporium");
const QString RecipeBas::kNothingCategory = QStringLiteral("zzzNothing");

RecipeBas::RecipeBas(RecipeControls controls, platform::Dialogs &dialogs)
    : c_(controls), dialogs_(dialogs)
{
}

RecipeBas::~RecipeBas() { CloseStore(); }

std::unique_ptr<dao::Database> RecipeBas::openDatabase() const
{
    return dao::DBEngine::OpenDatabase(DbPath, false, false, QStringLiteral(";Pwd=") + kPassword);
}

dao::Recordset &RecipeBas::recordset() const
{
    if (!RecipeRs)
        throw StoreError(QStringLiteral("No category is open."));
    return *RecipeRs;
}

void RecipeBas::OpenStore() { RecipeDb = openDatabase(); }

void RecipeBas::CloseStore()
{
    tryStep([this] {
        if (RecipeRs)
            RecipeRs->Close();
    });
    tryStep([this] {
        if (RecipeDb)
            RecipeDb->Close();
    });
    RecipeRs.reset();
    RecipeDb.reset();
}

void RecipeBas::addRootNode()
{
    lastAdded_ = c_.Tv.Add(QString(), kRootKey, kRootText, RootImage);
    c_.Tv.EnsureVisible(lastAdded_);
}

// The engine's own tables, never listed as categories (exact, case-sensitive comparison).
static bool isEngineTable(const QString &name)
{
    return dao::DBEngine::ReservedTableNames().contains(name, Qt::CaseSensitive);
}

void RecipeBas::FillCatalogue()
{
    c_.Tv.setImageList(&c_.ImageList1);
    OpenStore();
    c_.Tv.Clear();
    addRootNode();

    bool continueOnFailure = false;
    // Each step before the first category's recordset is open fails to the caller; after it,
    // a failing step is skipped.
    auto step = [&continueOnFailure](auto &&action) {
        if (continueOnFailure)
            tryStep(action);
        else
            action();
    };

    QStringList tables;
    step([&] { tables = RecipeDb->TableDefs(); });
    for (const QString &table : std::as_const(tables)) {
        if (isEngineTable(table))
            continue;
        step([&] { lastAdded_ = c_.Tv.Add(kRootKey, table, ShownCategoryName(table), CategoryImage, SelectedImage); });
        step([&] {
            // Dropped first, so that a category whose rows cannot be read shows none rather
            // than the rows of the category before it.
            RecipeRs.reset();
            RecipeRs = RecipeDb->OpenRecordset(table);
        });
        continueOnFailure = true;

        tryStep([&] { recordset().MoveFirst(); });
        int count = 0;
        tryStep([&] { count = recordset().RecordCount(); });
        list1_.reserve(count);
        for (int i = 0; i < count; ++i) {
            tryStep([&] { list1_.append(shownName(recordset().Fields(0))); });
            tryStep([&] { recordset().MoveNext(); });
        }
        tryStep([&] {
            const platform::Node last = c_.Tv.AddChildren(table, list1_, RecipeImage, SelectedImage);
            if (!last.isNull())
                lastAdded_ = last;
        });
        list1_.clear();
    }
    step([&] { c_.Tv.EnsureVisible(lastAdded_); });
    CloseStore();
}

void RecipeBas::FillCategories()
{
    c_.Tv.setImageList(&c_.ImageList1);
    OpenStore();
    c_.Tv.Clear();
    addRootNode();
    const QStringList tables = RecipeDb->TableDefs();
    for (const QString &table : tables) {
        if (isEngineTable(table))
            continue;
        lastAdded_ = c_.Tv.Add(kRootKey, table, ShownCategoryName(table), CategoryImage);
    }
    c_.Tv.EnsureVisible(lastAdded_);
    CloseStore();
}

bool RecipeBas::matchAt(const QString &name, bool nullMatchesEmpty) const
{
    const dao::Value value = recordset().Fields(0);
    if (!value)
        return nullMatchesEmpty && name.isEmpty();
    return trimmedView(*value) == name;
}

void RecipeBas::ShowRecipe(const QString &category, const QString &name)
{
    OpenStore();
    RecipeRs = RecipeDb->OpenRecordset(category);
    recordset().MoveFirst();
    const int count = recordset().RecordCount();
    for (int i = 0; i < count; ++i) {
        if (matchAt(name, true)) {
            // The name goes in as stored, its trailing space included; the others trimmed.
            c_.Text1.SetText(recordset().Fields(0).value_or(QString()));
            c_.Text2.SetText(platform::TrimBlanks(recordset().Fields(1).value_or(QString())));
            c_.Text3.SetText(platform::TrimBlanks(recordset().Fields(2).value_or(QString())));
            c_.Text4.SetText(platform::TrimBlanks(recordset().Fields(3).value_or(QString())));
            return;  // the store stays open until the next operation
        }
        if (i + 1 < count)
            recordset().MoveNext();
    }
    for (platform::TextBox *box : {&c_.Text1, &c_.Text2, &c_.Text3, &c_.Text4})
        box->SetLocked(true);
    CloseStore();
}

void RecipeBas::writeBoxesToCurrentRow()
{
    // The boxes by the labels the user sees beside them.
    static const QString labels[] = {QStringLiteral("Recipe Name"), QStringLiteral("Author"),
                                     QStringLiteral("Ingredients"), QStringLiteral("Preparation Instructions")};
    const platform::TextBox *boxes[] = {&c_.Text1, &c_.Text2, &c_.Text3, &c_.Text4};
    QString values[4];
    for (int i = 0; i < 4; ++i) {
        values[i] = encodeField(boxes[i]->Text());
        // Refused here, in the user's terms: the appended blank is the program's, not the
        // user's, so it counts against the limit but not in the message.
        const std::optional<int> limit = recordset().FieldLimit(i);
        const int stored = dao::names::codePointCount(values[i]);
        if (limit && stored > *limit)
            throw StoreError(dao::refusals::tooLong(QStringLiteral("The text in the ") + labels[i]
                                                        + QStringLiteral(" box"),
                                                    stored - 1, std::max(*limit - 1, 0)));
    }
    for (int i = 0; i < 4; ++i)
        recordset().SetField(i, values[i]);
}

void RecipeBas::clearBoxes()
{
    for (platform::TextBox *box : {&c_.Text1, &c_.Text2, &c_.Text3, &c_.Text4})
        tryStep([box] { box->SetText(QString()); });
}

void RecipeBas::AddRecipe(const QString &category)
{
    OpenStore();
    RecipeRs = RecipeDb->OpenRecordset(category);
    recordset().AddNew();
    try {
        writeBoxesToCurrentRow();
        recordset().Update();
    } catch (...) {
        CloseStore();
        throw;
    }
    CloseStore();
}

RecipeBas::UpdateResult RecipeBas::UpdateRecipe(const QString &category, const QString &name)
{
    OpenStore();
    RecipeRs = RecipeDb->OpenRecordset(category);
    const QString wanted = platform::TrimBlanks(name);

    tryStep([this] { recordset().MoveFirst(); });
    int count = 0;
    tryStep([&] { count = recordset().RecordCount(); });
    bool updated = false;
    for (int i = 0; i < count; ++i) {
        bool matches = false;
        tryStep([&] { matches = matchAt(wanted, false); });
        if (matches) {
            // A refused value is not skipped: the user is told why and keeps the typed text.
            try {
                recordset().Edit();
                writeBoxesToCurrentRow();
                recordset().Update();
            } catch (...) {
                tryStep([this] { recordset().CancelUpdate(); });
                CloseStore();
                throw;
            }
            updated = true;
            dialogs_.MsgBox(QStringLiteral("Recipe UpDated"));
            break;
        }
        tryStep([this] { recordset().MoveNext(); });
    }
    CloseStore();
    if (!updated)
        return UpdateResult::NotFound;
    clearBoxes();
    tryStep([this] { FillCatalogue(); });
    return UpdateResult::Updated;
}

RecipeBas::DeleteResult RecipeBas::DeleteRecipe(const QString &category, const QString &name)
{
    OpenStore();
    RecipeRs = RecipeDb->OpenRecordset(category);
    const QString wanted = platform::TrimBlanks(name);

    DeleteResult result;
    tryStep([this] { recordset().MoveFirst(); });
    int count = 0;
    tryStep([&] { count = recordset().RecordCount(); });
    for (int i = 0; i < count; ++i) {
        bool matches = false;
        tryStep([&] { matches = matchAt(wanted, false); });
        if (matches) {
            try {
                recordset().Delete();
                result.deleted = true;
            } catch (const std::exception &e) {
                result.failure = QString::fromUtf8(e.what());
            }
            break;
        }
        tryStep([this] { recordset().MoveNext(); });
    }
    CloseStore();
    clearBoxes();
    tryStep([this] { FillCatalogue(); });
    return result;
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
        throw StoreError(QStringLiteral("%1 is reserved for the top of the recipe tree; "
                                        "please choose another name for the category.")
                             .arg(dao::refusals::quotedName(NewCategory)));
    std::unique_ptr<dao::Database> db = openDatabase();
    dao::TableDef def = db->CreateTableDef(NewCategory);
    def.Append(def.CreateField(QStringLiteral("Name"), dao::dbText));
    def.Append(def.CreateField(QStringLiteral("Author"), dao::dbText));
    def.Append(def.CreateField(QStringLiteral("Ingredients"), dao::dbMemo));
    def.Append(def.CreateField(QStringLiteral("Instructions"), dao::dbMemo));
    db->AppendTableDef(def);
    db->Close();
    dialogs_.MsgBox(NewCategory + QStringLiteral(" Category Created"));
    FillCatalogue();
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
        RecipeDb->DeleteTableDef(category);
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
    FillCatalogue();
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
