// The search service answers from a thread of its own. A program of its own, so that the
// ThreadSanitizer run watches it in a process that has started no other program: a child
// started meanwhile can leave ThreadSanitizer with a wrong picture of the parent's locks.
#include "core/collection.h"
#include "core/search_service.h"
#include "support/temp_db.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <memory>

namespace {

using recipes::SearchHit;
using testsupport::row;

TEST(SearchService, AnswersFromItsThreadAndNoticesOthersChangesBeforeTheNextQuery)
{
    testsupport::TempDb db;
    db.create();
    db.addCategory(QStringLiteral("Desserts"), {row(QStringLiteral("Apple tart "))});
    db.addCategory(QStringLiteral("Soups"), {row(QStringLiteral("Leek and potato soup "))});
    auto service = std::make_unique<recipes::SearchService>(db.basePath(), recipes::kBuiltInPassword);
    auto found = std::make_unique<QSignalSpy>(service.get(), &recipes::SearchService::found);
    const auto answer = [&](const QString &typed) {
        const int ticket = service->find(typed);
        // Answers come in order; only this ticket's is looked at.
        while (found->isEmpty() || found->last().at(0).toInt() != ticket)
            if (!found->wait(20000))
                return QStringList{QStringLiteral("(no answer)")};
        QStringList names;
        for (const SearchHit &hit : found->last().at(1).value<std::vector<SearchHit>>())
            names.append(hit.category + QLatin1Char('/') + hit.name);
        return names;
    };
    EXPECT_EQ(answer(QStringLiteral("leek")), QStringList{QStringLiteral("Soups/Leek and potato soup")});

    recipes::Collection(db.basePath(), recipes::kBuiltInPassword)
        .addRecipe(QStringLiteral("Soups"), recipes::Recipe{QStringLiteral("Leek broth"), {}, {}, {}});
    EXPECT_EQ(answer(QStringLiteral("leek")),
              (QStringList{QStringLiteral("Soups/Leek and potato soup"), QStringLiteral("Soups/Leek broth")}));

    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Desserts (Name) VALUES ('Leek cake ')")), 0);
    EXPECT_EQ(answer(QStringLiteral("leek")),
              (QStringList{QStringLiteral("Desserts/Leek cake"), QStringLiteral("Soups/Leek and potato soup"),
                           QStringLiteral("Soups/Leek broth")}));

    // A later run's first answer takes in what changed meanwhile: the program's own edit, made
    // with no search open, and another program's.
    found.reset();
    service.reset();
    recipes::Collection(db.basePath(), recipes::kBuiltInPassword)
        .updateRecipe(QStringLiteral("Soups"), QStringLiteral("Leek broth"),
                      recipes::Recipe{QStringLiteral("Leek broth"), {}, QStringLiteral("sorrel"), {}});
    ASSERT_EQ(db.rawExec(QStringLiteral("INSERT INTO Desserts (Name, Ingredients) VALUES ('Tart ', 'sorrel ')")), 0);
    service = std::make_unique<recipes::SearchService>(db.basePath(), recipes::kBuiltInPassword);
    found = std::make_unique<QSignalSpy>(service.get(), &recipes::SearchService::found);
    EXPECT_EQ(answer(QStringLiteral("sorrel")),
              (QStringList{QStringLiteral("Desserts/Tart"), QStringLiteral("Soups/Leek broth")}));
}

}  // namespace
