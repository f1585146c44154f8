#include "exchange/json_checker.h"

#include "exchange/json_source.h"
#include "exchange/read_limits.h"

#include <QByteArray>

namespace exchange {

namespace {

// Qt's parser gives up past this depth of objects and arrays.
constexpr int kNestingLimit = 1024;

bool isContinuation(int b) { return b >= 0 && (b & 0xc0) == 0x80; }

bool isHexDigit(int c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::optional<JsonFault> JsonChecker::check(JsonSource &source)
{
    JsonChecker checker(source);
    if (checker.document())
        return std::nullopt;
    return JsonFault{checker.failedAt_, checker.error_, checker.control_};
}

QString JsonFault::reason() const
{
    if (control >= 0)
        return QStringLiteral("a raw control character U+%1 in a string, where JSON allows it only escaped")
            .arg(QString::number(control, 16).toUpper().rightJustified(4, u'0'));
    QJsonParseError qt;
    qt.error = error;
    return qt.errorString();
}

bool JsonChecker::fail(QJsonParseError::ParseError error)
{
    error_ = error;
    failedAt_ = in_.pos();
    return false;
}

bool JsonChecker::rawControl(int c)
{
    control_ = c;
    failedAt_ = in_.pos();
    return false;
}

bool JsonChecker::eatSpace()
{
    for (int c = in_.peek(); c == ' ' || c == '\t' || c == '\n' || c == '\r'; c = in_.peek())
        in_.skip();
    return !in_.atEnd();
}

// A structural character, moved past; any other character is moved past too and gives 0, as
// does the end (which is not moved past).
int JsonChecker::nextToken()
{
    if (!eatSpace())
        return 0;
    const int c = in_.get();
    switch (c) {
    case '[': case '{': case ':': case ',': case ']': case '}': case '"':
        return c;
    default:
        return 0;
    }
}

bool JsonChecker::document()
{
    // A byte order mark is passed over, but only in a document longer than the mark.
    if (in_.size() > 3 && in_.peekAt(0) == 0xef && in_.peekAt(1) == 0xbb && in_.peekAt(2) == 0xbf)
        in_.skip(3);
    const int token = nextToken();
    if (token == '[') {
        if (!array())
            return false;
    } else if (token == '{') {
        if (!object())
            return false;
    } else {
        return fail(QJsonParseError::IllegalValue);
    }
    eatSpace();
    if (!in_.atEnd())
        return fail(QJsonParseError::GarbageAtEnd);
    return true;
}

bool JsonChecker::object()
{
    if (++nesting_ > kNestingLimit)
        return fail(QJsonParseError::DeepNesting);
    int token = nextToken();
    while (token == '"') {
        if (!member())
            return false;
        token = nextToken();
        if (token != ',')
            break;
        token = nextToken();
        if (token == '}')
            return fail(QJsonParseError::MissingObject);
    }
    if (token != '}')
        return fail(QJsonParseError::UnterminatedObject);
    --nesting_;
    return true;
}

bool JsonChecker::member()
{
    if (!string())
        return false;
    if (nextToken() != ':')
        return fail(QJsonParseError::MissingNameSeparator);
    if (!eatSpace())
        return fail(QJsonParseError::UnterminatedObject);
    return value();
}

bool JsonChecker::array()
{
    if (++nesting_ > kNestingLimit)
        return fail(QJsonParseError::DeepNesting);
    if (!eatSpace())
        return fail(QJsonParseError::UnterminatedArray);
    if (in_.peek() == ']') {
        nextToken();
    } else {
        while (true) {
            if (!eatSpace())
                return fail(QJsonParseError::UnterminatedArray);
            if (!value())
                return false;
            const int token = nextToken();
            if (token == ']')
                break;
            if (token != ',')
                return fail(eatSpace() ? QJsonParseError::MissingValueSeparator : QJsonParseError::UnterminatedArray);
        }
    }
    --nesting_;
    return true;
}

// Qt reads a literal only when more bytes than its rest follow its first letter, and stops one
// past the first letter that differs.
bool JsonChecker::literal(const char *rest)
{
    const qint64 length = static_cast<qint64>(qstrlen(rest));
    if (in_.left() < length + 1)
        return fail(QJsonParseError::IllegalValue);
    for (const char *c = rest; *c; ++c) {
        if (in_.get() != static_cast<unsigned char>(*c))
            return fail(QJsonParseError::IllegalValue);
    }
    return true;
}

bool JsonChecker::value()
{
    const int c = in_.get();
    switch (c) {
    case 'n':
        return literal("ull");
    case 't':
        return literal("rue");
    case 'f':
        return literal("alse");
    case '"':
        return string();
    case '[':
        return array();
    case '{':
        return object();
    case ',':
        return fail(QJsonParseError::IllegalValue);
    case '}':
    case ']':
        return fail(QJsonParseError::MissingObject);
    default:
        in_.seek(in_.pos() - 1);
        return number();
    }
}

bool JsonChecker::number()
{
    // A number longer than any document this program holds whole is not held.
    QByteArray text;
    bool tooLong = false;
    const auto take = [&] {
        const int c = in_.get();
        if (text.size() < kLargestRead)
            text.append(static_cast<char>(c));
        else
            tooLong = true;
    };
    const auto digit = [&] { const int c = in_.peek(); return c >= '0' && c <= '9'; };
    bool isInt = true;
    if (in_.peek() == '-')
        take();
    if (in_.peek() == '0') {
        take();
    } else {
        while (digit())
            take();
    }
    if (in_.peek() == '.') {
        take();
        while (digit()) {
            isInt = isInt && in_.peek() == '0';
            take();
        }
    }
    if (in_.peek() == 'e' || in_.peek() == 'E') {
        isInt = false;
        take();
        if (in_.peek() == '-' || in_.peek() == '+')
            take();
        while (digit())
            take();
    }
    if (in_.atEnd())
        return fail(QJsonParseError::TerminationByNumber);
    if (tooLong)
        return fail(QJsonParseError::IllegalNumber);
    bool ok = false;
    if (isInt)
        text.toLongLong(&ok);
    if (!ok)
        text.toDouble(&ok);
    return ok || fail(QJsonParseError::IllegalNumber);
}

// The string after its opening quote, up to and past its closing one.
bool JsonChecker::string()
{
    // Qt reads up to the first backslash before it decodes escapes, and checks there, as at the
    // closing quote, that something follows.
    bool escaped = false;
    while (!in_.atEnd()) {
        const int c = in_.peek();
        if (c == '"')
            break;
        if (c == '\\') {
            if (!escaped && in_.left() <= 1)
                return unterminated();
            escaped = true;
            if (!escape())
                return fail(QJsonParseError::IllegalEscapeSequence);
        } else if (c == 0) {
            return rawControl(c);
        } else if (!utf8Char()) {
            return fail(QJsonParseError::IllegalUTF8String);
        }
    }
    if (in_.left() <= 1)
        return unterminated();
    in_.skip();
    return true;
}

// Qt steps past the quote, or past the end when there is none, before it finds the end.
bool JsonChecker::unterminated()
{
    error_ = QJsonParseError::UnterminatedString;
    failedAt_ = in_.pos() + 1;
    return false;
}

// The escape at the present backslash, moved past; false where Qt stops on a bad one.
bool JsonChecker::escape()
{
    in_.skip();
    if (in_.atEnd())
        return false;
    if (in_.get() != 'u')
        return true;  // any other escaped character stands for itself
    if (in_.left() < 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (!isHexDigit(in_.peek()))
            return false;
        in_.skip();
    }
    return true;
}

// One character in UTF-8, moved past; false, without moving, when it is not well formed: an
// overlong form, a surrogate, beyond U+10FFFF, or cut short.
bool JsonChecker::utf8Char()
{
    const int b = in_.peek();
    if (b < 0x80) {
        in_.skip();
        return true;
    }
    int needed = 0;
    char32_t min = 0;
    char32_t code = 0;
    if (b <= 0xc1)
        return false;
    if (b < 0xe0) {
        needed = 2, min = 0x80, code = b & 0x1f;
    } else if (b < 0xf0) {
        needed = 3, min = 0x800, code = b & 0x0f;
    } else if (b < 0xf5) {
        needed = 4, min = 0x10000, code = b & 0x07;
    } else {
        return false;
    }
    for (int i = 1; i < needed; ++i) {
        const int next = in_.peekAt(i);
        if (!isContinuation(next))
            return false;
        code = (code << 6) | static_cast<char32_t>(next & 0x3f);
    }
    if (code < min || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
        return false;
    in_.skip(needed);
    return true;
}

}  // namespace exchange
