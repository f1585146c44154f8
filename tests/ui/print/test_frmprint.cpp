#include "ui/print/frmprint.h"

#include "platform/browser.h"
#include "support/scripted_dialogs.h"
#include "ui/print/print_document.h"
#include "ui/skin/xpcmdbutton.h"

#include "print_test_files.h"

#include <QAction>
#include <QApplication>
#include <QFontInfo>
#include <QGlyphRun>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QRawFont>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A printer that writes a PDF file, standing in for the default printer.
platform::Browser::PrinterSource pdfPrinterAt(const QString &path)
{
    return [path] {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path);
        return printer;
    };
}

class PreviewTest : public ::testing::Test {
protected:
    // Writes the print files for a recipe and opens the preview on them.
    void open(const QString &name, const QString &ingredients, const QString &instructions)
    {
        QString error;
        ASSERT_TRUE(printdoc::writePrintFiles(folder.path(), name, u"Zoë Ångström"_s, ingredients,
                                              instructions, &error));
        window = new frmprint(dialogs, folder.path());
        window->show();
        browser = window->findChild<platform::Browser *>(u"WB"_s);
        ASSERT_NE(browser, nullptr);
    }

    void TearDown() override { delete window.data(); }

    QTemporaryDir folder;
    testsupport::ScriptedDialogs dialogs;
    QPointer<frmprint> window;
    platform::Browser *browser = nullptr;
};

TEST_F(PreviewTest, ItsButtonsAreReachedByTabAndEscapeClosesIt)
{
    open(u"Leek soup"_s, u"leeks"_s, u"boil"_s);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    auto *print = window->findChild<xpcmdbutton *>(u"print"_s);
    auto *close = window->findChild<xpcmdbutton *>(u"printform"_s);
    print->setFocus();
    QTest::keyClick(print, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), close);
    QTest::keyClick(close, Qt::Key_Escape);
    EXPECT_TRUE(window.isNull() || !window->isVisible()) << "Escape closes the preview";
}

TEST_F(PreviewTest, PrintButtonPrintsEveryLineOnceOnTheDefaultPrinterWithoutPageNumbers)
{
    QStringList steps;
    for (int i = 1; i <= 150; ++i)
        steps << u"Stir the pot, round %1."_s.arg(i);
    open(u"Crème brûlée"_s, u"half a litre of cream\nvanilla & sugar < taste"_s, steps.join(u'\n'));
    const QString pdf = folder.filePath(u"out.pdf"_s);
    browser->setDefaultPrinterSource(pdfPrinterAt(pdf));

    QTest::mouseClick(window->findChild<xpcmdbutton *>(u"print"_s), Qt::LeftButton);

    EXPECT_TRUE(dialogs.shown().empty());
    const QStringList pages = printtest::visiblePdfPages(pdf);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(
        pages[0].startsWith(u"Printed from This Recipes by Saporium Name: Crème brûlée "
                            u"Author: Zoë Ångström Ingredints: half a litre of cream "
                            u"vanilla & sugar < taste Instructions: Stir the pot, round 1."_s))
        << pages[0].toStdString();
    // Every step exactly once, and nothing else on the pages: a page number would be extra.
    QString printedSteps = pages.join(u' ');
    printedSteps.remove(0, printedSteps.indexOf(u"Stir"_s));
    EXPECT_EQ(printedSteps.toStdString(), steps.join(u' ').toStdString());
}

TEST_F(PreviewTest, PrintFailuresAreReportedAndTheWindowStaysOpen)
{
    open(u"Rice"_s, u"rice"_s, u"boil"_s);
    const QString pdf = folder.filePath(u"gone/out.pdf"_s);
    const struct {
        platform::Browser::PrinterSource printer;
        QString reasonPart;
    } cases[] = {{[] { return std::unique_ptr<QPrinter>(); }, u"no default printer"_s},
                 {pdfPrinterAt(pdf), pdf}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reasonPart.toStdString());
        dialogs.clear();
        browser->setDefaultPrinterSource(c.printer);
        window->print_Click();
        ASSERT_EQ(dialogs.shown().size(), 1u);
        EXPECT_EQ(dialogs.shown()[0].flags, platform::vbCritical);
        EXPECT_TRUE(dialogs.shown()[0].prompt.contains(c.reasonPart))
            << dialogs.shown()[0].prompt.toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(window.isNull());
        EXPECT_TRUE(window->isVisible());
    }
}

// FONT SIZE="3" is the page's normal size, which a browser shows at 12 pt.
TEST_F(PreviewTest, PageTextIsSetInTwelvePointArialBold)
{
    open(u"Rice"_s, u"rice"_s, u"boil"_s);
    const int at = browser->toPlainText().indexOf(u"Name: Rice"_s);
    const QTextBlock block = browser->document()->findBlock(at);
    const QTextLine line = block.layout()->lineForTextPosition(at - block.position());
    ASSERT_TRUE(line.isValid());
    const QList<QGlyphRun> runs = line.glyphRuns();
    ASSERT_FALSE(runs.isEmpty());
    for (const QGlyphRun &run : runs) {
        EXPECT_DOUBLE_EQ(run.rawFont().pixelSize(), 12.0 * browser->logicalDpiY() / 72.0);
        EXPECT_EQ(run.rawFont().familyName(), QFontInfo(QFont(u"Arial"_s)).family());
        EXPECT_GE(run.rawFont().weight(), QFont::Bold);
    }
}

TEST_F(PreviewTest, RightClickMenuOffersPrintThroughThePrintDialog)
{
    open(u"Rice"_s, u"rice"_s, u"boil"_s);
    const std::unique_ptr<QMenu> menu(browser->createContextMenu(QPoint(10, 10)));
    const QList<QAction *> actions = menu->actions();
    const auto printEntry = std::find_if(actions.begin(), actions.end(),
                                         [](QAction *a) { return a->text() == u"Print..."_s; });
    ASSERT_NE(printEntry, actions.end());

    bool dialogShown = false;
    QTimer::singleShot(0, [&dialogShown] {
        if (auto *dialog = qobject_cast<QPrintDialog *>(QApplication::activeModalWidget())) {
            dialogShown = true;
            dialog->reject();
        }
    });
    (*printEntry)->trigger();

    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(dialogs.shown().empty());
}

}  // namespace
