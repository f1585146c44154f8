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

// Each category's recipes as the model holds them, checked against the file: the rows read so
// far are the first rows of the file, and all of them once nothing is left to fetch.
void expectMatchesFile(CatalogueModel &model, recipes::Collection &file, const std::string &step)
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
        ASSERT_LE(shown, names.size()) << step << " in " << categories[c].toStdString();
        if (!model.canFetchMore(category)) {
            EXPECT_EQ(shown, names.size()) << step << " in " << categories[c].toStdString();
        }
        for (int r = 0; r < shown; ++r)
            ASSERT_EQ(model.index(r, 0, category).data().toString(), names[r])
                << step << " at " << categories[c].toStdString() << " row " << r;
    }
}

}  // namespace

TEST(CatalogueModel, RowsFollowEveryChangeAsTheFileHoldsIt)
{
    testsupport::TempDb db;
    db.create();
    db.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("  Rye  ")), row(QStringLiteral("Spelt "))});
    std::vector<testsupport::Row> many;
    for (int i = 0; i < CatalogueModel::kChunk + 40; ++i)
        many.push_back(row(QStringLiteral("Soup ") + QString::number(i) + QLatin1Char(' ')));
    db.addCategory(QStringLiteral("Soups"), many);
    db.addCategory(QStringLiteral("Empty"));

    CatalogueModel model(db.basePath(), recipes::kBuiltInPassword, {});
    recipes::Collection file(db.basePath(), recipes::kBuiltInPassword);
    EXPECT_EQ(model.rowCount(model.categoryIndex(QStringLiteral("Soups"))), 0) << "no name is read before it is asked for";
    // The tester asks every category for its first chunk.
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
            what = "fetch";
            model.fetchMore(model.categoryIndex(category));
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
    for (const QString &category : file.categories())
        while (model.canFetchMore(model.categoryIndex(category)))
            model.fetchMore(model.categoryIndex(category));
    expectMatchesFile(model, file, "read whole");
}
