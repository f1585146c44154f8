// The multi-line text box: the text handed in comes back unchanged, and it is wrapped at word
// boundaries unless a paragraph holds runs so long that word wrapping would stall the window.

#include "platform/text_box.h"

#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

#include <gtest/gtest.h>

namespace {

constexpr QTextOption::WrapMode kAtWords = QTextOption::WrapAtWordBoundaryOrAnywhere;  // the form's
constexpr QTextOption::WrapMode kAnywhere = QTextOption::WrapAnywhere;

const QString kHugeWord(300000, u'x');

struct WrapCase {
    const char *label;
    QString text;
    QTextOption::WrapMode wrap;
};

const WrapCase kWrapCases[] = {
    {"OrdinaryRecipe", QStringLiteral("Preheat the oven to 180 C.\r\nStir in the flour, then bake.\r\n"), kAtWords},
    {"Empty", QString(), kAtWords},
    {"LongLinkAmongWords", QStringLiteral("See https://example.org/") + QString(2000, u'a') + QStringLiteral(" soon."),
     kAtWords},
    {"LongParagraphOfWords", QStringLiteral("salt and pepper ").repeated(20000), kAtWords},
    {"HugeWord", kHugeWord, kAnywhere},
    {"HugeWordAmongLines", QStringLiteral("Stir.\r\n") + QString(100000, u'y') + QStringLiteral("\r\nBake.\r\n"),
     kAnywhere},
    // Narrow no-break spaces: the toolkit does not break there either.
    {"WordsJoinedByNoBreakSpaces", QStringLiteral("salt\u202F").repeated(20000), kAnywhere},
    // Each run is cheap, but one paragraph of many costs as much as one huge word.
    {"ParagraphOfLongWords", QString(QString(4000, u'z') + QLatin1Char(' ')).repeated(50), kAnywhere},
    {"LinesOfLongWords", QString(QString(4000, u'z') + QStringLiteral("\r\n")).repeated(50), kAtWords},
};

TEST(TextBox, KeepsTheTextAndWrapsAnywhereOnlyWhereWordWrappingWouldStall)
{
    for (const WrapCase &c : kWrapCases) {
        SCOPED_TRACE(c.label);
        // A box that showed ordinary text before, and one that showed a huge word.
        for (const QString &before : {QStringLiteral("Salt."), kHugeWord}) {
            QPlainTextEdit edit;
            platform::TextBox box(&edit);
            box.SetText(before);
            box.SetText(c.text);
            EXPECT_EQ(box.Text(), c.text);
            EXPECT_EQ(edit.document()->defaultTextOption().wrapMode(), c.wrap);
        }
    }
}

}  // namespace
