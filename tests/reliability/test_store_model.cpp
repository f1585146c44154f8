// Random sequences of store operations, applied to the real store and to a plain model of
// categories and recipes; after every step the file and the tree must show what the model
// holds, and an operation must be refused exactly when the model says it breaks a rule.

#include "reliability/raw_file.h"
#include "store/store_fixture.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

using reliability::trimSpaces;

namespace {

constexpr int kSteps = 500;

int characters(const QString &text) { return static_cast<int>(text.toUcs4().size()); }

// Two names are one when they read the same: letter case and how an accent is encoded do not count.
bool sameName(const QString &a, const QString &b)
{
    return a.normalized(QString::NormalizationForm_C).toCaseFolded()
        == b.normalized(QString::NormalizationForm_C).toCaseFolded();
}

// A dictionary's order, whatever the machine's locale; exact ties broken by code units.
bool dictionaryLess(const QString &a, const QString &b)
{
    static const QCollator collator = [] {
        QCollator c{QLocale(QLocale::English)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    const int order = collator.compare(a, b);
    return order != 0 ? order < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

// The collection as the user should find it: categories in no particular order, each with its
// recipes' four stored values in stored order.
struct Model {
    using Recipe = std::array<QString, 4>;
    std::vector<std::pair<QString, std::vector<Recipe>>> categories;

    std::vector<Recipe> *find(const QString &name)
    {
        for (auto &[category, recipes] : categories)
            if (category == name)
                return &recipes;
        for (auto &[category, recipes] : categories)
            if (sameName(category, name))
                return &recipes;
        return nullptr;
    }
    QStringList names() const
    {
        QStringList out;
        for (const auto &entry : categories)
            out << entry.first;
        std::sort(out.begin(), out.end(), dictionaryLess);
        return out;
    }
    // The first recipe whose trimmed stored name is name.
    static std::vector<Recipe>::iterator firstNamed(std::vector<Recipe> &recipes, const QString &name)
    {
        return std::find_if(recipes.begin(), recipes.end(),
                            [&](const Recipe &r) { return trimSpaces(r[0]) == trimSpaces(name); });
    }
};

// Names a category may be given, each marked with whether the rules allow it at all.
struct Candidate {
    QString name;
    bool allowed;
};
const Candidate kCategoryNames[] = {
    {QStringLiteral("Soups"), true},         {QStringLiteral("soups"), true},
    {QStringLiteral("Breads"), true},        {QStringLiteral("Stews "), false},
    {QStringLiteral("Cr\u00E8mes"), true},   {QStringLiteral("Ste\u200Bws"), false},
    {QStringLiteral("Gran's"), true},        {QStringLiteral("100% _x_"), true},
    {QStringLiteral("Cre\u0300mes"), true},  {QStringLiteral("מרקים"), true},
    {QStringLiteral("\U0001F372"), true},    {QString(64, u'c'), true},
    {QStringLiteral("x); DROP TABLE Soups; --"), true},
    {QStringLiteral(" Lead"), false},        {QStringLiteral("a.b"), false},
    {QStringLiteral("[x]"), false},          {QStringLiteral("AB"), false},
    {QStringLiteral("Saporium"), false},     {QStringLiteral("MSysObjects"), false},
    {QString(65, u'c'), false},              {QStringLiteral("Tab\there"), false},
};

// Box texts, from plain to awkward; the short fields refuse the longest.
const QString kTexts[] = {
    QString(),
    QStringLiteral(" "),
    QStringLiteral("Leek"),
    QStringLiteral("  Leek "),
    QStringLiteral("Pea"),
    QStringLiteral("leek"),
    QStringLiteral("Gran's \"best\""),
    QStringLiteral("x'); DELETE FROM Soups; --"),
    QStringLiteral("100% _pure_"),
    QStringLiteral("\tTabbed"),
    QStringLiteral("two\r\nlines"),
    QStringLiteral("\uFEFF\U0001F372 מרק"),
    QString(254, u'n'),
    QString(255, u'n'),
    QString(3000, u'l'),
};

class StoreModel : public StoreTest {
protected:
    void SetUp() override { db.create(); }

    std::mt19937 random{seed()};
    Model model;
    std::map<std::string, std::pair<int, int>> tally;  // operation: done, refused

    static unsigned seed()
    {
        const QByteArray value = qgetenv("SAPORIUM_MODEL_SEED");
        return value.isEmpty() ? 4242u : value.toUInt();
    }
    template <typename T, std::size_t N>
    const T &pick(const T (&items)[N])
    {
        return items[random() % N];
    }
    QString pickCategory()
    {
        if (!model.categories.empty() && random() % 4 != 0)
            return model.categories[random() % model.categories.size()].first;
        return pick(kCategoryNames).name;
    }
    // Fills the boxes with random texts; returns what each box holds.
    Model::Recipe typeRecipe()
    {
        setBoxes(pick(kTexts), pick(kTexts), pick(kTexts), pick(kTexts));
        return {t1.Text(), t2.Text(), t3.Text(), t4.Text()};
    }
    static Model::Recipe stored(const Model::Recipe &boxes)
    {
        Model::Recipe out;
        for (std::size_t i = 0; i < 4; ++i)
            out[i] = trimSpaces(boxes[i]) + QLatin1Char(' ');
        return out;
    }
    static bool fits(const Model::Recipe &values)
    {
        return characters(values[0]) <= dao::kShortTextLimit && characters(values[1]) <= dao::kShortTextLimit;
    }
    // Runs a store call as a handler does; true when it failed.
    template <typename Call>
    bool refused(Call &&call)
    {
        try {
            call();
            return false;
        } catch (const std::exception &) {
            return true;
        }
    }
    void count(const char *operation, bool wasRefused)
    {
        auto &entry = tally[operation];
        (wasRefused ? entry.second : entry.first)++;
    }

    QStringList expectedTree() const
    {
        QStringList lines{QStringLiteral("Saporium")};
        Model copy = model;
        for (const QString &name : copy.names()) {
            lines << QStringLiteral("  ") + name;
            for (const Model::Recipe &recipe : *copy.find(name))
                lines << QStringLiteral("    ") + trimSpaces(recipe[0]);
        }
        return lines;
    }
    // The file, read through the engine as the program reads it, against the model.
    void expectFileIsModel(bool raw)
    {
        Model copy = model;
        ASSERT_EQ(db.tables(), copy.names());
        for (const QString &name : copy.names()) {
            std::vector<Model::Recipe> &recipes = *copy.find(name);
            const auto rows = db.rows(name);
            ASSERT_EQ(rows.size(), recipes.size()) << name.toStdString();
            for (std::size_t i = 0; i < rows.size(); ++i)
                EXPECT_EQ(rows[i], testsupport::row(recipes[i][0], recipes[i][1], recipes[i][2], recipes[i][3]))
                    << name.toStdString() << " row " << i;
            if (!raw)
                continue;
            // And past the engine, byte for byte.
            const auto rawRows = reliability::RawFile(db.filePath(), testsupport::kPassword).rows(name);
            ASSERT_EQ(rawRows.size(), recipes.size());
            for (std::size_t i = 0; i < rawRows.size(); ++i)
                for (std::size_t f = 0; f < 4; ++f)
                    EXPECT_EQ(rawRows[i].values[f], reliability::RawValue(recipes[i][f].toUtf8()));
        }
    }

    // One random operation on both the store and the model.
    void step()
    {
        dialogs.clear();
        // Categories are made more often than dropped, so that most operations find some.
        switch (random() % 20) {
        case 0:
        case 1:
        case 2: {
            const Candidate &candidate = pick(kCategoryNames);
            const bool taken = std::any_of(model.categories.begin(), model.categories.end(),
                                           [&](const auto &c) { return sameName(c.first, candidate.name); });
            dialogs.answerInputBox(candidate.name);
            const bool wasRefused = refused([&] { store.AddCategory(); });
            ASSERT_EQ(wasRefused, !candidate.allowed || taken) << "AddCategory " << candidate.name.toStdString();
            if (!wasRefused)
                model.categories.push_back({candidate.name, {}});
            count("AddCategory", wasRefused);
            break;
        }
        case 3: {
            const QString category = pickCategory();
            const bool yes = random() % 4 != 0;
            dialogs.answerMsgBox(yes ? platform::vbYes : platform::vbNo);
            const bool exists = model.find(category) != nullptr;
            const bool wasRefused = refused([&] { store.DeleteCategory(category); });
            ASSERT_EQ(wasRefused, yes && !exists) << "DeleteCategory " << category.toStdString();
            if (yes && exists) {
                const std::vector<Model::Recipe> *target = model.find(category);
                const auto gone = std::find_if(model.categories.begin(), model.categories.end(),
                                               [&](const auto &c) { return &c.second == target; });
                model.categories.erase(gone);
            }
            count(yes ? "DeleteCategory" : "DeleteCategory answered No", wasRefused);
            break;
        }
        case 4:
        case 5:
        case 6:
        case 7:
        case 8:
        case 9: {
            const QString category = pickCategory();
            const Model::Recipe values = stored(typeRecipe());
            std::vector<Model::Recipe> *recipes = model.find(category);
            const bool wasRefused = refused([&] { store.AddRecipe(category); });
            ASSERT_EQ(wasRefused, !recipes || !fits(values)) << "AddRecipe " << category.toStdString();
            if (!wasRefused)
                recipes->push_back(values);
            store.FillCatalogue();  // as the Save handler does after adding
            count("AddRecipe", wasRefused);
            break;
        }
        case 10:
        case 11:
        case 12:
        case 13:
        case 14: {
            const QString category = pickCategory();
            std::vector<Model::Recipe> *recipes = model.find(category);
            const QString name = recipes && !recipes->empty() && random() % 5 != 0
                ? trimSpaces((*recipes)[random() % recipes->size()][0])
                : trimSpaces(pick(kTexts));
            const Model::Recipe values = stored(typeRecipe());
            RecipeBas::Outcome result = RecipeBas::Outcome::NotFound;
            const bool wasRefused = refused([&] { result = store.UpdateRecipe(category, name); });
            const auto match = recipes ? Model::firstNamed(*recipes, name) : std::vector<Model::Recipe>::iterator();
            const bool found = recipes && match != recipes->end();
            ASSERT_EQ(wasRefused, !recipes || (found && !fits(values))) << "UpdateRecipe " << name.toStdString();
            if (!wasRefused) {
                ASSERT_EQ(result == RecipeBas::Outcome::Done, found) << "UpdateRecipe " << name.toStdString();
                if (found)
                    *match = values;
            }
            count(found ? "UpdateRecipe" : "UpdateRecipe of a missing name", wasRefused);
            break;
        }
        default: {
            const QString category = pickCategory();
            std::vector<Model::Recipe> *recipes = model.find(category);
            const QString name = recipes && !recipes->empty() && random() % 5 != 0
                ? trimSpaces((*recipes)[random() % recipes->size()][0])
                : trimSpaces(pick(kTexts));
            RecipeBas::Outcome result = RecipeBas::Outcome::NotFound;
            const bool wasRefused = refused([&] { result = store.DeleteRecipe(category, name); });
            ASSERT_EQ(wasRefused, !recipes) << "DeleteRecipe " << category.toStdString();
            const auto match = recipes ? Model::firstNamed(*recipes, name) : std::vector<Model::Recipe>::iterator();
            const bool found = recipes && match != recipes->end();
            if (!wasRefused) {
                ASSERT_EQ(result == RecipeBas::Outcome::Done, found) << "DeleteRecipe " << name.toStdString();
                if (found)
                    recipes->erase(match);
            }
            count(found ? "DeleteRecipe" : "DeleteRecipe of a missing name", wasRefused);
            break;
        }
        }
    }
};

TEST_F(StoreModel, RandomOperationsLeaveTheFileAndTheTreeAsTheModelSays)
{
    SCOPED_TRACE("seed " + std::to_string(seed()) + " (set SAPORIUM_MODEL_SEED to repeat another run)");
    store.FillCatalogue();
    for (int n = 1; n <= kSteps; ++n) {
        SCOPED_TRACE("step " + std::to_string(n));
        step();
        ASSERT_FALSE(HasFatalFailure());
        expectFileIsModel(n % 25 == 0 || n == kSteps);
        store.FillCatalogue();
        ASSERT_EQ(treeLines(), expectedTree());
        ASSERT_FALSE(HasFailure());
    }
    for (const auto &[operation, counts] : tally)
        std::printf("store model: %-32s %3d done, %3d refused\n", operation.c_str(), counts.first, counts.second);
}

}  // namespace
