// libFuzzer target over the streamed JSON check: for any bytes, JsonChecker passes exactly the
// documents Qt's own parser takes, and of those it refuses it names the same error at the same
// offset, as an import reading a file in windows must tell what a whole-file read told.
//
// Input: the document's bytes, as they are.

#include "exchange/json_checker.h"
#include "exchange/json_source.h"

#include <QBuffer>
#include <QByteArray>
#include <QJsonDocument>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QJsonParseError qt{};
    QJsonDocument::fromJson(bytes, &qt);

    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        std::abort();
    exchange::JsonSource source(buffer);
    const std::optional<exchange::JsonFault> fault = exchange::JsonChecker::check(source);

    const int ours = fault ? static_cast<int>(fault->error) : static_cast<int>(QJsonParseError::NoError);
    const qint64 oursAt = fault ? fault->offset : 0;
    const qint64 qtAt = qt.error == QJsonParseError::NoError ? 0 : qt.offset;
    if (ours != static_cast<int>(qt.error) || oursAt != qtAt) {
        std::fprintf(stderr, "json checker fuzz: the check found error %d at %lld, Qt's parser error %d at %lld\n",
                     ours, static_cast<long long>(oursAt), static_cast<int>(qt.error), static_cast<long long>(qtAt));
        std::abort();
    }
    return 0;
}
