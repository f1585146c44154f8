#pragma once
// The "Scale..." box: one recipe's ingredients scaled to a number of servings or by a factor,
// shown as the number changes, to print, copy or put on the shopping list. It works on a copy of
// the recipe taken when it was asked for, and changes nothing stored.

#include "core/recipe.h"
#include "core/shopping_list.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class ScaleBox;
}
namespace printdoc {
class PrintCommand;
}

namespace mainform {

class ScaleBox : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by `owner`; print must outlive the box.
    ScaleBox(printdoc::PrintCommand &print, QWidget *owner);
    ~ScaleBox() override;

    // Shows this recipe of that category, starting from its servings when it names them, else
    // from the factor typed last.
    void setRecipe(const QString &category, const recipes::Recipe &recipe);
    QString category() const { return category_; }
    // The recipe's name as the tree shows it.
    QString name() const;

    // The factor the shown lines are scaled by; nothing while the number is refused.
    std::optional<double> factor() const { return factor_; }
    // The scaled ingredients, lines separated by CR LF; empty while the number is refused.
    QString scaled() const { return scaled_; }

    // The buttons.
    void print_Click();
    void copy_Click();
    void addToList_Click();

signals:
    // The recipe asked for on the shopping list, at the box's factor.
    void addToList(const recipes::ShoppingRecipe &recipe);

private:
    void rescale();
    void refuse(const QString &why);

    std::unique_ptr<Ui::ScaleBox> ui_;
    printdoc::PrintCommand &print_;
    QString category_;
    recipes::Recipe recipe_;
    std::optional<double> servings_;  // what the recipe serves, when it says
    std::optional<double> factor_;
    QString scaled_;
};

}  // namespace mainform
