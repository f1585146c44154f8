#include "ui/print/print_command.h"

#include "platform/browser.h"
#include "support/scripted_dialogs.h"
#include "ui/print/frmprint.h"
#include "ui/skin/xpcmdbutton.h"

#include "print_test_files.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>

#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include <sys/stat.h>

using printtest::entriesWithContents;
using printtest::folderEntries;

using namespace Qt::StringLiterals;

namespace {

QString shownPage(frmprint *preview)
{
    return preview->findChild<platform::Browser *>(u"WB"_s)->toPlainText();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class PrintCommandTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        command.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QTemporaryDir folder;
    testsupport::ScriptedDialogs dialogs;
    std::unique_ptr<printdoc::PrintCommand> command = std::make_unique<printdoc::PrintCommand>(dialogs, folder.path());
};

struct Precondition {
    const char *label;
    QString text1, text3, text4;
    bool prints;
};

// Trimming removes spaces only: a name of a tab or ingredients of a line break still print.
const Precondition kPreconditions[] = {
    {"BlankName", u"   "_s, u"rice"_s, u"boil"_s, false},
    {"EmptyIngredients", u"Rice"_s, QString(), u"boil"_s, false},
    {"BlankIngredients", u"Rice"_s, u"  "_s, u"boil"_s, false},
    {"EmptyInstructions", u"Rice"_s, u"rice"_s, QString(), false},
    {"BlankInstructions", u"Rice"_s, u"rice"_s, u" "_s, false},
    {"TabName", u"\t"_s, u"rice"_s, u"boil"_s, true},
    {"LineBreakIngredients", u"Rice"_s, u"\n"_s, u"boil"_s, true},
};

class PrintPreconditions : public PrintCommandTest,
                           public ::testing::WithParamInterface<Precondition> {};

TEST_P(PrintPreconditions, OnlySpaceFilledRequiredFieldsStopThePrintSilently)
{
    const Precondition &p = GetParam();
    command->run(p.text1, QString(), p.text3, p.text4);

    EXPECT_TRUE(dialogs.shown().empty());
    EXPECT_EQ(folderEntries(folder.path()), p.prints ? "print.htm print.txt" : "");
    EXPECT_EQ(command->preview() != nullptr, p.prints);
}

INSTANTIATE_TEST_SUITE_P(Boxes, PrintPreconditions, ::testing::ValuesIn(kPreconditions),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(PrintCommandTest, ExactlyEmptyNameAsksForARecipeAndPrintsNothing)
{
    command->run(QString(), u"Ann"_s, u"rice"_s, u"boil"_s);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].prompt, u"Please Choose a Recipe"_s);
    EXPECT_EQ(dialogs.shown()[0].title, u"Saporium"_s);
    EXPECT_EQ(dialogs.shown()[0].flags, platform::vbOKOnly);
    EXPECT_EQ(folderEntries(folder.path()), "");
    EXPECT_EQ(command->preview(), nullptr);
}

TEST_F(PrintCommandTest, UnwritableFolderIsReportedAndOpensNoPreview)
{
    const QString gone = folder.filePath(u"gone"_s);
    printdoc::PrintCommand print(dialogs, gone);
    print.run(u"Rice"_s, {}, u"rice"_s, u"boil"_s);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].flags, platform::vbCritical);
    EXPECT_TRUE(dialogs.shown()[0].prompt.contains(gone + u"/print.txt"_s))
        << dialogs.shown()[0].prompt.toStdString();
    EXPECT_EQ(print.preview(), nullptr);
}

// Something other than a regular file at one print file's name. Links point into `elsewhere`,
// another folder of the user's.
struct Obstacle {
    const char *label;
    QString name;
    bool (*make)(const QString &at, const QString &elsewhere);
};

const Obstacle kObstacles[] = {
    {"LinkToAnotherFile", u"print.htm"_s,
     [](const QString &at, const QString &elsewhere) {
         return writeFile(elsewhere + u"/notes.txt"_s, "my notes")
             && QFile::link(elsewhere + u"/notes.txt"_s, at);
     }},
    {"DanglingLink", u"print.txt"_s,
     [](const QString &at, const QString &elsewhere) {
         return QFile::link(elsewhere + u"/new.txt"_s, at);
     }},
    {"Folder", u"print.txt"_s, [](const QString &at, const QString &) { return QDir().mkdir(at); }},
    {"Fifo", u"print.htm"_s,
     [](const QString &at, const QString &) {
         return ::mkfifo(QFile::encodeName(at).constData(), 0644) == 0;
     }},
};

class PrintObstacles : public PrintCommandTest, public ::testing::WithParamInterface<Obstacle> {};

TEST_P(PrintObstacles, AnythingButARegularFileAtAPrintNameStopsThePrintBeforeAnythingIsWritten)
{
    const Obstacle &o = GetParam();
    QTemporaryDir elsewhere;
    ASSERT_TRUE(writeFile(folder.filePath(u"print.txt"_s), "old text")
                && writeFile(folder.filePath(u"print.htm"_s), "old page"));
    const QString at = folder.filePath(o.name);
    ASSERT_TRUE(QFile::remove(at) && o.make(at, elsewhere.path()));
    const std::string before = entriesWithContents(folder.path()) + "| "
        + entriesWithContents(elsewhere.path());

    command->run(u"Rice"_s, {}, u"rice"_s, u"boil"_s);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].flags, platform::vbCritical);
    const QString &prompt = dialogs.shown()[0].prompt;
    EXPECT_TRUE(prompt.contains(QDir::toNativeSeparators(at))
                && prompt.contains(u"not a regular file"_s))
        << prompt.toStdString();
    EXPECT_EQ(entriesWithContents(folder.path()) + "| " + entriesWithContents(elsewhere.path()),
              before);
    EXPECT_EQ(command->preview(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Names, PrintObstacles, ::testing::ValuesIn(kObstacles),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(PrintCommandTest, OnePreviewIsReusedAndReloadedWhileOpenAndMadeAgainAfterClosing)
{
    command->run(u"  Apple Pie "_s, {}, u"apples"_s, u"bake"_s);
    QPointer<frmprint> first = command->preview();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->parentWidget(), nullptr);
    EXPECT_EQ(first->windowModality(), Qt::NonModal);
    EXPECT_EQ(first->windowTitle(), u"Print [ Apple Pie ] Recipe"_s);
    EXPECT_TRUE(shownPage(first).contains(u"Name: Apple Pie\n"_s));

    first->xptopbuttons3_Click();
    command->run(u"Bean Stew"_s, {}, u"beans"_s, u"stew"_s);
    EXPECT_EQ(command->preview(), first.data());
    EXPECT_FALSE(first->isMinimized());
    EXPECT_EQ(first->windowTitle(), u"Print [ Bean Stew ] Recipe"_s);
    EXPECT_TRUE(shownPage(first).contains(u"Bean Stew"_s));
    EXPECT_FALSE(shownPage(first).contains(u"Apple Pie"_s));

    QTest::mouseClick(first->findChild<xpcmdbutton *>(u"printform"_s), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(command->preview(), nullptr);

    command->run(u"Carrot Cake"_s, {}, u"carrots"_s, u"bake"_s);
    ASSERT_NE(command->preview(), nullptr);
    EXPECT_TRUE(command->preview()->isVisible());
    EXPECT_TRUE(shownPage(command->preview()).contains(u"Carrot Cake"_s));
    EXPECT_TRUE(dialogs.shown().empty());
}

// A frameless stand-in for the main window, at its size.
class PlacementTest : public PrintCommandTest {
protected:
    void SetUp() override
    {
        mainWindow.setWindowFlag(Qt::FramelessWindowHint);
        mainWindow.resize(649, 434);
    }
    void TearDown() override
    {
        print.reset();
        PrintCommandTest::TearDown();
    }
    void printRice() { print->run(u"Rice"_s, {}, u"rice"_s, u"boil"_s); }

    QWidget mainWindow;
    std::unique_ptr<printdoc::PrintCommand> print =
        std::make_unique<printdoc::PrintCommand>(dialogs, folder.path(), &mainWindow);
};

// Centres may differ by the half pixel an odd width or height cannot split.
void expectSameCentre(const QRect &a, const QRect &b)
{
    EXPECT_LE((a.center() - b.center()).manhattanLength(), 2)
        << a.center().x() << "," << a.center().y() << " vs " << b.center().x() << ","
        << b.center().y();
}

TEST_F(PlacementTest, NewPreviewOpensCentredOverTheMainWindowAndThenStaysWhereTheUserPutsIt)
{
    mainWindow.move(10, 30);
    mainWindow.show();
    printRice();
    QPointer<frmprint> first = print->preview();
    ASSERT_NE(first, nullptr);
    expectSameCentre(first->frameGeometry(), mainWindow.frameGeometry());

    first->move(5, 7);
    printRice();
    EXPECT_EQ(first->pos(), QPoint(5, 7));

    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    mainWindow.move(160, 130);
    printRice();
    ASSERT_NE(print->preview(), nullptr);
    expectSameCentre(print->preview()->frameGeometry(), mainWindow.frameGeometry());
}

// The preview is taller than the main window: centred over one at the top of the screen, its
// painted caption would be out of reach.
TEST_F(PlacementTest, PreviewOverAMainWindowAtTheScreenTopStaysOnTheScreen)
{
    const QRect screen = mainWindow.screen()->availableGeometry();
    mainWindow.move(screen.left() + 70, screen.top());
    mainWindow.show();
    printRice();
    ASSERT_NE(print->preview(), nullptr);
    const QRect preview = print->preview()->frameGeometry();
    EXPECT_EQ(preview.top(), screen.top());
    EXPECT_LE(std::abs(preview.center().x() - mainWindow.frameGeometry().center().x()), 1);
}

TEST_F(PrintCommandTest, PreviewEndsWithTheProgramAndWithTheCommand)
{
    command->run(u"Apple Pie"_s, {}, u"apples"_s, u"bake"_s);
    QPointer<frmprint> preview = command->preview();
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
    EXPECT_EQ(command->preview(), nullptr);

    // The preview shows its messages through the command's dialogs, so it must not outlive them.
    command->run(u"Apple Pie"_s, {}, u"apples"_s, u"bake"_s);
    preview = command->preview();
    ASSERT_FALSE(preview.isNull());
    command.reset();
    EXPECT_TRUE(preview.isNull());
}

}  // namespace
