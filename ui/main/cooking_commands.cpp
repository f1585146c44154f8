#include "ui/main/cooking_commands.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "core/recipe.h"
#include "core/recipe_error.h"
#include "engine/refusals.h"
#include "platform/dialogs.h"
#include "platform/window.h"
#include "store/RecipeBas.h"
#include "ui/main/failure_text.h"
#include "ui/main/scale_box.h"
#include "ui/main/shopping_list_box.h"

#include <QWidget>

namespace mainform {

namespace {

const QString kScaleTitle = QStringLiteral("Scale");
const QString kListTitle = QStringLiteral("Shopping list");

}  // namespace

CookingCommands::CookingCommands(platform::Dialogs &dialogs, RecipeBas &store, printdoc::PrintCommand &print,
                                 QWidget &window)
    : dialogs_(dialogs), store_(store), print_(print), window_(window)
{
}

CookingCommands::~CookingCommands()
{
    delete scaleBox_.data();
    delete listBox_.data();
}

ScaleBox *CookingCommands::scaleBox() const { return scaleBox_.data(); }

ShoppingListBox *CookingCommands::listBox() const { return listBox_.data(); }

std::optional<recipes::Recipe> CookingCommands::read(const QString &category, const QString &name,
                                                     const QString &title)
{
    try {
        if (std::optional<recipes::Recipe> recipe = store_.session().collection()->recipe(category, name))
            return recipe;
        dialogs_.MsgBox(QStringLiteral("There is no recipe %1 in the category %2 any more.")
                            .arg(dao::refusals::quotedName(name), dao::refusals::quotedName(category)),
                        platform::vbCritical, title);
    } catch (const std::exception &e) {
        showFailure(dialogs_, e, title);
    }
    return std::nullopt;
}

void CookingCommands::scale(const QString &category, const QString &name)
{
    const std::optional<recipes::Recipe> recipe = read(category, name, kScaleTitle);
    if (!recipe)
        return;
    const bool isNew = !scaleBox_;
    if (isNew) {
        scaleBox_ = new ScaleBox(print_, &window_);
        QObject::connect(scaleBox_, &ScaleBox::addToList, &window_, [this](const recipes::ShoppingRecipe &scaled) {
            add(scaled);
            // The message box hands the focus to the main window; the keys were the box's.
            if (scaleBox_)
                scaleBox_->activateWindow();
        });
    }
    scaleBox_->setRecipe(category, *recipe);
    platform::BringForward(scaleBox_, &window_, isNew);
}

void CookingCommands::addToList(const QString &category, const QString &name)
{
    if (const std::optional<recipes::Recipe> recipe = read(category, name, kListTitle))
        add({recipes::schema::trimBlanks(recipe->name), category, recipe->ingredients, 1});
}

void CookingCommands::add(const recipes::ShoppingRecipe &recipe)
{
    try {
        list_.add(recipe);
    } catch (const recipes::Error &e) {
        showFailure(dialogs_, e, kListTitle);
        return;
    }
    if (listBox_)
        listBox_->refresh();
    dialogs_.MsgBox(QStringLiteral("%1 added to the shopping list.").arg(recipe.name), platform::vbOKOnly, kListTitle);
}

void CookingCommands::showList()
{
    const bool isNew = !listBox_;
    if (isNew)
        listBox_ = new ShoppingListBox(list_, print_, &window_);
    else
        listBox_->refresh();
    platform::BringForward(listBox_, &window_, isNew);
}

void CookingCommands::forget()
{
    list_.clear();
    if (listBox_)
        listBox_->refresh();
    if (scaleBox_)
        scaleBox_->close();
}

}  // namespace mainform
