// The name rules beyond ASCII: which new names count as taken, which characters no new name may
// hold, and the catalogue's dictionary order.

#include "engine/names.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

namespace names = dao::names;

namespace {

TEST(DatabaseNames, SameNameIgnoresLetterCaseAndHowAnAccentIsEncoded)
{
    const struct {
        QString a, b;
        bool same;
    } cases[] = {
        {QStringLiteral("Soups"), QStringLiteral("sOUPS"), true},
        {QStringLiteral("Cr\u00E8me"), QStringLiteral("Cre\u0300me"), true},
        {QStringLiteral("Cr\u00E8me"), QStringLiteral("CR\u00C8ME"), true},
        {QStringLiteral("CRE\u0300ME"), QStringLiteral("cr\u00E8me"), true},
        {QStringLiteral("\u00C9clair"), QStringLiteral("e\u0301CLAIR"), true},
        {QStringLiteral("\uD55C\uC2DD"), QStringLiteral("\u1112\u1161\u11AB\u1109\u1175\u11A8"), true},
        {QStringLiteral("Cr\u00E8me"), QStringLiteral("Creme"), false},
        {QStringLiteral("Cr\u00E8me"), QStringLiteral("Cr\u00E9me"), false},
        {QStringLiteral("Cre\u0300me"), QStringLiteral("Cre\u0301me"), false},
        {QStringLiteral("Soups"), QStringLiteral("Soups "), false},
        {QStringLiteral("Soups"), QStringLiteral("So\u200Bups"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString(c.a + QStringLiteral(" / ") + c.b).toStdString());
        EXPECT_EQ(names::sameName(c.a, c.b), c.same);
        EXPECT_EQ(names::sameName(c.b, c.a), c.same);
    }
}

TEST(DatabaseNames, RefusesInvisibleFormattingCharactersAndShowsThemByCode)
{
    const QString rule = QStringLiteral(
        "; a category name may not contain invisible formatting characters.");
    const struct {
        QString name;
        std::optional<QString> problem;
    } cases[] = {
        {QStringLiteral("So\u200Bups"),
         QStringLiteral("The category name \"So<U+200B>ups\" contains an invisible formatting character "
                        "(U+200B)") + rule},
        {QStringLiteral("\u202ESpuos"),
         QStringLiteral("The category name \"<U+202E>Spuos\" contains an invisible formatting character "
                        "(U+202E)") + rule},
        {QStringLiteral("Soups\uFEFF"),
         QStringLiteral("The category name \"Soups<U+FEFF>\" contains an invisible formatting character "
                        "(U+FEFF)") + rule},
        {QStringLiteral("Pan\u200Dcakes"),
         QStringLiteral("The category name \"Pan<U+200D>cakes\" contains an invisible formatting "
                        "character (U+200D)") + rule},
        {QStringLiteral("Pan\u00ADcakes"),
         QStringLiteral("The category name \"Pan<U+00AD>cakes\" contains an invisible formatting "
                        "character (U+00AD)") + rule},
        // Outside the BMP: a surrogate pair, shown as one code point.
        {QStringLiteral("Soups\U000E0001"),
         QStringLiteral("The category name \"Soups<U+E0001>\" contains an invisible formatting character "
                        "(U+E0001)") + rule},
        {QStringLiteral("\U0001F372 Cre\u0300me br\u00FBl\u00E9e"), std::nullopt},
        {QStringLiteral("\u0634\u0648\u0631\u0628\u0629"), std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(names::problemWith(c.name, QStringLiteral("category")), c.problem);
    }
}

TEST(DatabaseNames, CatalogueOrderIsADictionarysAndTheSameWhateverTheOrderGiven)
{
    const QStringList cases[] = {
        {QStringLiteral("apple"), QStringLiteral("Breads"), QStringLiteral("\u00C9clairs"),
         QStringLiteral("P\u00E2tisserie"), QStringLiteral("Pies"), QStringLiteral("zebra")},
        // Alike to the collator, so ordered by code unit: capitals first, the combining accent
        // (after a plain e) before the precomposed letter.
        {QStringLiteral("Cre\u0300me"), QStringLiteral("Cr\u00E8me"), QStringLiteral("PIES"),
         QStringLiteral("Pies"), QStringLiteral("pIES"), QStringLiteral("pies")},
    };
    std::mt19937 random(7);
    for (const QStringList &expected : cases) {
        SCOPED_TRACE(expected.join(QLatin1Char(' ')).toStdString());
        for (const QString &a : expected)
            for (const QString &b : expected)
                EXPECT_FALSE(names::catalogueLess(a, b) && names::catalogueLess(b, a))
                    << a.toStdString() << " / " << b.toStdString();
        QStringList given = expected;
        for (int round = 0; round < 20; ++round) {
            std::shuffle(given.begin(), given.end(), random);
            QStringList sorted = given;
            std::sort(sorted.begin(), sorted.end(), names::catalogueLess);
            EXPECT_EQ(sorted, expected) << "from " << given.join(QLatin1Char(' ')).toStdString();
        }
    }
}

}  // namespace
