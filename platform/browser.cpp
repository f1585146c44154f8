#include "platform/browser.h"

#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextDocument>

namespace platform {

namespace {

QString printerName(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return QDir::toNativeSeparators(printer.outputFileName());
    return printer.printerName();
}

}  // namespace

Browser::Browser(QWidget *parent)
    : QTextBrowser(parent), defaultPrinter_(&Browser::systemDefaultPrinter)
{
    // A page's normal text size (FONT SIZE="3") is the document's default font size; browsers
    // show it at 12 pt.
    QFont pageFont = font();
    pageFont.setPointSizeF(12);
    setFont(pageFont);
    // The shown page is the only page: a click on a link must not replace it.
    setOpenLinks(false);
}

Browser::~Browser() = default;

void Browser::Navigate(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        clear();
        return;
    }
    setHtml(QString::fromUtf8(file.readAll()));
}

bool Browser::ExecWB(OLECMDID command, OLECMDEXECOPT option)
{
    error_.clear();
    if (command != OLECMDID_PRINT) {
        error_ = tr("The browser does not support this command.");
        return false;
    }
    if (option != OLECMDEXECOPT_DONTPROMPTUSER)
        return printWithDialog();
    const std::unique_ptr<QPrinter> printer = defaultPrinter_ ? defaultPrinter_() : nullptr;
    if (!printer) {
        error_ = tr("There is no default printer to print to. Right click on the page and "
                    "choose Print... to choose a printer or to print to a file.");
        return false;
    }
    return printPage(*printer);
}

bool Browser::printPage(QPrinter &printer)
{
    error_.clear();
    if (printer.pageLayout().margins(QPageLayout::Millimeter).isNull())
        printer.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&printer)) {
        error_ = tr("The page could not be printed: %1 could not be opened for printing.")
                     .arg(printerName(printer));
        return false;
    }

    // A copy, so that the preview keeps its own layout; laid out on the printer's page with the
    // printer's font metrics and then drawn by the same layout code that draws the preview.
    const std::unique_ptr<QTextDocument> page(document()->clone());
    QAbstractTextDocumentLayout *layout = page->documentLayout();
    layout->setPaintDevice(&printer);
    const QSizeF pageSize(printer.width(), printer.height());
    page->setPageSize(pageSize);

    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    const int pageCount = page->pageCount();
    for (int i = 0; i < pageCount; ++i) {
        if (i > 0 && !printer.newPage()) {
            error_ = tr("The page could not be printed: %1 refused page %2.")
                         .arg(printerName(printer))
                         .arg(i + 1);
            return false;
        }
        const QRectF view(QPointF(0, i * pageSize.height()), pageSize);
        painter.save();
        painter.translate(0, -view.top());
        painter.setClipRect(view);
        context.clip = view;
        layout->draw(&painter, context);
        painter.restore();
    }
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        error_ =
            tr("The page could not be printed: %1 reported an error.").arg(printerName(printer));
        return false;
    }
    return true;
}

void Browser::setDefaultPrinterSource(PrinterSource source)
{
    defaultPrinter_ = std::move(source);
}

std::unique_ptr<QPrinter> Browser::systemDefaultPrinter()
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull())
        return nullptr;
    return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
}

QMenu *Browser::createContextMenu(const QPoint &pos)
{
    QMenu *menu = createStandardContextMenu(pos);
    menu->addSeparator();
    menu->addAction(tr("Print..."), this, [this] {
        if (!ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_PROMPTUSER))
            emit printFailed(error_);
    });
    return menu;
}

void Browser::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

bool Browser::printWithDialog()
{
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return true;
    return printPage(printer);
}

}  // namespace platform
