#pragma once
// How the program words a refusal, in the user's terms: one place for the texts, so that every
// refusal names what to change in the same way.

#include <QString>

namespace dao::refusals {

// A name as a message shows it: in double quotes, with what cannot be seen made visible. Blanks
// at either end show as "␣", control characters as their symbols (␀ to ␟, ␡), and invisible
// formatting characters, which could also turn the rest of the message around, as <U+200B>.
QString quotedName(const QString &name);

// The code point as Unicode names it: "U+200B", "U+E0001".
QString codePointName(char32_t c);

// The visible symbol that stands for a control character (U+0000 to U+001F: ␀ to ␟; U+007F:
// ␡), or a null QChar for any other character.
QChar controlPicture(char32_t c);

// "<subject> is 256 characters long, but at most 254 fit. Shorten it by 2 characters." The
// subject starts the sentence ("The Recipe Name", "The category name \"…\""); the counts are
// characters as the user typed them.
QString tooLong(const QString &subject, int length, int most);

}  // namespace dao::refusals
