// The catalogue model against the file: after any series of the program's own changes, read
// in part or in whole, its rows are the file's rows in stored order, and a change by another
// program shows after reload().
#include "core/collection.h"
#include "platform/tree_node.h"
#include "store/RecipeBas.h"
#include "store/catalogue_model.h"
#include "support/temp_db.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using testsupport::row;

// Each category's recipes as the model holds them, checked against the file: as many rows, and
// the rows at both ends (or every row, with whole) named as the file names them.
void expectMatchesFile(CatalogueModel &model, recipes::Collection &file, const std::string &step, bool whole = false)
{
    const QModelIndex root = model.index(0, 0);
    ASSERT_EQ(root.data(platform::kNodeKeyRole).toString(), RecipeBas::kRootKey) << step;
    const QStringList categories = file.categories();
    ASSERT_EQ(model.rowCount(root), categories.size()) << step;
    for (int c = 0; c < categories.size(); ++c) {
        const QModelIndex category = model.index(c, 0, root);
        ASSERT_EQ(category.data(platform::kNodeKeyRole).toString(), categories[c]) << step;
        const QStringList names = file.recipeNames(categories[c]);
        const int shown = model.rowCount(category);
        ASSERT_EQ(shown, names.size()) << step << " in " << categories[c].toStdString();
        for (int r = 0; r < shown; ++r) {
            if (!whole && r >= 2 && r < shown - 2)
                continue;
            ASSERT_EQ(model.index(r, 0, category).data().toString(), names[r])
                << step << " at " << categories[c].toStdString() << " row " << r;
        }
    }
}

}  // namespace

TEST(CatalogueModel, RowsFollowEveryChangeAsTheFileHoldsIt)
{
    testsupport::TempDb db;
    db.create();
    db.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("  Rye  ")), row(QStringLiteral("Spelt "))});
    std::vector<testsupport::Row> many;
    for (int i = 0; i < 3 * CatalogueModel::kChunk + 40; ++i)
        many.push_back(row(QStringLiteral("Soup ") + QString::number(i) + QLatin1Char(' ')));
    db.addCategory(QStringLiteral("Soups"), many);
    db.addCategory(QStringLiteral("Empty"));

    CatalogueModel model(db.basePath(), recipes::kBuiltInPassword, {});
    model.reload();
    recipes::Collection file(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(model.namesRead(), 2) << "no name is read before it is asked for, but each category's first";
    const QModelIndex soups = model.categoryIndex(QStringLiteral("Soups"));
    EXPECT_EQ(model.index(model.rowCount(soups) - 1, 0, soups).data().toString(), QStringLiteral("Soup 807"));
    EXPECT_EQ(model.namesRead(), 2 + CatalogueModel::kChunk) << "the last row is read from the end";
    // The tester asks every category for its rows.
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    expectMatchesFile(model, file, "opened");

    QRandomGenerator random(20240611);
    const auto pick = [&](const QStringList &from) { return from[random.bounded(int(from.size()))]; };
    const recipes::Recipe typed{QStringLiteral("Pie"), QString(), QStringLiteral("i"), QStringLiteral("p")};
    for (int step = 0; step < 120; ++step) {
        const QStringList categories = file.categories();
        const QString category = pick(categories);
        const QStringList names = file.recipeNames(category);
        std::string what;
        switch (random.bounded(7)) {
        case 0:
            what = "show a row";
            if (const QModelIndex shown = model.categoryIndex(category); model.rowCount(shown) > 0)
                model.index(random.bounded(model.rowCount(shown)), 0, shown).data();
            break;
        case 1:
            what = "add";
            file.addRecipe(category, {QStringLiteral("New ") + QString::number(step), {}, {}, {}});
            break;
        case 2:
            what = "update";
            if (!names.isEmpty())
                file.updateRecipe(category, pick(names), {QStringLiteral("Changed ") + QString::number(step), {}, {}, {}});
            break;
        case 3:
            what = "delete";
            if (!names.isEmpty())
                file.deleteRecipe(category, pick(names));
            break;
        case 4:
            what = "add category";
            file.addCategory(QStringLiteral("Cat ") + QString::number(step));
            break;
        case 5:
            what = "delete category";
            if (categories.size() > 2)
                file.deleteCategory(category);
            break;
        default:
            what = "another program";
            db.addRows(category, {row(QStringLiteral(" Elsewhere "))});
            model.reload();
            break;
        }
        expectMatchesFile(model, file, "step " + std::to_string(step) + " (" + what + ")");
    }
    file.addRecipe(file.categories().constFirst(), typed);
    expectMatchesFile(model, file, "read whole", true);
}

// A category spanning many row numbers shows at once, the span its count, and is counted on a
// thread of its own; however the count ends, the rows are then the file's.
TEST(CatalogueModel, ABigCategoryShowsAtOnceAndIsCountedBeside)
{
    struct Case {
        const char *label;
        int deleted;  // recipes deleted between the first and the last
        bool changedWhileCounting;
        bool modelGoesWhileCounting;
    };
    const Case cases[] = {
        {"NoneDeleted", 0, false, false},
        {"SomeDeletedBetween", 37, false, false},
        {"ChangedWhileCounting", 37, true, false},
        {"ModelGoesWhileCounting", 37, false, true},
    };
    for (const Case &c : cases) {
        testsupport::TempDb db;
        db.create();
        std::vector<testsupport::Row> many;
        for (int i = 0; i < 600; ++i)
            many.push_back(row(QStringLiteral("Soup ") + QString::number(i)));
        db.addCategory(QStringLiteral("Soups"), many);
        recipes::Collection file(db.basePath(), recipes::kBuiltInPassword);
        for (int i = 0; i < c.deleted; ++i)
            file.deleteRecipe(QStringLiteral("Soups"), QStringLiteral("Soup ") + QString::number(200 + i));

        auto model = std::make_unique<CatalogueModel>(db.basePath(), recipes::kBuiltInPassword, CatalogueModel::Icons{});
        model->setCountAtOnceBelow(100);
        model->reload();
        const QModelIndex soups = model->categoryIndex(QStringLiteral("Soups"));
        ASSERT_EQ(model->rowCount(soups), 600) << c.label << ": the span, at once";
        EXPECT_TRUE(model->counting()) << c.label;
        EXPECT_EQ(model->index(599, 0, soups).data().toString(), QStringLiteral("Soup 599")) << c.label;
        if (c.modelGoesWhileCounting) {
            model.reset();  // waits for its count, which must not reach it afterwards
            QCoreApplication::processEvents();
            continue;
        }
        // What a view holds on to, at both ends, stays on its recipe when the count is put right.
        const QPersistentModelIndex first = model->index(0, 0, soups), last = model->index(599, 0, soups);
        QSignalSpy counted(model.get(), &CatalogueModel::counted);
        if (c.changedWhileCounting)
            file.addRecipe(QStringLiteral("Soups"), {QStringLiteral("Late"), {}, {}, {}});
        ASSERT_TRUE(counted.wait(30000)) << c.label;
        EXPECT_FALSE(model->counting()) << c.label;
        EXPECT_EQ(first.data().toString(), QStringLiteral("Soup 0")) << c.label;
        EXPECT_EQ(last.data().toString(), QStringLiteral("Soup 599")) << c.label;
        expectMatchesFile(*model, file, c.label, true);
    }
}
