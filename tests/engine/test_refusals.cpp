// Refusals worded in the user's terms: names quoted with their invisible characters shown, and
// the rule each refused name breaks.

#include "core/category_schema.h"
#include "engine/database.h"
#include "engine/refusals.h"
#include "support/temp_db.h"

#include <gtest/gtest.h>

TEST(EngineRefusals, EveryNameRuleQuotesTheNameWithItsInvisibleCharactersShown)
{
    testsupport::TempDb db;
    db.create();
    db.addCategory(QStringLiteral("Soups"));
    const std::unique_ptr<dao::Database> handle = db.open();
    const struct {
        QString name;
        const char *refusal;
    } cases[] = {
        {QStringLiteral("   "), "The category name \"\u2423\u2423\u2423\" begins with a blank; a category name may not "
                                "begin with a blank."},
        {QStringLiteral("Stews "), "The category name \"Stews\u2423\" ends with a blank; a category name may not end "
                                   "with a blank."},
        {QStringLiteral("Hot\tPot"), "The category name \"Hot\u2409Pot\" contains a control character such as a tab "
                                     "or a line break; a category name may not contain control characters."},
        {QStringLiteral("Ste\u200Bws"), "The category name \"Ste<U+200B>ws\" contains an invisible formatting "
                                        "character (U+200B); a category name may not contain invisible formatting "
                                        "characters."},
        {QStringLiteral("a.b"), "The category name \"a.b\" contains the character .; a category name may not "
                                "contain any of these characters: . ! ` [ ] \""},
        {QString(64, QLatin1Char('c')), nullptr},
        {QString(66, QLatin1Char('c')), nullptr},  // checked below: its message is long
        {QStringLiteral("sqlite_x"), "The category name \"sqlite_x\" begins with sqlite_; names beginning so are "
                                     "reserved for the database itself."},
        {QStringLiteral("SOUPS"), "A category named \"Soups\" already exists."},
        {QStringLiteral("msysobjects"), "The name \"msysobjects\" is reserved for the database engine's own tables; "
                                        "choose another name for the category."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const std::string error = testsupport::engineError([&] { recipes::schema::createTable(*handle, c.name); });
        if (c.name.size() == 66)
            EXPECT_EQ(error, "The category name \"" + c.name.toStdString()
                                 + "\" is 66 characters long, but at most 64 fit. Shorten it by 2 characters.");
        else if (c.refusal)
            EXPECT_EQ(error, c.refusal);
        else
            EXPECT_EQ(error, "(no error)");
    }
}

TEST(RefusalWording, QuotedNamesShowOnlyWhatCannotBeSeen)
{
    const struct {
        QString name;
        QString shown;
    } cases[] = {
        {QStringLiteral("Soupe \u00E0 l'oignon"), QStringLiteral("\"Soupe \u00E0 l'oignon\"")},
        {QStringLiteral(" a b "), QStringLiteral("\"\u2423a b\u2423\"")},
        {QStringLiteral("x") + QChar(0x7F) + QChar(0x85), QStringLiteral("\"x\u2421<U+0085>\"")},
        {QStringLiteral("\U0001F372\U000E0001"), QStringLiteral("\"\U0001F372<U+E0001>\"")},
        {QString(), QStringLiteral("\"\"")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(dao::refusals::quotedName(c.name), c.shown) << c.name.toStdString();
}
