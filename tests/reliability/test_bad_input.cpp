// Awkward names and values through the store, as the window's handlers pass them on: each is
// stored and read back as the box held it (trimmed of spaces, plus the one stored space), or
// refused with a message that says why. Either way nothing else in the file changes.

#include "reliability/raw_file.h"
#include "store/store_fixture.h"

#include <gmock/gmock.h>

#include <memory>
#include <optional>

using testing::HasSubstr;
using testsupport::row;

using reliability::trimSpaces;

namespace {

const QString kSoups = QStringLiteral("Soups");
const QString kLeek = QStringLiteral("Leek");

QString repeated(const QString &piece, int times)
{
    QString out;
    for (int i = 0; i < times; ++i)
        out += piece;
    return out;
}

QString withNul(const char16_t *before, const char16_t *after)
{
    return QString::fromUtf16(before) + QChar(u'\0') + QString::fromUtf16(after);
}

const QString kBowl = QStringLiteral("\U0001F372");  // one character, two UTF-16 units

// The message a handler would show; empty when the call succeeded.
template <typename Call>
QString refusal(Call &&call)
{
    try {
        call();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

bool hasControlCharacter(const QString &text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20; });
}

class BadInputTest : public StoreTest {
protected:
    // Every test starts from a copy of one file: making it anew would cost several key
    // derivations per case.
    static void SetUpTestSuite()
    {
        testsupport::TempDb made;
        made.create();
        made.addCategory(kSoups, {row(QStringLiteral("Leek "), QStringLiteral("Ann "), QStringLiteral("leeks "),
                                      QStringLiteral("boil ")),
                                  row(QStringLiteral("Pea "), QStringLiteral("Bo "), QStringLiteral("peas "),
                                      QStringLiteral("simmer "))});
        made.addCategory(QStringLiteral("Breads"), {row(QStringLiteral("Rye "))});
        templateBytes() = made.fileBytes();
    }
    static QByteArray &templateBytes()
    {
        static QByteArray bytes;
        return bytes;
    }
    void SetUp() override
    {
        QFile file(db.filePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(templateBytes()), templateBytes().size());
    }

    std::vector<std::string> dump() { return raw().dump(); }
    std::vector<reliability::RawRow> rawRows(const QString &table) { return raw().rows(table); }
    // One connection of another program's for the whole test: keying one costs tens of
    // milliseconds, and it sees every change the store makes.
    reliability::RawFile &raw()
    {
        if (!raw_)
            raw_ = std::make_unique<reliability::RawFile>(db.filePath(), testsupport::kPassword);
        return *raw_;
    }
    // The dump without the rows of table.
    static std::vector<std::string> withoutRowsOf(std::vector<std::string> lines, const QString &table)
    {
        const std::string prefix = "row|" + table.toStdString() + "|";
        std::erase_if(lines, [&](const std::string &line) { return line.rfind(prefix, 0) == 0; });
        return lines;
    }
    static reliability::RawValue stored(const QString &boxText)
    {
        return (trimSpaces(boxText) + QLatin1Char(' ')).toUtf8();
    }
    platform::TextBox &box(int field)
    {
        platform::TextBox *all[] = {&t1, &t2, &t3, &t4};
        return *all[field];
    }

private:
    std::unique_ptr<reliability::RawFile> raw_;
};

// ---- Field values ---------------------------------------------------------------------------

struct FieldCase {
    const char *label;
    int field;                       // 0 name, 1 author, 2 ingredients, 3 instructions
    QString typed;
    std::optional<QString> boxHolds; // what the box hands out, where the toolkit changes it
    const char *refused;             // part of the refusal message; null when it is stored
};

const FieldCase kFieldCases[] = {
    {"Quotes", 0, QStringLiteral("Gran's \"best\" pie"), {}, nullptr},
    {"Brackets", 1, QStringLiteral("[Ann] {Bo} <Cy>"), {}, nullptr},
    {"SqlInName", 0, QStringLiteral("x'); DROP TABLE \"Soups\"; --"), {}, nullptr},
    {"SqlInInstructions", 3, QStringLiteral("'; DELETE FROM Soups; SELECT '"), {}, nullptr},
    {"PercentAndUnderscore", 0, QStringLiteral("100% _pure_ %1 %s %n"), {}, nullptr},
    {"OuterBlanks", 0, QStringLiteral("   Apple pie  "), {}, nullptr},
    {"OnlyBlanks", 1, QStringLiteral("    "), {}, nullptr},
    {"Empty", 0, QString(), {}, nullptr},
    {"OuterTabsStay", 1, QStringLiteral("\tAnn\t"), {}, nullptr},
    {"CrInShortField", 0, QStringLiteral("Pie\r"), {}, nullptr},
    {"LfInShortField", 1, QStringLiteral("An\nn"), {}, nullptr},
    {"CrLfInShortField", 0, QStringLiteral("Pie\r\nTwo"), {}, nullptr},
    {"CrInLongField", 2, QStringLiteral("salt\rpepper"), QStringLiteral("salt\r\npepper"), nullptr},
    {"LfInLongField", 3, QStringLiteral("stir\nbake"), QStringLiteral("stir\r\nbake"), nullptr},
    {"CrLfInLongField", 2, QStringLiteral("salt\r\npepper\r\n"), {}, nullptr},
    {"LineSeparatorInLongField", 3, QStringLiteral("stir\u2028bake"), QStringLiteral("stir\r\nbake"), nullptr},
    {"NulInName", 0, withNul(u"Nul", u"Pie"), {}, nullptr},
    {"NulInLongField", 2, withNul(u"salt", u"pepper"), {}, nullptr},
    {"OtherControls", 1, QStringLiteral("\x01\x1f\x7f"), {}, nullptr},
    {"RightToLeft", 0, QStringLiteral("מרק עדשים"), {}, nullptr},
    {"MixedDirectionWithMarks", 2, QStringLiteral("2 כוסות \u200Fwater\u200E ماء"), {}, nullptr},
    {"Emoji", 0, QStringLiteral("\U0001F372 Stew \U0001F469\u200D\U0001F373"), {}, nullptr},
    {"CombiningMarks", 1, QStringLiteral("Cre\u0300me bru\u0302le\u0301e \u0301"), {}, nullptr},
    {"NoBreakSpacesAreNotTrimmed", 0, QStringLiteral("\u00A0Soup\u00A0"), {}, nullptr},
    {"LeadingByteOrderMark", 0, QStringLiteral("\uFEFFSoup"), {}, nullptr},
    {"LeadingReversedByteOrderMark", 2, QStringLiteral("\uFFFEsalt"), {}, nullptr},
    {"Noncharacters", 1, QStringLiteral("Ann \uFFFF\uFDD0 \U0010FFFF"), {}, nullptr},
    {"FrameMarkInLongField", 3, QStringLiteral("stir\uFDD0bake"), QStringLiteral("stir\r\nbake"), nullptr},
    {"Name254", 0, QString(254, u'n'), {}, nullptr},
    {"Name255PlusStoredSpace", 0, QString(255, u'n'), {}, "The text in the Recipe Name box is 255 characters long, but at most 254 fit. Shorten it by 1 character."},
    {"Name256", 0, QString(256, u'n'), {}, "The text in the Recipe Name box is 256 characters long, but at most 254 fit. Shorten it by 2 characters."},
    {"Author254InsideBlanks", 1, QStringLiteral("  ") + QString(254, u'a') + QStringLiteral("  "), {}, nullptr},
    {"Author255", 1, QString(255, u'a'), {}, "The text in the Author box is 255 characters long, but at most 254 fit."},
    {"Author254Emoji", 1, repeated(kBowl, 254), {}, nullptr},
    {"Author255Emoji", 1, repeated(kBowl, 255), {}, "The text in the Author box is 255 characters long, but at most 254 fit."},
    {"MegabyteIngredients", 2, QString(1 << 20, u'i'), {}, nullptr},
    {"MegabyteInstructions", 3, repeated(QStringLiteral("stir\r\n"), (1 << 20) / 6), {}, nullptr},
    {"MegabyteName", 0, QString(1 << 20, u'n'), QString(32767, u'n'), "The text in the Recipe Name box is 32767 characters long"},
    {"BrokenCharacterInAuthor", 1, QString(QChar(0xD800)) + QStringLiteral("x"), {}, "contains a broken character"},
    {"BrokenCharacterInLongField", 3, QStringLiteral("x") + QChar(0xDC00), {}, "contains a broken character"},
};

class FieldValues : public BadInputTest, public ::testing::WithParamInterface<FieldCase> {
protected:
    // Fills the boxes with plain text and the case's text in its field; returns what the box
    // holds.
    QString typeCase(const QString &plainName)
    {
        setBoxes(plainName, QStringLiteral("Cook"), QStringLiteral("flour"), QStringLiteral("bake"));
        const FieldCase &c = GetParam();
        box(c.field).SetText(c.typed);
        return box(c.field).Text();
    }
    std::vector<reliability::RawValue> expectedRow(const QString &plainName, const QString &held)
    {
        std::vector<reliability::RawValue> values = {stored(plainName), stored(QStringLiteral("Cook")),
                                                     stored(QStringLiteral("flour")), stored(QStringLiteral("bake"))};
        values[static_cast<std::size_t>(GetParam().field)] = stored(held);
        return values;
    }
};

TEST_P(FieldValues, AddedRecipeIsStoredAndReadBackExactlyOrRefusedWithoutATrace)
{
    const FieldCase &c = GetParam();
    const std::vector<std::string> before = dump();
    const auto rowsBefore = rawRows(kSoups);
    const QString plainName = QStringLiteral("Probe");
    const QString held = typeCase(plainName);
    ASSERT_EQ(held, c.boxHolds.value_or(c.typed)) << "the box changed the text";

    const QString message = refusal([&] { store.AddRecipe(kSoups); });
    const std::vector<std::string> after = dump();
    if (c.refused) {
        EXPECT_THAT(message.toStdString(), HasSubstr(c.refused));
        EXPECT_FALSE(hasControlCharacter(message));
        EXPECT_TRUE(after == before) << reliability::dumpDifference(before, after);
        EXPECT_EQ(box(c.field).Text(), held) << "a refused recipe stays in the boxes";
        return;
    }
    ASSERT_EQ(message, QString());
    EXPECT_TRUE(withoutRowsOf(after, kSoups) == withoutRowsOf(before, kSoups))
        << reliability::dumpDifference(before, after);
    const auto rowsAfter = rawRows(kSoups);
    ASSERT_EQ(rowsAfter.size(), rowsBefore.size() + 1);
    for (std::size_t i = 0; i < rowsBefore.size(); ++i)
        EXPECT_EQ(rowsAfter[i].values, rowsBefore[i].values) << "row " << i;
    EXPECT_TRUE(rowsAfter.back().values == expectedRow(plainName, held)) << "the new row is not the boxes' text";

    // Read back as a click on its tree node would: the name as stored, the others trimmed.
    QStringList typed = {plainName, QStringLiteral("Cook"), QStringLiteral("flour"), QStringLiteral("bake")};
    typed[c.field] = held;
    setBoxes(QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("-"));
    store.ShowRecipe(kSoups, trimSpaces(typed[0]));
    store.CloseStore();
    EXPECT_EQ(boxes(), (QStringList{trimSpaces(typed[0]) + QLatin1Char(' '), trimSpaces(typed[1]),
                                    trimSpaces(typed[2]), trimSpaces(typed[3])}));
}

TEST_P(FieldValues, UpdatedRecipeIsStoredExactlyOrRefusedWithoutATrace)
{
    const FieldCase &c = GetParam();
    const std::vector<std::string> before = dump();
    const auto rowsBefore = rawRows(kSoups);
    const QString held = typeCase(kLeek);

    RecipeBas::Outcome result = RecipeBas::Outcome::NotFound;
    const QString message = refusal([&] { result = store.UpdateRecipe(kSoups, kLeek); });
    const std::vector<std::string> after = dump();
    if (c.refused) {
        EXPECT_THAT(message.toStdString(), HasSubstr(c.refused));
        EXPECT_TRUE(after == before) << reliability::dumpDifference(before, after);
        EXPECT_EQ(box(c.field).Text(), held) << "a refused edit stays in the boxes";
        EXPECT_TRUE(dialogs.messages().empty()) << "no success is claimed";
        return;
    }
    ASSERT_EQ(message, QString());
    EXPECT_EQ(result, RecipeBas::Outcome::Done);
    EXPECT_EQ(dialogs.messages(), std::vector{QStringLiteral("Recipe UpDated")});
    EXPECT_TRUE(withoutRowsOf(after, kSoups) == withoutRowsOf(before, kSoups))
        << reliability::dumpDifference(before, after);
    const auto rowsAfter = rawRows(kSoups);
    ASSERT_EQ(rowsAfter.size(), rowsBefore.size());
    EXPECT_EQ(rowsAfter[0].rowid, rowsBefore[0].rowid);
    EXPECT_TRUE(rowsAfter[0].values == expectedRow(kLeek, held)) << "the row is not the boxes' text";
    for (std::size_t i = 1; i < rowsBefore.size(); ++i)
        EXPECT_EQ(rowsAfter[i].values, rowsBefore[i].values) << "row " << i;
}

INSTANTIATE_TEST_SUITE_P(Values, FieldValues, ::testing::ValuesIn(kFieldCases),
                         [](const auto &info) { return std::string(info.param.label); });

// ---- Category names -------------------------------------------------------------------------

struct NameCase {
    const char *label;
    QString typed;
    const char *refused;  // part of the refusal message; null when the category is created
};

const NameCase kNameCases[] = {
    {"Apostrophe", QStringLiteral("Gran's Pies"), nullptr},
    {"DoubleQuote", QStringLiteral("Say \"Cheese\""), "may not contain any of these characters"},
    {"SquareBrackets", QStringLiteral("[Soups]"), "may not contain any of these characters"},
    {"OtherBrackets", QStringLiteral("Stews (old) {x} <y>"), nullptr},
    {"SqlWithoutQuotes", QStringLiteral("x); DROP TABLE Soups; --"), nullptr},
    {"SqlWithQuote", QStringLiteral("x\"; DROP TABLE Soups; --"), "may not contain any of these characters"},
    {"PercentAndUnderscore", QStringLiteral("100% _Pure_ %1"), nullptr},
    {"PercentAlone", QStringLiteral("%"), nullptr},
    {"UnderscoreAlone", QStringLiteral("_"), nullptr},
    {"Dot", QStringLiteral("Soups.Name"), "may not contain any of these characters"},
    {"LeadingBlank", QStringLiteral(" Stews"), "may not begin with a blank"},
    {"OnlyBlanks", QStringLiteral("   "), "may not begin with a blank"},
    {"TrailingBlank", QStringLiteral("Stews "), "may not end with a blank"},
    {"Tab", QStringLiteral("Hot\tPot"), "may not contain control characters"},
    {"Cr", QStringLiteral("Hot\rPot"), "may not contain control characters"},
    {"Lf", QStringLiteral("Hot\nPot"), "may not contain control characters"},
    {"CrLf", QStringLiteral("Hot\r\nPot"), "may not contain control characters"},
    {"Nul", withNul(u"Hot", u"Pot"), "may not contain control characters"},
    {"RightToLeft", QStringLiteral("מרקים"), nullptr},
    {"Arabic", QStringLiteral("حساء"), nullptr},
    {"Emoji", QStringLiteral("\U0001F372 Stews"), nullptr},
    {"CombiningMarks", QStringLiteral("Cre\u0300mes"), nullptr},
    {"LeadingNonCharacter", QStringLiteral("\uFFFEStews"), nullptr},
    {"ByteOrderMark", QStringLiteral("Ste\uFEFFws"), "invisible formatting characters"},
    {"ZeroWidthSpace", QStringLiteral("Stews\u200B"), "invisible formatting characters"},
    {"LookAlikeOfAnExistingName", QStringLiteral("SOUPS\u0301"), nullptr},
    {"Length64", QString(64, u'c'), nullptr},
    {"Length65", QString(65, u'c'), "but at most 64 fit"},
    {"Length64Emoji", repeated(kBowl, 64), nullptr},
    {"Length65Emoji", repeated(kBowl, 65), "but at most 64 fit"},
    {"ExistingInOtherCase", QStringLiteral("SOUPS"), "A category named \"Soups\" already exists."},
    {"EngineTable", QStringLiteral("MSysObjects"), "reserved for the database engine"},
    {"EngineTableOtherCase", QStringLiteral("msysobjects"), "reserved for the database engine"},
    {"SqlitePrefix", QStringLiteral("sqlite_stat1"), "reserved for the database itself"},
    {"RootKey", QStringLiteral("AB"), "reserved for the top of the recipe tree"},
    {"RootText", QStringLiteral("Saporium"), "reserved for the top of the recipe tree"},
    {"BrokenCharacter", QString(QChar(0xDBFF)) + QStringLiteral("x"), "contains a broken character"},
};

class CategoryNames : public BadInputTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(CategoryNames, AreCreatedAsTypedOrRefusedWithoutATrace)
{
    const NameCase &c = GetParam();
    store.FillCatalogue();
    const QStringList treeBefore = treeLines();
    const std::vector<std::string> before = dump();

    dialogs.answerInputBox(c.typed);
    const QString message = refusal([&] { store.AddCategory(); });
    const std::vector<std::string> after = dump();
    if (c.refused) {
        EXPECT_THAT(message.toStdString(), HasSubstr(c.refused));
        EXPECT_FALSE(hasControlCharacter(message)) << "the name is shown without breaking the message";
        EXPECT_TRUE(after == before) << reliability::dumpDifference(before, after);
        EXPECT_EQ(dialogs.messages().size(), 0u) << "nothing is confirmed";
        EXPECT_EQ(treeLines(), treeBefore);
        return;
    }
    ASSERT_EQ(message, QString());
    EXPECT_TRUE(db.tables().contains(c.typed));
    EXPECT_EQ(dialogs.messages(), std::vector<QString>{c.typed + QStringLiteral(" Category Created")});
    EXPECT_TRUE(treeLines().contains(QStringLiteral("  ") + c.typed));
    const QStringList differences =
        QString::fromStdString(reliability::dumpDifference(before, after)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(differences.size(), 2) << "the new table and its index";
    for (const QString &difference : differences)
        EXPECT_TRUE(difference.startsWith(QStringLiteral("+ schema|"))) << difference.toStdString();

    // The name works everywhere a category name goes: rows in, rows out, the table dropped.
    setBoxes(QStringLiteral("Hotpot"), QStringLiteral("Di"), QStringLiteral("lamb"), QStringLiteral("stew"));
    store.AddRecipe(c.typed);
    store.ShowRecipe(c.typed, QStringLiteral("Hotpot"));
    store.CloseStore();
    EXPECT_EQ(boxes(), (QStringList{QStringLiteral("Hotpot "), QStringLiteral("Di"), QStringLiteral("lamb"),
                                    QStringLiteral("stew")}));
    dialogs.answerMsgBox(platform::vbYes);
    store.DeleteCategory(c.typed);
    const std::vector<std::string> dropped = dump();
    EXPECT_TRUE(dropped == before) << reliability::dumpDifference(before, dropped);
}

INSTANTIATE_TEST_SUITE_P(Names, CategoryNames, ::testing::ValuesIn(kNameCases),
                         [](const auto &info) { return std::string(info.param.label); });

TEST_F(BadInputTest, AnEmptyCategoryNameIsACancelThatChangesNothing)
{
    const std::vector<std::string> before = dump();
    dialogs.answerInputBox(QString());
    EXPECT_EQ(refusal([&] { store.AddCategory(); }), QString());
    EXPECT_EQ(dialogs.shown().size(), 1u);
    EXPECT_TRUE(dump() == before);
}

}  // namespace
