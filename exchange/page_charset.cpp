#include "exchange/page_charset.h"

#include <QRegularExpression>
#include <QStringDecoder>

namespace exchange {

namespace {

// Where the HTML standard has browsers look for a <meta> that names the set.
constexpr qsizetype kMetaWindow = 1024;

QByteArray fromMeta(const QByteArray &bytes)
{
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9._:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    // Latin-1 maps each byte to one character, so the match's text is the bytes' own.
    const QRegularExpressionMatch match = meta.match(QString::fromLatin1(bytes.left(kMetaWindow)));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

}  // namespace

QByteArray charsetOf(const QByteArray &contentType)
{
    for (const QByteArray &part : contentType.split(';')) {
        const QByteArray parameter = part.trimmed();
        if (parameter.size() > 8 && parameter.left(8).toLower() == "charset=") {
            QByteArray value = parameter.mid(8).trimmed();
            if (value.size() >= 2 && value.startsWith('"') && value.endsWith('"'))
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return {};
}

QByteArray pageAsUtf8(const QByteArray &bytes, const QByteArray &declaredCharset)
{
    QByteArray charset = declaredCharset;
    if (charset.isEmpty()) {
        // The decoder reads and drops a byte order mark itself.
        if (const auto bom = QStringConverter::encodingForData(bytes))
            return QString(QStringDecoder(*bom)(bytes)).toUtf8();
        charset = fromMeta(bytes);
    }
    const QByteArray name = charset.toLower();
    if (name.isEmpty() || name == "utf-8" || name == "utf8")
        return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder decoder(charset.constData());
    if (!decoder.isValid())
        return bytes;
    return QString(decoder(bytes)).toUtf8();
}

}  // namespace exchange
