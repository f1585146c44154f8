#include "ui/print/print_command.h"

#include "platform/browser.h"
#include "support/scripted_dialogs.h"
#include "ui/print/frmprint.h"
#include "ui/skin/xpcmdbutton.h"

#include "print_test_files.h"

#include <QApplication>
#include <QTemporaryDir>

#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using printtest::folderEntries;

using namespace Qt::StringLiterals;

namespace {

QString shownPage(frmprint *preview)
{
    return preview->findChild<platform::Browser *>(u"WB"_s)->toPlainText();
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
    std::unique_ptr<PrintCommand> command = std::make_unique<PrintCommand>(dialogs, folder.path());
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
    PrintCommand print(dialogs, gone);
    print.run(u"Rice"_s, {}, u"rice"_s, u"boil"_s);

    ASSERT_EQ(dialogs.shown().size(), 1u);
    EXPECT_EQ(dialogs.shown()[0].flags, platform::vbCritical);
    EXPECT_TRUE(dialogs.shown()[0].prompt.contains(gone + u"/print.txt"_s))
        << dialogs.shown()[0].prompt.toStdString();
    EXPECT_EQ(print.preview(), nullptr);
}

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
