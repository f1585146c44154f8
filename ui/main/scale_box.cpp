#include "ui/main/scale_box.h"

#include "core/category_schema.h"
#include "core/recipe_error.h"
#include "core/recipe_scaling.h"
#include "core/scale_factor.h"
#include "core/servings.h"
#include "ui/main/box_frame.h"
#include "ui/print/print_command.h"
#include "ui/skin/xp_canvas.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"
#include "ui_scale_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLocale>
#include <QSignalBlocker>

#include <algorithm>

namespace mainform {

namespace {

const QString kExamples = QStringLiteral("such as 0.5, 2, 1,5 or 1/2");

}  // namespace

ScaleBox::ScaleBox(printdoc::PrintCommand &print, QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), ui_(std::make_unique<Ui::ScaleBox>()), print_(print)
{
    ui_->setupUi(this);
    ui_->AddToList->setCaptionWithKey(QStringLiteral("&Add to shopping list"));
    ui_->Print->setCaptionWithKey(QStringLiteral("&Print"));
    ui_->Copy->setCaptionWithKey(QStringLiteral("&Copy"));
    ui_->Close->setCaptionWithKey(QStringLiteral("Cl&ose"));
    ui_->bodyLayout->setColumnStretch(2, 1);
    ui_->Servings->setMaximum(recipes::kMostServings);
    // Room for one line of it even when all is well, so the lines below keep their place.
    ui_->Problem->setMinimumHeight(ui_->Problem->fontMetrics().height());
    new BoxFrame(*this, *ui_->ScaleBoxXP, *ui_->Body, *ui_->xptopbuttons3, *ui_->xptopbuttons1,
                 {ui_->AddToList, ui_->Print, ui_->Copy, ui_->Close});

    // Changing a number chooses what it stands for.
    connect(ui_->Servings, &QSpinBox::valueChanged, this, [this] {
        ui_->ByServings->setChecked(true);
        rescale();
    });
    connect(ui_->Factor, &QLineEdit::textEdited, this, [this] {
        ui_->ByFactor->setChecked(true);
        rescale();
    });
    connect(ui_->ByServings, &QRadioButton::toggled, this, &ScaleBox::rescale);
    connect(ui_->AddToList, &xpcmdbutton::Click, this, &ScaleBox::addToList_Click);
    connect(ui_->Print, &xpcmdbutton::Click, this, &ScaleBox::print_Click);
    connect(ui_->Copy, &xpcmdbutton::Click, this, &ScaleBox::copy_Click);
    connect(ui_->Close, &xpcmdbutton::Click, this, &QWidget::close);
}

ScaleBox::~ScaleBox() = default;

void ScaleBox::setRecipe(const QString &category, const recipes::Recipe &recipe)
{
    category_ = category;
    recipe_ = recipe;
    servings_ = recipes::servingsOf(recipe.ingredients);
    ui_->ScaleBoxXP->setCaption(QStringLiteral("Scale [ ") + name() + QStringLiteral(" ]"));
    ui_->ByServings->setEnabled(servings_.has_value());
    ui_->Servings->setEnabled(servings_.has_value());
    {
        const QSignalBlocker quiet(ui_->Servings);
        ui_->Servings->setValue(servings_ ? std::max(1, qRound(*servings_)) : ui_->Servings->minimum());
    }
    ui_->ServingsNote->setText(servings_ ? QStringLiteral("The recipe serves %1.").arg(QLocale().toString(*servings_))
                                         : QStringLiteral("The recipe names no servings: scale it by a factor."));
    const QSignalBlocker quiet(ui_->ByServings);
    (servings_ ? ui_->ByServings : ui_->ByFactor)->setChecked(true);
    rescale();
}

QString ScaleBox::name() const { return recipes::schema::trimBlanks(recipe_.name); }

void ScaleBox::rescale()
{
    const bool byServings = ui_->ByServings->isChecked() && servings_;
    std::optional<double> factor;
    if (byServings) {
        factor = ui_->Servings->value() / *servings_;
    } else {
        factor = recipes::readFactor(ui_->Factor->text());
        if (!factor) {
            const QString typed = ui_->Factor->text().trimmed();
            const QString rule = recipes::factorRule() + QStringLiteral(", ") + kExamples;
            refuse(typed.isEmpty() ? QStringLiteral("Type the factor to scale by: %1.").arg(rule)
                                   : QStringLiteral("\u201c%1\u201d is refused: %2.").arg(typed, rule));
            return;
        }
    }
    try {
        scaled_ = recipes::scaledIngredients(recipe_.ingredients, *factor);
    } catch (const recipes::Error &e) {
        refuse(e.message());
        return;
    }
    factor_ = factor;
    ui_->Problem->clear();
    ui_->Lines->setPlainText(QString(scaled_).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    for (xpcmdbutton *button : {ui_->AddToList, ui_->Print, ui_->Copy})
        button->setEnabled(true);
}

void ScaleBox::refuse(const QString &why)
{
    factor_.reset();
    scaled_.clear();
    ui_->Problem->setText(why);
    ui_->Lines->clear();
    for (xpcmdbutton *button : {ui_->AddToList, ui_->Print, ui_->Copy})
        button->setEnabled(false);
}

void ScaleBox::print_Click()
{
    if (factor_)
        print_.run(recipe_.name, recipe_.author, scaled_, recipe_.instructions);
}

void ScaleBox::copy_Click()
{
    if (factor_)
        QGuiApplication::clipboard()->setText(ui_->Lines->toPlainText());
}

void ScaleBox::addToList_Click()
{
    if (factor_)
        emit addToList({name(), category_, recipe_.ingredients, *factor_});
}

}  // namespace mainform
