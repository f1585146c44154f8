#pragma once
// Checks a JSON document as it streams by, taking the same memory whatever its size, and finds
// the first fault exactly where Qt's own parser (QJsonDocument::fromJson) finds it: the same
// documents pass and fail, with the same error at the same offset, so a streamed import tells
// what a whole-file one told. Nothing is built; only a number's text is held while it is read.
//
// Two faults Qt's parser lets by are found too, where they stand: a NUL written raw inside a
// string, which JSON allows only escaped and which would cut a stored field short; and a number of
// more than kLargestRead characters (read_limits.h), whose text is not held. Other control
// characters written raw (a tab, a line break) break JSON's grammar too, but real pages carry them
// in their recipes' texts and Qt's parser takes them: they are read, not refused.

#include <QJsonParseError>
#include <QString>

#include <optional>

namespace exchange {

class JsonSource;

struct JsonFault {
    qint64 offset = 0;
    // Qt's error; NoError for a raw NUL, whose code is then control.
    QJsonParseError::ParseError error = QJsonParseError::NoError;
    int control = -1;

    // What is wrong, in words: "illegal value", "a raw control character U+0000 in a string".
    QString reason() const;
};

class JsonChecker {
public:
    // Reads the whole source from its start; leaves it at the end or at the fault.
    static std::optional<JsonFault> check(JsonSource &source);

private:
    explicit JsonChecker(JsonSource &source) : in_(source) {}

    bool document();
    bool object();
    bool member();
    bool array();
    bool value();
    bool number();
    bool string();
    bool escape();
    bool unterminated();
    bool utf8Char();
    bool literal(const char *rest);
    bool eatSpace();
    int nextToken();
    bool fail(QJsonParseError::ParseError error);
    bool rawControl(int c);

    JsonSource &in_;
    int nesting_ = 0;
    QJsonParseError::ParseError error_ = QJsonParseError::NoError;
    int control_ = -1;
    qint64 failedAt_ = 0;
};

}  // namespace exchange
