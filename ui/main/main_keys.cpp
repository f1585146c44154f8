#include "ui/main/main_keys.h"

#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"
#include "ui_main.h"

#include <QKeyEvent>
#include <QShortcut>

#include <vector>

namespace mainform {

namespace {

struct Binding {
    QKeySequence keys;
    std::vector<QAbstractButton *> buttons;  // the first one shown is pressed
};

// The shortcuts are the window's: a text box's own use of a key (Ctrl+E moves to the end of
// the line in some key schemes) gives way to them.
class ShortcutsFirst : public QObject {
public:
    ShortcutsFirst(std::vector<QKeySequence> keys, QObject *parent) : QObject(parent), keys_(std::move(keys)) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QKeySequence &keys : keys_)
            if (keys == pressed)
                return true;  // not accepted: the shortcut takes it
        return false;
    }

private:
    std::vector<QKeySequence> keys_;
};

void pressFirstShown(const std::vector<QAbstractButton *> &buttons)
{
    for (QAbstractButton *button : buttons)
        if (button->isVisible() && button->isEnabled()) {
            button->click();
            return;
        }
}

}  // namespace

void wireKeys(QWidget &window, Ui::main &ui)
{
    // The form's tab order; the find box, when shown, follows the tree it filters.
    const std::vector<QWidget *> order = {
        ui.Tv,   ui.Find,    ui.closefind, ui.Text1,        ui.Text2,        ui.Text3,       ui.Text4,
        ui.help, ui.Website, ui.print,     ui.delete_,      ui.add,          ui.Edit,        ui.Save,
        ui.Cancel, ui.xpcmdbutton1, ui.xpcmdbutton2, ui.delcatagroy, ui.cancelcata, ui.saveedited, ui.canceledit,
    };
    for (QWidget *w : order)
        if (auto *button = qobject_cast<xpcmdbutton *>(w))
            button->setFocusPolicy(Qt::TabFocus);  // a click leaves the focus where the typing is
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);

    const std::vector<Binding> bindings = {
        {QKeySequence(Qt::CTRL | Qt::Key_N), {ui.add}},
        {QKeySequence(Qt::CTRL | Qt::Key_E), {ui.Edit}},
        {QKeySequence(Qt::CTRL | Qt::Key_S), {ui.Save, ui.saveedited}},
        {QKeySequence(Qt::Key_Escape), {ui.Cancel, ui.canceledit, ui.cancelcata}},
        {QKeySequence(Qt::CTRL | Qt::Key_P), {ui.print}},
        {QKeySequence(Qt::Key_F1), {ui.help}},
        {QKeySequence(Qt::CTRL | Qt::Key_Q), {ui.xptopbuttons1}},
    };
    std::vector<QKeySequence> keys;
    for (const Binding &binding : bindings) {
        auto *shortcut = new QShortcut(binding.keys, &window);
        QObject::connect(shortcut, &QShortcut::activated, &window, [buttons = binding.buttons] { pressFirstShown(buttons); });
        keys.push_back(binding.keys);
    }
    auto *remove = new QShortcut(QKeySequence(Qt::Key_Delete), ui.Tv);
    remove->setContext(Qt::WidgetShortcut);
    QObject::connect(remove, &QShortcut::activated, &window, [button = ui.delete_] { pressFirstShown({button}); });

    // Escape in the find box is the box's own: it closes the bar.
    std::vector<QKeySequence> boxKeys = keys;
    std::erase(boxKeys, QKeySequence(Qt::Key_Escape));
    for (QWidget *box : {static_cast<QWidget *>(ui.Text1), static_cast<QWidget *>(ui.Text2),
                         static_cast<QWidget *>(ui.Text3), static_cast<QWidget *>(ui.Text4)})
        box->installEventFilter(new ShortcutsFirst(keys, box));
    ui.Find->installEventFilter(new ShortcutsFirst(boxKeys, ui.Find));
}

}  // namespace mainform
