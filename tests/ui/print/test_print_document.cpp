#include "ui/print/print_document.h"

#include "print_test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

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

TEST_P(PrintFilesGolden, WritesBothFilesByteForByteOverLongerOldOnesKeepingTheirPermissions)
{
    const GoldenCase &c = GetParam();
    QTemporaryDir folder;
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
        | QFile::WriteUser | QFile::ReadGroup;
    for (const QString &name : {u"print.txt"_s, u"print.htm"_s}) {
        QFile old(folder.filePath(name));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write(QByteArray(4096, 'x')) == 4096
                    && old.setPermissions(permissions));
    }

    QString error;
    ASSERT_TRUE(
        printdoc::writePrintFiles(folder.path(), c.text1, c.text2, c.text3, c.text4, &error))
        << error.toStdString();

    const QString name = QString::fromLatin1(c.folder);
    EXPECT_EQ(fileBytes(folder.filePath(u"print.txt"_s)), golden(name + u"/print.txt"_s));
    EXPECT_EQ(fileBytes(folder.filePath(u"print.htm"_s)), golden(name + u"/print.htm"_s));
    EXPECT_EQ(folderEntries(folder.path()), "print.htm print.txt");
    EXPECT_EQ(QFile::permissions(folder.filePath(u"print.txt"_s)), permissions);
    EXPECT_EQ(QFile::permissions(folder.filePath(u"print.htm"_s)), permissions);
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

// Where the disk runs out: `freeBeyondText` counts free blocks from those print.txt needs, so one
// case fails part-way through print.txt and the other part-way through print.htm, after
// print.txt was written in full.
struct DiskCase {
    const char *label;
    int freeBeyondText;
    QString failing;
};

const DiskCase kDiskCases[] = {
    {"TextFileFailsPartWay", -1, u"print.txt"_s},
    {"PageFailsAfterTheTextFileWasWritten", +1, u"print.htm"_s},
};

// A 64 KiB tmpfs of the test's own, which it can fill. Mounting needs root.
class FullDisk : public ::testing::TestWithParam<DiskCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a tmpfs needs root";
        if (::mount("tmpfs", path().constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k") != 0)
            GTEST_SKIP() << "the tmpfs could not be mounted: " << std::strerror(errno);
        mounted = true;
        struct statvfs disk {};
        ASSERT_EQ(::statvfs(path().constData(), &disk), 0) << std::strerror(errno);
        block = long(disk.f_frsize);
    }
    void TearDown() override
    {
        if (mounted) {
            EXPECT_EQ(::umount(path().constData()), 0) << std::strerror(errno);
        }
    }
    QByteArray path() const { return QFile::encodeName(dir.path()); }

    // Fills the disk with a filler file until exactly `blocks` blocks are left free.
    void leaveFree(long blocks)
    {
        const QByteArray filler = path() + "/filler";
        const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0) << std::strerror(errno);
        const QByteArray chunk(block, 'f');
        off_t size = 0;
        ssize_t written;
        while ((written = ::write(fd, chunk.constData(), size_t(chunk.size()))) > 0)
            size += written;
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(::ftruncate(fd, size - blocks * block), 0) << std::strerror(errno);
        EXPECT_EQ(::close(fd), 0);
        struct statvfs disk {};
        ASSERT_EQ(::statvfs(path().constData(), &disk), 0);
        ASSERT_EQ(long(disk.f_bavail), blocks);
    }

    QTemporaryDir dir;
    bool mounted = false;
    long block = 0;  // the disk's allocation unit, in bytes
};

TEST_P(FullDisk, APrintFileThatDoesNotFitLeavesBothOldFilesAndTellsTheDisksReason)
{
    const DiskCase &c = GetParam();
    QStringList steps;
    for (int i = 1; i <= 400; ++i)
        steps << u"Stir the pot, round %1."_s.arg(i);
    const QString instructions = steps.join(u'\n');
    const QByteArray text = printdoc::printText(u"Rice"_s, {}, u"rice"_s, instructions);
    const QByteArray page = printdoc::printHtml(text);
    const long textBlocks = long((text.size() + block - 1) / block);
    ASSERT_GE(textBlocks, 2) << "print.txt must fail part-way, not at its first byte";
    ASSERT_GE(long((page.size() + block - 1) / block), 2);

    const QString folder = dir.path();
    for (const QString &name : {u"print.txt"_s, u"print.htm"_s}) {
        QFile old(folder + u'/' + name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old " + name.toUtf8()) > 0);
    }
    ASSERT_NO_FATAL_FAILURE(leaveFree(textBlocks + c.freeBeyondText));

    QString error;
    EXPECT_FALSE(
        printdoc::writePrintFiles(folder, u"Rice"_s, {}, u"rice"_s, instructions, &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(folder + u'/' + c.failing))
                && error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << error.toStdString();
    EXPECT_EQ(fileBytes(folder + u"/print.txt"_s), "old print.txt");
    EXPECT_EQ(fileBytes(folder + u"/print.htm"_s), "old print.htm");
    EXPECT_EQ(folderEntries(folder), "filler print.htm print.txt");
}

INSTANTIATE_TEST_SUITE_P(Disk, FullDisk, ::testing::ValuesIn(kDiskCases),
                         [](const auto &info) { return std::string(info.param.label); });

}  // namespace
