#include "ui/print/print_document.h"

#include "print_test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using printtest::fileBytes;
using printtest::folderEntries;
using printtest::golden;

using namespace Qt::StringLiterals;

namespace {

// Four box texts and the golden folder holding the two files they must give.
struct GoldenCase {
    const char *folder;
    QString text1, text2, text3, text4;
};

const GoldenCase kGoldenCases[] = {
    {"empty_author", u"Pancakes"_s, QString(), u"2 eggs, 250 ml milk, 125 g flour"_s,
     u"Whisk everything together and fry thin pancakes in butter."_s},
    {"three_line_ingredients", u"Tomato Salad"_s, u"Mara Quell"_s,
     u"4 ripe tomatoes\n1 red onion\n3 tbsp olive oil"_s,
     u"Slice the tomatoes and the onion.\nDress with the oil and salt."_s},
    // Only spaces are trimmed: the author's tab and the instructions' last line break stay.
    {"trailing_blanks", u"  Lentil Soup  "_s, u"  Ravi\t "_s, u"   1 cup red lentils   "_s,
     u"Simmer for 20 minutes.\n "_s},
    {"markup_characters", u"Fish & Chips <deluxe>"_s, u"\"Captain\" O'Hara"_s,
     u"2 fillets <cod>\nbatter & beer"_s, u"Fry at > 180 degrees until \"golden\" & crisp."_s},
    {"non_ascii", u"Crème brûlée"_s, u"Zoë Ångström"_s, u"½ l Sahne\n4 Eigelb – groß\n砂糖 80 g"_s,
     u"Bake at 150 °C, then caramelise — 🔥 quickly."_s},
    // Text from the database may carry CR LF or a lone CR: each is one line end, like LF.
    {"mixed_line_breaks", u"Bread"_s, u"Anon"_s, u"flour\r\nwater\rsalt\n\nyeast"_s, u"Knead.\n"_s},
};

class PrintFilesGolden : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(PrintFilesGolden, WritesBothFilesByteForByteOverLongerOldOnes)
{
    const GoldenCase &c = GetParam();
    QTemporaryDir folder;
    for (const QString &name : {u"print.txt"_s, u"print.htm"_s}) {
        QFile old(folder.filePath(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(4096, 'x')) == 4096);
    }

    QString error;
    ASSERT_TRUE(
        printdoc::writePrintFiles(folder.path(), c.text1, c.text2, c.text3, c.text4, &error))
        << error.toStdString();

    const QString name = QString::fromLatin1(c.folder);
    EXPECT_EQ(fileBytes(folder.filePath(u"print.txt"_s)), golden(name + u"/print.txt"_s));
    EXPECT_EQ(fileBytes(folder.filePath(u"print.htm"_s)), golden(name + u"/print.htm"_s));
    EXPECT_EQ(folderEntries(folder.path()), "print.htm print.txt");
}

INSTANTIATE_TEST_SUITE_P(Recipes, PrintFilesGolden, ::testing::ValuesIn(kGoldenCases),
                         [](const auto &info) { return std::string(info.param.folder); });

TEST(PrintFiles, PageThatCannotBeWrittenLeavesTheOldTextFileAndNoTemporaries)
{
    QTemporaryDir folder;
    QFile oldText(folder.filePath(u"print.txt"_s));
    ASSERT_TRUE(oldText.open(QIODevice::WriteOnly) && oldText.write("Name: Old\r\n") == 11);
    oldText.close();
    // A folder where the page should go: the page cannot be written, the text file could be.
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"print.htm"_s));

    QString error;
    EXPECT_FALSE(
        printdoc::writePrintFiles(folder.path(), u"Soup"_s, {}, u"water"_s, u"boil"_s, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(folder.filePath(u"print.htm"_s))))
        << error.toStdString();
    EXPECT_EQ(fileBytes(oldText.fileName()), "Name: Old\r\n");
    EXPECT_EQ(folderEntries(folder.path()), "print.htm print.txt");
}

}  // namespace
