// libFuzzer target over the streamed JSON check: for any bytes, JsonChecker passes exactly the
// documents Qt's own parser takes, and of those it refuses it names the same error at the same
// offset, as an import reading a file in windows must tell what a whole-file read told. The one
// fault it finds that Qt's parser lets by, a NUL written raw in a string, must be a NUL; made a
// blank, the document is checked again, until Qt's parser agrees.
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
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    std::optional<exchange::JsonFault> fault;
    for (;;) {
        QBuffer buffer;
        buffer.setData(bytes);
        if (!buffer.open(QIODevice::ReadOnly))
            std::abort();
        exchange::JsonSource source(buffer);
        fault = exchange::JsonChecker::check(source);
        if (!fault || fault->control < 0)
            break;
        const qint64 at = fault->offset;
        if (at >= bytes.size() || static_cast<unsigned char>(bytes[at]) != fault->control || fault->control != 0) {
            std::fprintf(stderr, "json checker fuzz: a raw NUL (%d) told at %lld, which holds none\n",
                         fault->control, static_cast<long long>(at));
            std::abort();
        }
        bytes[at] = ' ';
    }
    QJsonParseError qt{};
    QJsonDocument::fromJson(bytes, &qt);

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
