// Search across recipes without a window: the query language, keeping the index right, and where
// the index file may be kept.
#include "core/backups.h"
#include "core/collection.h"
#include "core/recipe_batch.h"
#include "core/search_index.h"
#include "support/ordinary_user.h"
#include "support/temp_db.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using recipes::Collection;
using recipes::Recipe;
using recipes::SearchHit;
using recipes::SearchIndex;
using testsupport::row;

std::string native(const QString &path) { return QFile::encodeName(path).toStdString(); }

class SearchTest : public ::testing::Test {
protected:
    SearchTest()
    {
        db.create();
        db.addCategory(QStringLiteral("Desserts"),
                       {row(QStringLiteral("Cr\u00E8me br\u00FBl\u00E9e "), QStringLiteral("Ann "),
                            QStringLiteral("cream\r\nsugar\r\neggs "), QStringLiteral("Bake, then burn the sugar. ")),
                        row(QStringLiteral("Apple tart "), QStringLiteral("Bo "), QStringLiteral("apples\r\nbutter "),
                            QStringLiteral("Bake. "))});
        db.addCategory(QStringLiteral("Soups"),
                       {row(QStringLiteral("Tomato soup "), QStringLiteral("Bo "), QStringLiteral("tomatoes\r\ncream "),
                            QStringLiteral("Simmer. ")),
                        row(QStringLiteral("Leek and potato soup "), QStringLiteral("Cy "),
                            QStringLiteral("leeks\r\npotatoes\r\nstock "), QStringLiteral("Simmer, then blend. "))});
    }

    // The hits as "Category/Name".
    static QStringList names(const std::vector<SearchHit> &hits)
    {
        QStringList out;
        for (const SearchHit &hit : hits)
            out.append(hit.category + QLatin1Char('/') + hit.name);
        return out;
    }

    testsupport::TempDb db;
};

TEST_F(SearchTest, QueriesMatchWordStartsWithoutCaseOrAccentsAndHonourExclusionsPhrasesAndFields)
{
    SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(index.sync(), 4);
    const QString creme = QStringLiteral("Desserts/Cr\u00E8me br\u00FBl\u00E9e");
    const QString apple = QStringLiteral("Desserts/Apple tart");
    const QString tomato = QStringLiteral("Soups/Tomato soup");
    const QString leek = QStringLiteral("Soups/Leek and potato soup");
    const struct {
        QString typed;
        QStringList found;
    } cases[] = {
        {QStringLiteral("creme"), {creme}},
        {QStringLiteral("BR\u00DBL"), {creme}},
        {QStringLiteral("tom"), {tomato}},
        {QStringLiteral("soup"), {tomato, leek}},
        {QStringLiteral("cream"), {creme, tomato}},
        {QStringLiteral("bake sugar"), {creme}},
        {QStringLiteral("soup -cream"), {leek}},
        {QStringLiteral("-cream"), {apple, leek}},
        {QStringLiteral("\"potato soup\""), {leek}},
        {QStringLiteral("\"soup potato\""), {}},
        {QStringLiteral("author:bo"), {apple, tomato}},
        {QStringLiteral("name:cream"), {}},
        {QStringLiteral("ingredients:cream -name:tomato"), {creme}},
        {QStringLiteral("cream -\"burn the\" -eggs"), {tomato}},
        {QStringLiteral("name:\"and potato\""), {leek}},
        {QStringLiteral("\"tomato"), {tomato}},
        {QStringLiteral("- leek"), {leek}},
        {QStringLiteral("OR NEAR"), {}},
        {QStringLiteral("then, blend!"), {leek}},
        {QStringLiteral("-"), {}},
        {QString(), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(names(index.find(c.typed)), c.found) << c.typed.toStdString();
}

TEST_F(SearchTest, TheIndexFollowsOwnAndOtherProgramsChangesRewritingOnlyWhatDiffers)
{
    const QString indexFile = SearchIndex::indexPathFor(db.filePath());
    {
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        index.sync();
        EXPECT_EQ(index.sync(), 0) << "nothing changed";

        // Another program's changes: read again at the next sync.
        ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Soups SET Name = 'Onion soup ' WHERE Name = 'Tomato soup '")), 0);
        ASSERT_EQ(db.rawExec(QStringLiteral("DELETE FROM Desserts WHERE Name = 'Apple tart '")), 0);
        EXPECT_EQ(index.sync(), 2);
        EXPECT_EQ(names(index.find(QStringLiteral("soup"))),
                  (QStringList{QStringLiteral("Soups/Onion soup"), QStringLiteral("Soups/Leek and potato soup")}));
        EXPECT_TRUE(index.find(QStringLiteral("apple")).empty());

        // The program's own changes, taken in as they are told.
        QObject receiver;
        QObject::connect(&recipes::ChangeFeed::instance(), &recipes::ChangeFeed::changed, &receiver,
                         [&](const recipes::Change &change) { index.apply(change); });
        Collection collection(db.basePath(), recipes::kBuiltInPassword);
        collection.addRecipe(QStringLiteral("Soups"), Recipe{QStringLiteral(" Pea soup"), {}, QStringLiteral("peas"), {}});
        collection.updateRecipe(QStringLiteral("Soups"), QStringLiteral("Onion soup"),
                                Recipe{QStringLiteral("Onion broth"), {}, {}, {}});
        collection.deleteCategory(QStringLiteral("desserts"));
        {
            recipes::RecipeBatch batch(collection);
            batch.add(batch.category(QStringLiteral("Soups")), Recipe{QStringLiteral("Bean soup"), {}, {}, {}});
            batch.commit();
        }
        EXPECT_EQ(names(index.find(QStringLiteral("soup"))),
                  (QStringList{QStringLiteral("Soups/Leek and potato soup"), QStringLiteral("Soups/Pea soup"),
                               QStringLiteral("Soups/Bean soup")}));
        EXPECT_TRUE(index.find(QStringLiteral("creme")).empty());
        EXPECT_EQ(index.sync(), 0) << "the own changes left nothing to catch up";
    }
    // The index file is encrypted, holds nothing the recipe file lacks, and may go at any time.
    QFile file(indexFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("Leek"));
    file.close();
    EXPECT_EQ(db.tables(), QStringList{QStringLiteral("Soups")}) << "nothing was added to the recipe file";
    ASSERT_TRUE(QFile::remove(indexFile));
    SearchIndex rebuilt(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(rebuilt.sync(), 4);
    EXPECT_EQ(rebuilt.find(QStringLiteral("pea")).size(), 1u);
}

// Five breads beside the fixture's two desserts and two soups, so that each category is read a
// count of recipes of its own.
void addBreads(testsupport::TempDb &db)
{
    std::vector<testsupport::Row> breads;
    for (const char *name : {"Rye bread ", "Soda bread ", "Naan ", "Focaccia ", "Brioche "})
        breads.push_back(row(QString::fromLatin1(name), QStringLiteral("Di "), QStringLiteral("flour "),
                             QStringLiteral("Bake. ")));
    db.addCategory(QStringLiteral("Breads"), breads);
}

const QStringList kProbes = {QStringLiteral("bake"), QStringLiteral("soup"), QStringLiteral("bread -rye"),
                             QStringLiteral("author:di"), QStringLiteral("cream")};

TEST_F(SearchTest, ABuildInStepsAnswersAsOneStepDoesAndNoStepHandlesMoreThanItsBound)
{
    addBreads(db);
    const QString indexFile = SearchIndex::indexPathFor(db.filePath());
    std::map<QString, QStringList> whole;
    {
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        EXPECT_EQ(index.catchUp(), 9);
        for (const QString &probe : kProbes)
            whole[probe] = names(index.find(probe));
    }
    for (const int bound : {1, 2, 4}) {
        SCOPED_TRACE(bound);
        ASSERT_TRUE(QFile::remove(indexFile));
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        index.setStepRows(bound);
        std::vector<int> steps;
        index.setStepObserver([&](int recipes) { steps.push_back(recipes); });
        EXPECT_EQ(index.catchUp(), 9);
        for (const QString &probe : kProbes)
            EXPECT_EQ(names(index.find(probe)).join(u'|').toStdString(), whole[probe].join(u'|').toStdString())
                << probe.toStdString();
        EXPECT_GE(steps.size(), static_cast<std::size_t>((9 + bound - 1) / bound));
        EXPECT_LE(*std::max_element(steps.begin(), steps.end()), bound);
    }

    // Recipes gone from the file leave the index in steps too.
    SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
    index.setStepRows(2);
    std::vector<int> steps;
    index.setStepObserver([&](int recipes) { steps.push_back(recipes); });
    ASSERT_EQ(db.rawExec(QStringLiteral("DELETE FROM Breads WHERE Name <> 'Naan '")), 0);
    EXPECT_EQ(index.catchUp(), 4);
    EXPECT_LE(*std::max_element(steps.begin(), steps.end()), 2);
    EXPECT_EQ(names(index.find(QStringLiteral("flour"))), QStringList{QStringLiteral("Breads/Naan")});
}

TEST_F(SearchTest, AnUnchangedFileIsCheckedWithoutReadingARecipeAndAChangeRereadsOnlyItsCategory)
{
    addBreads(db);
    { SearchIndex(db.basePath(), recipes::kBuiltInPassword).catchUp(); }
    Collection collection(db.basePath(), recipes::kBuiltInPassword);
    const auto other = [&](const char *sql) {
        return [&, sql](SearchIndex &) { ASSERT_EQ(db.rawExec(QString::fromLatin1(sql)), 0); };
    };
    const struct {
        const char *label;
        std::function<void(SearchIndex &)> change;  // made before a new run's first search
        bool toldInRun;  // the change is made while an index is open and told to it
        std::int64_t read;
        QString probe;
        QStringList found;
    } cases[] = {
        {"nothing changed", [](SearchIndex &) {}, false, 0, QStringLiteral("soup"),
         {QStringLiteral("Soups/Tomato soup"), QStringLiteral("Soups/Leek and potato soup")}},
        {"another program adds", other("INSERT INTO Soups (Name) VALUES ('Pea soup ')"), false, 3,
         QStringLiteral("pea"), {QStringLiteral("Soups/Pea soup")}},
        {"another program deletes", other("DELETE FROM Desserts WHERE Name = 'Apple tart '"), false, 1,
         QStringLiteral("apple"), {}},
        {"another program renames", other("UPDATE Breads SET Name = 'Rye loaf ' WHERE Name = 'Rye bread '"), false,
         5, QStringLiteral("loaf"), {QStringLiteral("Breads/Rye loaf")}},
        {"another program edits instructions alone, keeping every row number and length",
         other("UPDATE Breads SET Instructions = 'Grill ' WHERE Name = 'Focaccia '"), false, 5,
         QStringLiteral("grill"), {QStringLiteral("Breads/Focaccia")}},
        {"the program edits, in an earlier run",
         [&](SearchIndex &) {
             collection.updateRecipe(QStringLiteral("Breads"), QStringLiteral("Naan"),
                                     Recipe{QStringLiteral("Naan"), {}, QStringLiteral("yoghurt"), {}});
         },
         false, 5, QStringLiteral("yoghurt"), {QStringLiteral("Breads/Naan")}},
        {"the program adds, told to the open index",
         [&](SearchIndex &) { collection.addRecipe(QStringLiteral("Soups"), Recipe{QStringLiteral("Bean soup"), {}, {}, {}}); },
         true, 4, QStringLiteral("bean"), {QStringLiteral("Soups/Bean soup")}},
        {"the program deletes a category, told to the open index",
         [&](SearchIndex &) { collection.deleteCategory(QStringLiteral("Desserts")); }, true, 0,
         QStringLiteral("creme"), {}},
        // Last: the collection above still holds the file this replaces.
        {"a backup restored, with the marks of the file it replaces",
         [&](SearchIndex &open) {
             const QString backup = recipes::Backups::make(db.filePath(), recipes::kBuiltInPassword);
             ASSERT_EQ(db.rawExec(QStringLiteral("UPDATE Breads SET Instructions = 'Boil. ' WHERE Name = 'Naan '")), 0);
             open.sync();
             ASSERT_EQ(open.find(QStringLiteral("boil")).size(), 1u);
             ASSERT_TRUE(QFile::remove(db.filePath()));
             ASSERT_TRUE(QFile::copy(backup, db.filePath()));
         },
         false, 9, QStringLiteral("boil"), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        {
            SearchIndex open(db.basePath(), recipes::kBuiltInPassword);
            open.catchUp();
            QObject receiver;
            if (c.toldInRun)
                QObject::connect(&recipes::ChangeFeed::instance(), &recipes::ChangeFeed::changed, &receiver,
                                 [&](const recipes::Change &change) { open.apply(change); });
            c.change(open);
        }
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        index.catchUp();
        EXPECT_EQ(index.recipesRead(), c.read);
        EXPECT_EQ(names(index.find(c.probe)), c.found);
        EXPECT_EQ(index.catchUp(), 0);
        EXPECT_EQ(index.recipesRead(), c.read) << "the second look read again";
    }
}

TEST_F(SearchTest, AnInterruptedBuildIsNeverTakenForCompleteAndResumesWhereItStopped)
{
    addBreads(db);
    const QString indexFile = SearchIndex::indexPathFor(db.filePath());
    std::map<QString, QStringList> whole;
    {
        SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
        index.catchUp();
        for (const QString &probe : kProbes)
            whole[probe] = names(index.find(probe));
    }
    struct Stop {};
    // Steps of one recipe: 3 for each dessert and soup (the last finds no more), 6 for the breads.
    for (const int stopAfter : {1, 2, 3, 5, 8, 11}) {
        SCOPED_TRACE(stopAfter);
        ASSERT_TRUE(QFile::remove(indexFile));
        int written = 0;
        {
            SearchIndex index(db.basePath(), recipes::kBuiltInPassword);
            index.setStepRows(1);
            int steps = 0;
            index.setStepObserver([&](int recipes) {
                written += recipes;
                if (++steps == stopAfter)
                    throw Stop{};
            });
            EXPECT_THROW(index.catchUp(), Stop);
            EXPECT_THAT(testsupport::engineError([&] { index.find(QStringLiteral("bake")); }),
                        ::testing::HasSubstr("not ready"));
        }
        SearchIndex resumed(db.basePath(), recipes::kBuiltInPassword);
        EXPECT_THAT(testsupport::engineError([&] { resumed.find(QStringLiteral("bake")); }),
                    ::testing::HasSubstr("not ready"));
        EXPECT_EQ(resumed.catchUp(), 9 - written) << "what was finished is not written again";
        EXPECT_EQ(resumed.count(), 9);
        for (const QString &probe : kProbes)
            EXPECT_EQ(names(resumed.find(probe)), whole[probe]) << probe.toStdString();
    }
}

TEST_F(SearchTest, WhateverIsPlantedAtTheIndexNamesIsReplacedNeverWrittenThrough)
{
    testsupport::TempDb other;
    other.create();
    other.addCategory(QStringLiteral("Others"), {row(QStringLiteral("Kept "))});
    const std::string index = native(SearchIndex::indexPathFor(db.filePath()));
    const std::string own = native(db.filePath());
    const std::string theirs = native(other.filePath());
    const std::string missing = native(other.folder() + QStringLiteral("/missing.mdb"));
    
    const struct {
        const char *label;
        const char *suffix;  // of the planted name, after the index file's
        bool rootOnly;       // only root can give a file to another owner
        std::function<int(const std::string &)> plant;
    } cases[] = {
        {"a link to the recipe file itself", "", false, [&](const std::string &at) { return ::symlink(own.c_str(), at.c_str()); }},
        {"a link to another recipe file", "", false, [&](const std::string &at) { return ::symlink(theirs.c_str(), at.c_str()); }},
        {"a link to a missing file", "", false, [&](const std::string &at) { return ::symlink(missing.c_str(), at.c_str()); }},
        {"a FIFO", "", false, [](const std::string &at) { return ::mkfifo(at.c_str(), 0600); }},
        {"a second name of another recipe file", "", false, [&](const std::string &at) { return ::link(theirs.c_str(), at.c_str()); }},
        {"another user's recipe file", "", true,
         [&](const std::string &at) {
             return QFile::copy(other.filePath(), QFile::decodeName(at.c_str())) ? ::chown(at.c_str(), 65534, 65534) : -1;
         }},
        {"a journal link to another recipe file", "-journal", false,
         [&](const std::string &at) { return ::symlink(theirs.c_str(), at.c_str()); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        if (c.rootOnly && ::geteuid() != 0)
            continue;
        ::unlink(index.c_str());
        ::unlink((index + "-journal").c_str());
        ASSERT_EQ(c.plant(index + c.suffix), 0) << std::strerror(errno);
        const QByteArray ownBefore = db.fileBytes();
        const QByteArray theirsBefore = other.fileBytes();
        EXPECT_EQ(testsupport::engineError([&] {
                      SearchIndex search(db.basePath(), recipes::kBuiltInPassword);
                      EXPECT_EQ(search.sync(), 4);
                      EXPECT_EQ(names(search.find(QStringLiteral("leek"))).join(QLatin1Char('|')).toStdString(),
                                "Soups/Leek and potato soup");
                  }),
                  "(no error)");
        EXPECT_TRUE(db.fileBytes() == ownBefore) << "the recipe file was written";
        EXPECT_TRUE(other.fileBytes() == theirsBefore) << "the other recipe file was written";
        struct stat st {};
        ASSERT_EQ(::lstat(index.c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_uid, ::geteuid());
        EXPECT_EQ(st.st_nlink, 1u);
        EXPECT_EQ(st.st_mode & 077, 0u);
    }

    // A folder cannot be removed in passing: the search says why it cannot work.
    ::unlink(index.c_str());
    ASSERT_EQ(::mkdir(index.c_str(), 0700), 0);
    EXPECT_THAT(testsupport::engineError([&] { SearchIndex(db.basePath(), recipes::kBuiltInPassword); }),
                ::testing::AllOf(::testing::HasSubstr(index), ::testing::HasSubstr("a folder has that name")));

    // An index another program holds is sound, its journal live: the search says so and keeps it.
    ASSERT_EQ(::rmdir(index.c_str()), 0);
    SearchIndex(db.basePath(), recipes::kBuiltInPassword).sync();
    if (QStandardPaths::findExecutable(QStringLiteral("sqlcipher")).isEmpty())
        GTEST_SKIP() << "no sqlcipher shell to hold the index";
    struct stat made {};
    ASSERT_EQ(::lstat(index.c_str(), &made), 0);
    QProcess holder;
    holder.start(QStringLiteral("sqlcipher"), {QStringLiteral("-batch"), QFile::decodeName(index.c_str())});
    holder.write(QByteArray("PRAGMA key = '") + recipes::kBuiltInPassword.toUtf8()
                 + "';\nBEGIN EXCLUSIVE;\nSELECT 'held';\n");
    while (!holder.readAllStandardOutput().contains("held"))
        ASSERT_TRUE(holder.waitForReadyRead(60000)) << "the shell never took the lock";
    EXPECT_THAT(testsupport::engineError([&] { SearchIndex(db.basePath(), recipes::kBuiltInPassword); }),
                ::testing::HasSubstr("locked by another program"));
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(60000));
    struct stat kept {};
    ASSERT_EQ(::lstat(index.c_str(), &kept), 0);
    EXPECT_EQ(kept.st_ino, made.st_ino) << "the busy index was made anew";
}

TEST_F(SearchTest, AFolderNotTheUsersAloneToWriteKeepsTheIndexInTheirPrivateCacheFolder)
{
    if (testsupport::ranAsOrdinaryUser())
        return;
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QString cacheHome = home.path() + QStringLiteral("/cache");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome));
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    ASSERT_TRUE(cache.startsWith(cacheHome + QLatin1Char('/'))) << cache.toStdString();
    const std::string folder = native(db.folder());
    const std::string elsewhere = native(home.path() + QStringLiteral("/elsewhere"));
    const struct {
        const char *label;
        mode_t folderMode;
        std::function<int()> prepareCache;
        const char *refusal;  // none when the index is to be made
    } cases[] = {
        {"a read-only folder", 0500, [] { return 0; }, nullptr},
        {"a folder everyone may write, sticky", 01777, [] { return 0; }, nullptr},
        {"a folder its group may write", 0770, [] { return 0; }, nullptr},
        {"a cache folder that is a link", 0500,
         [&] {
             return QDir().mkpath(QFileInfo(cache).path()) && ::mkdir(elsewhere.c_str(), 0700) == 0
                 ? ::symlink(elsewhere.c_str(), native(cache).c_str())
                 : -1;
         },
         "it is not a folder"},
        {"a cache folder of the user's that others may open", 0500,
         [&] { return QDir().mkpath(cache) ? ::chmod(native(cache).c_str(), 0775) : -1; }, nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(QDir(cacheHome).removeRecursively());
        ::rmdir(elsewhere.c_str());
        ASSERT_EQ(c.prepareCache(), 0) << std::strerror(errno);
        ASSERT_EQ(::chmod(folder.c_str(), c.folderMode), 0);
        QString index;
        const std::string error = testsupport::engineError([&] {
            index = SearchIndex::indexPathFor(db.filePath());
            SearchIndex search(db.basePath(), recipes::kBuiltInPassword);
            EXPECT_EQ(search.sync(), 4);
            EXPECT_EQ(search.find(QStringLiteral("leek")).size(), 1u);
        });
        ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
        if (c.refusal) {
            EXPECT_THAT(error, ::testing::AllOf(::testing::HasSubstr(cache.toStdString()), ::testing::HasSubstr(c.refusal)));
            continue;
        }
        EXPECT_EQ(error, "(no error)");
        EXPECT_TRUE(index.startsWith(cache + QLatin1Char('/'))) << index.toStdString();
        EXPECT_TRUE(QFileInfo(index).isFile());
        EXPECT_FALSE(QFileInfo::exists(db.filePath() + QStringLiteral(".search")));
        struct stat st {};
        ASSERT_EQ(::lstat(native(cache).c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
        EXPECT_EQ(st.st_mode & 07777, 0700u);
    }
}

}  // namespace
