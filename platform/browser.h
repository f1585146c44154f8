#pragma once
// The web browser control of the print preview: a QTextBrowser that loads a local page and
// prints it, without a prompt to the default printer or through the print dialog, which its
// context menu offers as "Print...".
//
// The preview and the printer share one painting path: the printer gets a copy of the shown
// document laid out afresh on the printer's page and drawn by the same document layout.

#include <QTextBrowser>

#include <functional>
#include <memory>

class QMenu;
class QPrinter;

namespace platform {

// The command and options of ExecWB, under the names the preview uses.
enum OLECMDID : int { OLECMDID_PRINT = 6 };
enum OLECMDEXECOPT : int {
    OLECMDEXECOPT_DODEFAULT = 0,
    OLECMDEXECOPT_PROMPTUSER = 1,
    OLECMDEXECOPT_DONTPROMPTUSER = 2,
};

class Browser : public QTextBrowser {
    Q_OBJECT

public:
    // Makes the printer that printing without a prompt goes to; null when there is none.
    using PrinterSource = std::function<std::unique_ptr<QPrinter>()>;

    explicit Browser(QWidget *parent = nullptr);
    ~Browser() override;

    // Shows the local file at path, read as UTF-8 HTML. A missing or unreadable file shows an
    // empty page; nothing is reported.
    void Navigate(const QString &path);

    // Runs OLECMDID_PRINT on the shown page: OLECMDEXECOPT_DONTPROMPTUSER prints to the default
    // printer at once, the other options ask through the print dialog first (a cancelled dialog
    // is no failure). Returns false and sets errorString() when nothing could be printed.
    bool ExecWB(OLECMDID command, OLECMDEXECOPT option);

    // Prints the shown page on printer, without a dialog and without page numbers. A printer
    // whose page has no margins gets 2 cm ones. Returns false and sets errorString() on failure.
    bool printPage(QPrinter &printer);

    QString errorString() const { return error_; }

    // Replaces where printing without a prompt goes; the default is the system's default printer.
    void setDefaultPrinterSource(PrinterSource source);
    static std::unique_ptr<QPrinter> systemDefaultPrinter();

    // The context menu for a right click at pos: the standard entries and "Print...". The caller
    // owns the menu.
    QMenu *createContextMenu(const QPoint &pos);

signals:
    // Printing that the browser started itself, from its context menu, failed.
    void printFailed(const QString &reason);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool printWithDialog();

    PrinterSource defaultPrinter_;
    QString error_;
};

}  // namespace platform
