// Refusals worded in the user's terms: the box by its label, lengths as typed and the most that
// fits as typed (the blank the store appends counts against the file's limit, not in the
// message), and names quoted with their invisible characters shown.

#include "store_fixture.h"

#include "engine/refusals.h"

namespace {

// The message of the refusal the action throws, or "(no error)".
std::string refusalOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const std::exception &e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

TEST_F(StoreTest, ATooLongValueIsStoredUpToTheLimitItStatesAndRefusedOneBeyond)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"));
    // Another program's table, whose columns declare other limits.
    ASSERT_EQ(db.rawExec(QStringLiteral("CREATE TABLE Pies (Title VARCHAR(50), Baker CHAR(20), Filling TEXT(1000), "
                                        "Method TEXT)")),
              0);
    struct Case {
        const char *category;
        int box;  // 0 to 3: Text1 to Text4
        int typed;
        const char *refusal;  // nothing: stored
    };
    const Case cases[] = {
        {"Soups", 0, 254, nullptr},
        {"Soups", 0, 255, "The text in the Recipe Name box is 255 characters long, but at most 254 fit. Shorten it by 1 character."},
        {"Soups", 0, 256, "The text in the Recipe Name box is 256 characters long, but at most 254 fit. Shorten it by 2 characters."},
        {"Soups", 1, 254, nullptr},
        {"Soups", 1, 255, "The text in the Author box is 255 characters long, but at most 254 fit. Shorten it by 1 character."},
        {"Soups", 3, 100000, nullptr},
        {"Pies", 0, 49, nullptr},
        {"Pies", 0, 50, "The text in the Recipe Name box is 50 characters long, but at most 49 fit. Shorten it by 1 character."},
        {"Pies", 1, 19, nullptr},
        {"Pies", 1, 25, "The text in the Author box is 25 characters long, but at most 19 fit. Shorten it by 6 characters."},
        {"Pies", 2, 1000, "The text in the Ingredients box is 1000 characters long, but at most 999 fit. Shorten it by 1 character."},
    };
    for (const Case &c : cases) {
        const QString category = QString::fromLatin1(c.category);
        SCOPED_TRACE(category.toStdString() + " box " + std::to_string(c.box) + " " + std::to_string(c.typed));
        QString texts[4] = {QStringLiteral("Leek"), QStringLiteral("Ann"), QStringLiteral("leeks"), QStringLiteral("boil")};
        // Blanks around the text are trimmed before counting, as the store stores it.
        texts[c.box] = QStringLiteral("  ") + QString(c.typed, QLatin1Char('x')) + QStringLiteral("  ");
        setBoxes(texts[0], texts[1], texts[2], texts[3]);
        const auto before = db.rows(category).size();
        const std::string error = refusalOf([&] { store.AddRecipe(category); });
        if (!c.refusal) {
            EXPECT_EQ(error, "(no error)");
            EXPECT_EQ(db.rows(category).size(), before + 1);
            continue;
        }
        EXPECT_EQ(error, c.refusal);
        EXPECT_EQ(db.rows(category).size(), before);
    }
}

TEST_F(StoreTest, EveryNameRuleQuotesTheNameWithItsInvisibleCharactersShown)
{
    db.create();
    db.addCategory(QStringLiteral("Soups"));
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
        {QStringLiteral("AB"), "\"AB\" is reserved for the top of the recipe tree; please choose another name for "
                               "the category."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        dialogs.answerInputBox(c.name);
        const std::string error = refusalOf([&] { store.AddCategory(); });
        dialogs.clear();
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
