#pragma once
// The print preview window: shows print.htm from the program folder in its browser `WB` and
// prints it. It is a top-level window that deletes itself when closed.

#include <QString>
#include <QWidget>

#include <memory>

namespace platform {
class Dialogs;
}
namespace Ui {
class frmprint;
}

class frmprint : public QWidget {
    Q_OBJECT

public:
    // dialogs must outlive the window; the page is programFolder + "/print.htm".
    frmprint(platform::Dialogs &dialogs, QString programFolder, QWidget *parent = nullptr);
    ~frmprint() override;

    // Points `WB` at the page again, so an open preview shows the page just written.
    void reloadPage();

    void print_Click();
    void printform_Click();
    // The close and minimise caption buttons.
    void xptopbuttons1_Click();
    void xptopbuttons3_Click();

private:
    void Form_Load();
    QString pagePath() const;
    // A failed print is told in a message box; the window stays open.
    void reportPrintFailure(const QString &reason);

    std::unique_ptr<Ui::frmprint> ui_;
    platform::Dialogs &dialogs_;
    const QString folder_;
};
