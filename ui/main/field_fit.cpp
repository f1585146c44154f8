#include "ui/main/field_fit.h"

#include "ui_main.h"

#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QVariant>

#include <algorithm>
#include <vector>

namespace mainform {

namespace {

constexpr char kFormPlace[] = "saporiumFormPlace";

// Where the form put the widget, remembered the first time it is asked.
QRect formPlace(QWidget *widget)
{
    const QVariant kept = widget->property(kFormPlace);
    if (kept.isValid())
        return kept.toRect();
    widget->setProperty(kFormPlace, widget->geometry());
    return widget->geometry();
}

// One line of text, the line edit's margin of a pixel above and below it, and the frame.
int heightFor(const QLineEdit *box)
{
    const int frame = box->hasFrame() ? box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box) : 0;
    const QMargins margins = box->textMargins();
    return box->fontMetrics().height() + 2 + 2 * frame + margins.top() + margins.bottom();
}

int heightFor(const QLabel *label) { return label->fontMetrics().height(); }

// Sets the height the font asks for, keeping the widget's middle `shift` pixels below the form's.
template <typename Widget>
int fit(Widget *widget, int shift)
{
    const QRect place = formPlace(widget);
    const int height = std::max(place.height(), heightFor(widget));
    const int top = place.y() + shift - (height - place.height()) / 2;
    widget->setGeometry(place.x(), top, place.width(), height);
    return top;
}

struct Row {
    QLabel *label;
    QLineEdit *box;
    std::vector<QWidget *> beside;  // the mode buttons to the box's right
};

}  // namespace

void fitFieldsToFonts(Ui::main &ui)
{
    // The boxes may not rise into the command bar, and keep a pixel between them.
    int floor = formPlace(ui.Picture1).bottom() + 2;
    const Row rows[] = {
        {ui.Label1, ui.Text1, {ui.Save, ui.saveedited, ui.delcatagroy}},
        {ui.Label2, ui.Text2, {ui.Cancel, ui.canceledit, ui.cancelcata}},
    };
    for (const Row &row : rows) {
        const QRect place = formPlace(row.box);
        const int grown = std::max(0, heightFor(row.box) - place.height());
        const int shift = std::max(0, floor - (place.y() - grown / 2));
        const int top = fit(row.box, shift);
        fit(row.label, shift);
        for (QWidget *button : row.beside)
            button->move(formPlace(button).topLeft() + QPoint(0, shift));
        floor = top + row.box->height() + 1;
    }

    // Whatever the two rows took below the form's places comes off the ingredients box.
    const QRect label3 = formPlace(ui.Label3);
    const int pushed = std::max(0, floor - label3.y());
    fit(ui.Label3, pushed);
    ui.Label3->move(label3.x(), label3.y() + pushed);
    const QRect text3 = formPlace(ui.Text3);
    const int text3Top = std::max(text3.y() + pushed, ui.Label3->geometry().bottom() + 1);
    ui.Text3->setGeometry(text3.x(), text3Top, text3.width(), text3.bottom() + 1 - text3Top);
    fit(ui.Label4, 0);
    ui.Label4->move(formPlace(ui.Label4).topLeft());
}

}  // namespace mainform
