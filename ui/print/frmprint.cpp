#include "ui/print/frmprint.h"

#include "platform/browser.h"
#include "platform/dialogs.h"
#include "ui/print/print_document.h"
#include "ui/skin/outline_faces.h"
#include "ui/skin/xpcmdbutton.h"
#include "ui/skin/xptopbuttons.h"
#include "ui_frmprint.h"

#include <QShortcut>

#include <utility>

frmprint::frmprint(platform::Dialogs &dialogs, QString programFolder, QWidget *parent)
    : QWidget(parent), ui_(std::make_unique<Ui::frmprint>()), dialogs_(dialogs),
      folder_(std::move(programFolder))
{
    // The painted frame is the window's title bar and border.
    setWindowFlag(Qt::FramelessWindowHint);
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A designer font size is a whole number of points.
    QFont labelFont = ui_->Label1->font();
    labelFont.setPointSizeF(8.25);
    ui_->Label1->setFont(labelFont);
    skin::followPixelRatio(this);

    // From the keyboard too: Tab reaches the two buttons, Space or Enter presses them, and Escape
    // closes the preview as its close button does.
    for (xpcmdbutton *button : {ui_->print, ui_->printform})
        button->setFocusPolicy(Qt::TabFocus);
    QWidget::setTabOrder(ui_->print, ui_->printform);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, ui_->printform,
            &QAbstractButton::click);
    connect(ui_->print, &xpcmdbutton::Click, this, &frmprint::print_Click);
    connect(ui_->printform, &xpcmdbutton::Click, this, &frmprint::printform_Click);
    connect(ui_->xptopbuttons1, &xptopbuttons::Click, this, &frmprint::xptopbuttons1_Click);
    connect(ui_->xptopbuttons3, &xptopbuttons::Click, this, &frmprint::xptopbuttons3_Click);
    connect(ui_->WB, &platform::Browser::printFailed, this, &frmprint::reportPrintFailure);

    Form_Load();
}

frmprint::~frmprint() = default;

void frmprint::Form_Load()
{
    ui_->WB->Navigate(pagePath());
}

void frmprint::reloadPage()
{
    ui_->WB->Navigate(pagePath());
}

QString frmprint::pagePath() const
{
    return folder_ + u'/' + printdoc::kPageFileName;
}

void frmprint::print_Click()
{
    if (!ui_->WB->ExecWB(platform::OLECMDID_PRINT, platform::OLECMDEXECOPT_DONTPROMPTUSER))
        reportPrintFailure(ui_->WB->errorString());
}

void frmprint::reportPrintFailure(const QString &reason)
{
    dialogs_.MsgBox(reason, platform::vbCritical);
}

void frmprint::printform_Click()
{
    close();
}

void frmprint::xptopbuttons1_Click()
{
    close();
}

void frmprint::xptopbuttons3_Click()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}
