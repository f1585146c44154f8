// The tree's import and export commands on the real window: offered on the root and on a
// category only, working on what they were opened on, with a progress box, a report, and the
// tree rebuilt; a recipe page imported by its link from the menu or pasted on the tree.
#include "main_window_fixture.h"
#include "support/page_server.h"

#include "exchange/format_list.h"
#include "exchange/recipe_format.h"
#include "ui/print/pdf_format.h"

#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>

namespace {

// The PDF cookbook is on the list before the window reads it, as the program's start puts it there.
const bool kPdfAdded = (printdoc::addPdfFormat(), true);

class ExchangeTest : public MainWindowTest {
protected:
    void run(const QModelIndex &item, const QString &command)
    {
        menuOn(item);
        for (QAction *action : window->findChild<QMenu *>(QStringLiteral("TreeMenu"))->actions())
            if (action->text() == command)
                return action->trigger();
        ADD_FAILURE() << "no command " << command.toStdString();
    }
    std::vector<testsupport::ScriptedDialogs::Shown::Kind> kindsShown()
    {
        std::vector<testsupport::ScriptedDialogs::Shown::Kind> kinds;
        for (const auto &shown : dialogs.shown())
            kinds.push_back(shown.kind);
        return kinds;
    }
};

using Kind = testsupport::ScriptedDialogs::Shown::Kind;

TEST_F(ExchangeTest, ImportAndExportWorkOnTheNodeTheMenuWasOpenedOn)
{
    makeStarterLikeDb();
    open();
    const QStringList all = {QStringLiteral("Find..."), QStringLiteral("Import recipes..."),
                             QStringLiteral("Import a folder..."), QStringLiteral("Import from a link..."),
                             QStringLiteral("Export...")};
    QStringList root = all;
    root.insert(1, QStringLiteral("Shopping list..."));
    EXPECT_EQ(menuOn(findNode(QStringLiteral("Saporium"))),
              (root + QStringList{QStringLiteral("Back up now..."), QStringLiteral("Restore from a backup..."),
                                  QStringLiteral("Change password..."), QStringLiteral("Open another recipe file..."),
                                  QStringLiteral("Recent files")}));
    EXPECT_EQ(menuOn(findNode(QStringLiteral("Soups"))), all);
    EXPECT_EQ(menuOn(findNode(QStringLiteral("Leek"), QStringLiteral("Soups"))),
              (QStringList{QStringLiteral("Find..."), QStringLiteral("Scale..."), QStringLiteral("Add to shopping list")}));

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.html"));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<html><script type="application/ld+json">[{"@type": "Recipe", "name": "Leek",
        "author": "Ann", "recipeIngredient": ["leeks", "water"], "recipeInstructions": "boil"},
        {"@type": "Recipe", "name": "Miso", "recipeCategory": "Japanese"}]</script></html>)");
    file.close();

    // Into the category it was opened on: the copy of Leek is skipped, Miso goes in there too.
    dialogs.answerOpenFiles({page});
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Import recipes..."));
    EXPECT_EQ(kindsShown(), (std::vector<Kind>{Kind::OpenFiles, Kind::Progress, Kind::Message}));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("1 added, 1 skipped, 0 refused."));
    EXPECT_FALSE(dialogs.progressUpdates().empty());
    EXPECT_EQ(categoryChildren(QStringLiteral("Soups")), 3);
    ASSERT_TRUE(findNode(QStringLiteral("Miso"), QStringLiteral("Soups")).isValid());

    // On the root, each recipe to its own category.
    dialogs.clear();
    dialogs.answerFolder(dir.path());
    run(findNode(QStringLiteral("Saporium")), QStringLiteral("Import a folder..."));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 added, 0 skipped, 0 refused."));
    ASSERT_TRUE(findNode(QStringLiteral("Miso"), QStringLiteral("Japanese")).isValid());
    ASSERT_TRUE(findNode(QStringLiteral("Leek"), QStringLiteral("Imported")).isValid());

    // A category's export holds that category; a cancelled one writes nothing.
    const QString json = dir.filePath(QStringLiteral("soups.json"));
    dialogs.clear();
    dialogs.answerSaveFile(json, 2);
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Export..."));
    EXPECT_TRUE(dialogs.shown().front().title.contains(QStringLiteral("not encrypted")));
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("Exported 3 recipes to %1. The file is not encrypted.").arg(QDir::toNativeSeparators(json)));
    QFile exported(json);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll().count("\"@type\": \"Recipe\""), 3);

    const QString cancelled = dir.filePath(QStringLiteral("all"));
    dialogs.answerSaveFile(cancelled, 3);
    dialogs.cancelProgressAt(1);
    run(findNode(QStringLiteral("Saporium")), QStringLiteral("Export..."));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("The export was cancelled; no file was written."));
    EXPECT_FALSE(QFile::exists(cancelled + QStringLiteral(".mmf")));
}

TEST_F(ExchangeTest, ImportsALinkFromTheMenuOrPastedIntoTheCategoryItIsOn)
{
    makeStarterLikeDb();
    testsupport::PageServer server;
    const auto page = [](const QByteArray &name) {
        return testsupport::PageReply{"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n",
                                      R"(<html><script type="application/ld+json">{"@type": "Recipe", "name": ")" + name
                                          + R"(", "recipeCategory": "Japanese", "recipeIngredient": ["miso"]}</script></html>)"};
    };
    server.serve("/miso", page("Miso"));
    server.serve("/ramen", page("Ramen"));
    server.serve("/udon", page("Udon"));
    server.serve("/dropped", page("Dropped"));
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));

    // Pasted on a recipe: into its category, every link of the clipboard's lines.
    clickNode(QStringLiteral("Rye"), QStringLiteral("Breads"));
    QGuiApplication::clipboard()->setText(server.url("/ramen") + QStringLiteral("\n  ") + server.url("/udon") + u'\n');
    ui().Tv->setFocus();
    QTest::keyClick(ui().Tv, Qt::Key_V, Qt::ControlModifier);
    ASSERT_FALSE(dialogs.messages().empty());
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("2 added, 0 skipped, 0 refused."));
    EXPECT_TRUE(findNode(QStringLiteral("Ramen"), QStringLiteral("Breads")).isValid());
    EXPECT_TRUE(findNode(QStringLiteral("Udon"), QStringLiteral("Breads")).isValid());

    // Dropped on a category: into it, once the drop has returned.
    dialogs.clear();
    QMimeData mime;
    mime.setUrls({QUrl(server.url("/dropped"))});
    const QPoint at = ui().Tv->visualRect(findNode(QStringLiteral("Soups"))).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(ui().Tv->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(ui().Tv->viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs.messages().empty(); }, 60000));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("1 added, 0 skipped, 0 refused."));
    EXPECT_TRUE(findNode(QStringLiteral("Dropped"), QStringLiteral("Soups")).isValid());

    // From a category's menu, into it; an empty answer does nothing.
    dialogs.clear();
    dialogs.answerInputBox(server.url("/miso"));
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Import from a link..."));
    EXPECT_EQ(kindsShown(), (std::vector<Kind>{Kind::Input, Kind::Progress, Kind::Message}));
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("1 added, 0 skipped, 0 refused."));
    EXPECT_TRUE(findNode(QStringLiteral("Miso"), QStringLiteral("Soups")).isValid());
    dialogs.clear();
    dialogs.answerInputBox({});
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Import from a link..."));
    EXPECT_EQ(kindsShown(), std::vector<Kind>{Kind::Input});

    // A link's name and password go to its server only: the report names the link without them.
    dialogs.clear();
    dialogs.answerInputBox(QString(server.url("/gone")).replace(QLatin1String("//"), QLatin1String("//alice:S3cretPw@")));
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Import from a link..."));
    EXPECT_EQ(kindsShown(), (std::vector<Kind>{Kind::Input, Kind::Progress, Kind::Message}));
    EXPECT_TRUE(dialogs.messages().back().startsWith(server.url("/gone") + QStringLiteral(": The server answered 404")))
        << dialogs.messages().back().toStdString();

    EXPECT_FALSE(findNode(QStringLiteral("Japanese"), QStringLiteral("Saporium")).isValid());
}

// The boxes offer the formats of the list; a folder format asks for a folder and says what a
// cancel leaves there.
TEST_F(ExchangeTest, OffersTheListsFormatsAndExportsRecipeFolders)
{
    ASSERT_TRUE(kPdfAdded);
    makeStarterLikeDb();
    open();
    dialogs.answerOpenFiles({});
    run(findNode(QStringLiteral("Saporium")), QStringLiteral("Import recipes..."));
    ASSERT_FALSE(dialogs.shown().empty());
    EXPECT_EQ(dialogs.shown().front().prompt, exchange::formats::importFilter());
    for (const QString &suffix : exchange::formats::readSuffixes())
        EXPECT_TRUE(dialogs.shown().front().prompt.contains(QStringLiteral("*.") + suffix));

    QStringList filters;
    int folderFilter = -1;
    for (const exchange::RecipeFormat *format : exchange::formats::offered()) {
        if (format->writesFolder())
            folderFilter = int(filters.size());
        filters.append(format->filter());
    }
    ASSERT_GE(folderFilter, 0);
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("shared"));
    dialogs.clear();
    dialogs.answerSaveFile(dir.filePath(QStringLiteral("unused")), folderFilter);
    dialogs.answerFolder(shared);
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Export..."));
    EXPECT_EQ(kindsShown(), (std::vector<Kind>{Kind::SaveFile, Kind::Folder, Kind::Progress, Kind::Message}));
    EXPECT_TRUE(dialogs.shown().front().prompt.endsWith(u'|' + filters.join(QStringLiteral(";;"))))
        << dialogs.shown().front().prompt.toStdString();
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Exported 2 recipes to %1. The files are not encrypted.")
                                             .arg(QDir::toNativeSeparators(shared)));
    const QStringList folders = QDir(shared).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    EXPECT_EQ(folders.size(), 2);
    for (const QString &folder : folders)
        EXPECT_TRUE(QFileInfo(QDir(shared).filePath(folder + QStringLiteral("/recipe.json"))).isFile());

    const QString cancelled = dir.filePath(QStringLiteral("cancelled"));
    dialogs.answerSaveFile(dir.filePath(QStringLiteral("unused")), folderFilter);
    dialogs.answerFolder(cancelled);
    dialogs.cancelProgressAt(2);
    run(findNode(QStringLiteral("Soups")), QStringLiteral("Export..."));
    EXPECT_EQ(dialogs.messages().back(),
              QStringLiteral("The export was cancelled; the recipes exported before it are in %1, each whole.")
                  .arg(QDir::toNativeSeparators(cancelled)));
    EXPECT_EQ(QDir(cancelled).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
}

}  // namespace
