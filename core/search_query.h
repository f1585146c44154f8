#pragma once
// The find bar's small query language, read into full-text index expressions:
//   - a word matches the start of words, in any letter case and with or without accents;
//   - every word must match; "-word" excludes the recipes it matches;
//   - "a phrase" in double quotes matches those words in that order;
//   - name:, author:, ingredients: and instructions: limit the next word to that field.
// Nothing typed is an error: an unbalanced quote or a lone "-" is read as plain words, and
// characters that are neither letters nor digits only separate words, as the index does.

#include <QString>
#include <QStringList>

namespace recipes {

struct SearchQuery {
    QString include;      // what every result matches (with the plain words it excludes); empty: every recipe
    QStringList exclude;  // what no result matches
    bool isEmpty() const { return include.isEmpty() && exclude.isEmpty(); }

    static SearchQuery parse(const QString &typed);
};

}  // namespace recipes
