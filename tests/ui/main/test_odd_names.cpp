// Names another program may have put in the file, which the window itself would refuse: a
// category ending in a blank beside the one without it, one holding a control character, and a
// recipe with no name. Each node acts on exactly the row it shows.

#include "main_window_fixture.h"

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include <utility>

namespace {

const QString kStews = QStringLiteral("Stews");
const QString kStewsBlank = QStringLiteral("Stews ");
const QString kHotPot = QStringLiteral("Hot\u0001Pot");
const QString kSoups = QStringLiteral("Soups");

class OddNamesTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        db.create();
        for (const QString &table : {kStews, kStewsBlank, kHotPot, kSoups}) {
            ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE \"%1\" (Name VARCHAR(255), Author VARCHAR(255), "
                                                "Ingredients TEXT, Instructions TEXT)")
                                     .arg(table)),
                      0);
        }
        db.addRows(kStews, {row(QStringLiteral("Beef "), QStringLiteral("Ann "), QStringLiteral("a "),
                                QStringLiteral("b "))});
        db.addRows(kStewsBlank, {row(QStringLiteral("Beef "), QStringLiteral("Bo "), QStringLiteral("c "),
                                     QStringLiteral("d "))});
        db.addRows(kHotPot, {row(QStringLiteral("Chili "), QStringLiteral("Cy "), QStringLiteral("e "),
                                 QStringLiteral("f "))});
        db.addRows(kSoups, {row(QStringLiteral(" "), QStringLiteral("Di "), QStringLiteral("g "),
                                QStringLiteral("h "))});
        open();
        ui().Tv->expandAll();
    }
};

}  // namespace

TEST_F(OddNamesTest, EachRecipeNodeShowsTheRowOfExactlyItsOwnCategory)
{
    struct Case {
        QString shownCategory, category, recipe, author;
    };
    const Case cases[] = {
        {kStews, kStews, QStringLiteral("Beef"), QStringLiteral("Ann")},
        {kStewsBlank, kStewsBlank, QStringLiteral("Beef"), QStringLiteral("Bo")},
        {QStringLiteral("Hot\u2401Pot"), kHotPot, QStringLiteral("Chili"), QStringLiteral("Cy")},
        {kSoups, kSoups, QString(), QStringLiteral("Di")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.shownCategory.toStdString());
        ASSERT_TRUE(findNode(c.shownCategory, QStringLiteral("Saporium")).isValid()) << "shown as it reads";
        clickNode(c.recipe, c.shownCategory);
        EXPECT_EQ(boxes()[1], c.author);
        EXPECT_EQ(store().SelRecipeCategory, c.category);
        EXPECT_EQ(store().SelRecipe, c.recipe);
        EXPECT_TRUE(store().SelCategory.isEmpty()) << "a recipe node is no category";
    }
    EXPECT_TRUE(dialogs.shown().empty());
}

TEST_F(OddNamesTest, EditAndDeleteChangeOnlyTheRowTheyShow)
{
    clickNode(QStringLiteral("Beef"), kStewsBlank);
    click(ui().Edit);
    ui().Text2->setText(QStringLiteral("Eve"));
    click(ui().saveedited);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Recipe UpDated")});
    EXPECT_EQ(db.rows(kStewsBlank)[0].author, QStringLiteral("Eve "));
    EXPECT_EQ(db.rows(kStews)[0].author, QStringLiteral("Ann ")) << "the look-alike category is untouched";

    clickNode(QStringLiteral("Beef"), kStewsBlank);
    click(ui().delete_);
    EXPECT_EQ(dialogs.messages().back(), QStringLiteral("Record Deleted"));
    EXPECT_TRUE(db.rows(kStewsBlank).empty());
    EXPECT_EQ(db.rows(kStews).size(), 1u);
}

TEST_F(OddNamesTest, SavingARecipeWithNoNameIsRefusedAndKeepsTheBoxesAndTheMode)
{
    const auto before = db.rows(kStews);
    // Adding, into a chosen category.
    click(ui().add);
    clickNode(kStews, QStringLiteral("Saporium"));
    ui().Text1->setText(QStringLiteral("   "));
    ui().Text2->setText(QStringLiteral("Fay"));
    click(ui().Save);
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("Save"), QStringLiteral("Cancel")}));
    EXPECT_EQ(boxes()[1], QStringLiteral("Fay"));
    EXPECT_EQ(store().SelCategory, kStews);
    // Editing a recipe whose name is cleared.
    click(ui().Cancel);
    clickNode(QStringLiteral("Beef"), kStews);
    click(ui().Edit);
    ui().Text1->setText(QString());
    click(ui().saveedited);

    const QString refusal = QStringLiteral("The recipe has no name. Type its name in the Recipe Name box, then save it "
                                           "again.");
    EXPECT_EQ(dialogs.messages(), (std::vector{refusal, refusal}));
    EXPECT_EQ(modeButtons(), (QStringList{QStringLiteral("saveedited"), QStringLiteral("canceledit")}));
    EXPECT_EQ(boxes()[1], QStringLiteral("Ann")) << "the boxes keep the edit";
    EXPECT_EQ(db.rows(kStews), before);
}

TEST_F(OddNamesTest, ANameTooLongForTheTreeShowsWholeInItsToolTip)
{
    const QString longName = QStringLiteral("Slow-braised beef stew with smoked paprika, red wine and root vegetables");
    const QString longCategory = QStringLiteral("Stews, casseroles and other one-pot dishes of winter");
    db.addCategory(longCategory, {row(longName)});
    store().FillCatalogue();
    ui().Tv->expandAll();
    for (const auto &[text, parent] : {std::pair{longName, longCategory}, std::pair{longCategory, QStringLiteral("Saporium")}}) {
        SCOPED_TRACE(text.toStdString());
        const QModelIndex item = findNode(text, parent);
        ASSERT_TRUE(item.isValid());
        ui().Tv->scrollTo(item);
        const QRect rect = ui().Tv->visualRect(item);
        ASSERT_LT(rect.width(), ui().Tv->fontMetrics().horizontalAdvance(text)) << "the name is cut in the tree";
        QHelpEvent ask(QEvent::ToolTip, rect.center(), ui().Tv->viewport()->mapToGlobal(rect.center()));
        QApplication::sendEvent(ui().Tv->viewport(), &ask);
        EXPECT_TRUE(QToolTip::isVisible());
        EXPECT_EQ(QToolTip::text(), text);
        QToolTip::hideText();
    }
}
