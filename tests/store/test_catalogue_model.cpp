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
