// The cookbook as a PDF: contents naming the page each recipe starts on, every recipe whole from
// that page on, a page number on every page, and nothing left at the target when it stops. And
// the export of every format to a file: refused at a link, a folder or a device, and told why
// when the disk takes no more, leaving the old file as it was.
#include "ui/print/pdf_format.h"

#include "core/category_schema.h"
#include "core/collection.h"
#include "exchange/format_list.h"
#include "exchange/recipe_format.h"
#include "print_test_files.h"
#include "support/temp_db.h"

#include <QRegularExpression>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <sys/resource.h>

namespace {

using namespace Qt::StringLiterals;
using printtest::fileBytes;
using printtest::folderEntries;

// On the list of formats, as the program's start puts it there.
const exchange::RecipeFormat &pdfFormat()
{
    static const exchange::RecipeFormat *pdf = [] {
        printdoc::addPdfFormat();
        return exchange::formats::writerNamed(u"pdf"_s);
    }();
    return *pdf;
}

constexpr int kLongSteps = 150;

class CookbookPdf : public ::testing::Test {
protected:
    CookbookPdf()
    {
        using recipes::schema::encode;
        QStringList steps;
        for (int i = 1; i <= kLongSteps; ++i)
            steps << u"Stir the pot, round %1."_s.arg(i);
        db.create();
        db.addCategory(u"Breads & <Buns>"_s,
                       {testsupport::row(encode(u"Soda <Bread> & Co"_s), encode(u"Ann"_s),
                                         encode(u"flour\nsoda"_s), encode(u"Bake."_s)),
                        testsupport::row(encode(u"Crème brûlée"_s), encode(u"Zoë Ångström"_s),
                                         encode(u"cream"_s), encode(u"Burn the sugar."_s))});
        db.addCategory(u"Empty"_s);
        db.addCategory(u"Soups"_s,
                       {testsupport::row(encode(u"Slow Stew"_s), encode(u"Bo"_s),
                                         encode(u"everything"_s), encode(steps.join(u'\n'))),
                        testsupport::row(encode(u"Pea Soup"_s), {}, encode(u"peas"_s),
                                         encode(u"Boil."_s))});
        collection = std::make_unique<recipes::Collection>(db.filePath(), recipes::kBuiltInPassword);
    }

    testsupport::TempDb db;
    std::unique_ptr<recipes::Collection> collection;
    QTemporaryDir out;
};

int pdfPageCount(const std::string &pdf)
{
    static const QRegularExpression page(u"/Type\\s*/Page(?![s\\w])"_s);
    return int(QString::fromLatin1(pdf).count(page));
}

TEST_F(CookbookPdf, ContentsNameThePageEachRecipeStartsOnAndEveryPageIsNumbered)
{
    const QString path = out.filePath(u"cookbook.pdf"_s);
    QString error;
    ASSERT_TRUE(pdfFormat().exportTo(path, *collection, collection->categories(), {}, &error))
        << error.toStdString();
    const std::string pdf = fileBytes(path);
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_EQ(folderEntries(out.path()), "cookbook.pdf");
    // The contents, four short recipes, and the long one over more than one page.
    const int pageCount = pdfPageCount(pdf);
    EXPECT_GE(pageCount, 6);

    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        GTEST_SKIP() << "pdftotext is not installed: the text is not checked";
    const QStringList pages = printtest::visiblePdfPages(path);
    ASSERT_EQ(pages.size(), pageCount);
    for (int i = 0; i < pages.size(); ++i)
        EXPECT_TRUE(pages[i].endsWith(u"Page %1 of %2"_s.arg(i + 1).arg(pageCount)))
            << i + 1 << ": " << pages[i].toStdString();

    const struct {
        QString category;
        QStringList recipes;
    } catalogue[] = {
        {u"Breads & <Buns>"_s, {u"Soda <Bread> & Co"_s, u"Crème brûlée"_s}},
        {u"Empty"_s, {}},
        {u"Soups"_s, {u"Slow Stew"_s, u"Pea Soup"_s}},
    };
    QString pattern = u"Cookbook"_s;
    QStringList names;
    for (const auto &category : catalogue) {
        // A category shows the page of its first recipe, an empty one none.
        pattern += u' ' + QRegularExpression::escape(category.category)
            + (category.recipes.isEmpty() ? QString() : u"[ .]* (\\d+)"_s);
        for (const QString &name : category.recipes) {
            pattern += u' ' + QRegularExpression::escape(name) + u"[ .]* (\\d+)"_s;
            names << name;
        }
    }
    const auto contents = QRegularExpression(u'^' + pattern + u" Page 1 of"_s).match(pages[0]);
    ASSERT_TRUE(contents.hasMatch()) << pages[0].toStdString();

    // Each recipe's pages run from the page the contents names up to the next one's; the first
    // of them starts with its name, and its lines are all there, each once.
    QList<int> starts;
    for (int i = 1; i <= contents.lastCapturedIndex(); ++i)
        starts << contents.captured(i).toInt();
    // Each category's number is its first recipe's.
    EXPECT_EQ(starts[0], starts[1]);
    EXPECT_EQ(starts[3], starts[4]);
    starts.remove(3);
    starts.remove(0);
    starts << pageCount + 1;
    EXPECT_EQ(starts.first(), 2);
    for (qsizetype r = 0; r < names.size(); ++r) {
        SCOPED_TRACE(names[r].toStdString());
        ASSERT_LT(starts[r], starts[r + 1]);
        const QStringList own = pages.mid(starts[r] - 1, starts[r + 1] - starts[r]);
        EXPECT_TRUE(own.first().startsWith(u"Name: "_s + names[r] + u" Author: "_s)) << own.first().toStdString();
        for (qsizetype p = 1; p < own.size(); ++p)
            EXPECT_FALSE(own[p].contains(u"Name: "_s));
        if (names[r] == u"Slow Stew"_s) {
            EXPECT_GE(own.size(), 2) << "the long recipe runs over onto another page";
            const QString text = own.join(u' ');
            for (int i = 1; i <= kLongSteps; ++i)
                EXPECT_EQ(text.count(u"round %1."_s.arg(i)), 1) << "round " << i;
        }
    }
}

TEST_F(CookbookPdf, StoppingOrFailingLeavesTheOldFileAndNothingElse)
{
    // Each recipe is two steps, counted then drawn: eight in all.
    const struct {
        const char *what;
        int cancelAt;  // the step whose progress answers false; -1 for none
        QString file;  // under the output folder
    } cases[] = {
        {"cancelled at the start", 0, u"cookbook.pdf"_s},
        {"cancelled while counting", 2, u"cookbook.pdf"_s},
        {"cancelled while drawing", 6, u"cookbook.pdf"_s},
        {"a folder that is not there", -1, u"missing/cookbook.pdf"_s},
    };
    const QString old = out.filePath(u"cookbook.pdf"_s);
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::WriteOnly) && oldFile.write("old") == 3);
    oldFile.close();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QString error;
        int steps = 0;
        EXPECT_FALSE(pdfFormat().exportTo(
            out.filePath(c.file), *collection, collection->categories(),
            [&](int done, int total) {
                ++steps;
                EXPECT_EQ(total, 8);
                return done != c.cancelAt;
            },
            &error));
        EXPECT_EQ(steps, c.cancelAt + 1);
        EXPECT_EQ(error.isEmpty(), c.cancelAt >= 0) << error.toStdString();
        EXPECT_EQ(folderEntries(out.path()), "cookbook.pdf");
        EXPECT_EQ(fileBytes(old), "old");
    }
}

// While it lives, a file may grow to no more than a few bytes, as on a full disk; a write past
// that fails (EFBIG) instead of killing the process.
class SmallDisk {
public:
    SmallDisk()
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = 200;
        set_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~SmallDisk()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    bool set() const { return set_; }

private:
    rlimit old_ {};
    void (*oldHandler_)(int) = nullptr;
    bool set_ = false;
};

TEST_F(CookbookPdf, AnExportRefusedOrFailedSaysWhyAndLeavesWhatWasThere)
{
    const QString precious = out.filePath(u"precious.txt"_s);
    QFile preciousFile(precious);
    ASSERT_TRUE(preciousFile.open(QIODevice::WriteOnly) && preciousFile.write("precious") == 8);
    preciousFile.close();
    ASSERT_TRUE(QDir(out.path()).mkdir(u"folder.out"_s));
    // A pipe stands for every file that is no regular file: a device of the system's own is not
    // put at risk should the test fail.
    ASSERT_EQ(::mkfifo(QFile::encodeName(out.filePath(u"pipe.out"_s)).constData(), 0600), 0);
    const struct {
        const char *what;
        QString name;  // under the output folder
        QString why;
    } cases[] = {
        {"a link planted at the name", u"link.out"_s, u"it is a symbolic link; "_s},
        {"a folder", u"folder.out"_s, u"it is a folder."_s},
        {"a pipe", u"pipe.out"_s, u"it is not a regular file"_s},
        {"a disk that takes no more", u"old.out"_s, QString::fromLocal8Bit(std::strerror(EFBIG))},
    };
    pdfFormat();
    for (const exchange::RecipeFormat *format : exchange::formats::offered()) {
        if (format->writesFolder())
            continue;
        for (const auto &c : cases) {
            SCOPED_TRACE(format->name().toStdString() + ", " + c.what);
            const QString path = out.filePath(c.name);
            QFile::remove(out.filePath(u"link.out"_s));
            ASSERT_TRUE(QFile::link(precious, out.filePath(u"link.out"_s)));
            QFile old(out.filePath(u"old.out"_s));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
            QString error;
            bool written = true;
            {
                std::optional<SmallDisk> small;
                if (c.name == u"old.out"_s) {
                    small.emplace();
                    ASSERT_TRUE(small->set());
                }
                written = format->exportTo(path, *collection, collection->categories(), {}, &error);
            }
            EXPECT_FALSE(written);
            EXPECT_TRUE(error.startsWith(u"The file %1 could not be written: "_s.arg(path))) << error.toStdString();
            EXPECT_TRUE(error.contains(c.why)) << error.toStdString();
            EXPECT_EQ(folderEntries(out.path()), "folder.out link.out old.out precious.txt");
            struct stat pipeStat {};
            EXPECT_TRUE(::lstat(QFile::encodeName(out.filePath(u"pipe.out"_s)).constData(), &pipeStat) == 0
                        && S_ISFIFO(pipeStat.st_mode)) << "the pipe was replaced";
            EXPECT_TRUE(QFileInfo(out.filePath(u"link.out"_s)).isSymLink());
            EXPECT_TRUE(fileBytes(precious) == "precious") << "the link's target was written";
            EXPECT_TRUE(fileBytes(out.filePath(u"old.out"_s)) == "old") << "the old file was changed";
        }
    }
}

}  // namespace
