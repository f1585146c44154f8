#pragma once
// A web page's bytes as UTF-8, whatever character set it was written in, so that the page reader
// (gumbo reads UTF-8 only) sees a saved page and a fetched one alike.

#include <QByteArray>

namespace exchange {

// The set is the one the server declared (its Content-Type's charset), else a byte order mark,
// else a <meta charset> or <meta http-equiv="Content-Type"> in the page's first 1024 bytes, else
// UTF-8. A set this program does not know is read as UTF-8; nothing fails.
QByteArray pageAsUtf8(const QByteArray &bytes, const QByteArray &declaredCharset);

// The charset parameter of a Content-Type value ("text/html; charset=windows-1252"), unquoted;
// empty when there is none.
QByteArray charsetOf(const QByteArray &contentType);

}  // namespace exchange
