#include "ui/main/shopping_list_box.h"

#include "core/shopping_list.h"
#include "ui/main/box_frame.h"
#include "ui/print/print_command.h"
#include "ui/skin/xp_canvas.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"
#include "ui_shopping_list_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLocale>

namespace mainform {

namespace {

QString factorText(double factor) { return QLocale().toString(factor, 'g', 4); }

// A recipe of the list as the printed list names it.
QString madeFrom(const recipes::ShoppingRecipe &recipe)
{
    return QStringLiteral("%1 (%2) \u00d7 %3").arg(recipe.name, recipe.category, factorText(recipe.factor));
}

}  // namespace

ShoppingListBox::ShoppingListBox(recipes::ShoppingList &list, printdoc::PrintCommand &print, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::ShoppingListBox>()),
      list_(list), print_(print)
{
    ui_->setupUi(this);
    ui_->Print->setCaptionWithKey(QStringLiteral("&Print"));
    ui_->Copy->setCaptionWithKey(QStringLiteral("&Copy"));
    ui_->Clear->setCaptionWithKey(QStringLiteral("C&lear"));
    ui_->Close->setCaptionWithKey(QStringLiteral("Cl&ose"));
    ui_->Recipes->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui_->Recipes->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    ui_->Recipes->header()->setStretchLastSection(false);
    new BoxFrame(*this, *ui_->ShoppingListBoxXP, *ui_->Body, *ui_->xptopbuttons3, *ui_->xptopbuttons1,
                 {ui_->Print, ui_->Copy, ui_->Clear, ui_->Close});

    connect(ui_->Print, &xpcmdbutton::Click, this, &ShoppingListBox::print_Click);
    connect(ui_->Copy, &xpcmdbutton::Click, this, &ShoppingListBox::copy_Click);
    connect(ui_->Clear, &xpcmdbutton::Click, this, &ShoppingListBox::clear_Click);
    connect(ui_->Close, &xpcmdbutton::Click, this, &QWidget::close);
    refresh();
}

ShoppingListBox::~ShoppingListBox() = default;

void ShoppingListBox::refresh()
{
    ui_->Recipes->clear();
    for (const recipes::ShoppingRecipe &recipe : list_.recipes())
        new QTreeWidgetItem(ui_->Recipes, {QStringLiteral("%1 (%2)").arg(recipe.name, recipe.category),
                                           factorText(recipe.factor)});
    ui_->Lines->setPlainText(list_.lines().join(u'\n'));
    const bool empty = list_.recipes().empty();
    ui_->Hint->setText(empty ? QStringLiteral("Right-click a recipe in the tree and choose Add to shopping list.")
                             : QString());
    ui_->Hint->setVisible(empty);
    for (xpcmdbutton *button : {ui_->Print, ui_->Copy, ui_->Clear})
        button->setEnabled(!empty);
}

void ShoppingListBox::print_Click()
{
    if (list_.recipes().empty())
        return;
    QStringList from;
    for (const recipes::ShoppingRecipe &recipe : list_.recipes())
        from.append(madeFrom(recipe));
    print_.run(QStringLiteral("Shopping list"), QString(), list_.lines().join(QStringLiteral("\r\n")),
               from.join(QStringLiteral("\r\n")));
}

void ShoppingListBox::copy_Click()
{
    if (!list_.recipes().empty())
        QGuiApplication::clipboard()->setText(list_.lines().join(u'\n'));
}

void ShoppingListBox::clear_Click()
{
    list_.clear();
    refresh();
}

}  // namespace mainform
