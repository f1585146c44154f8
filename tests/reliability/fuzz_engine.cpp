// libFuzzer target over the engine's handling of category names and field values: any name is
// either refused with an EngineError or becomes a table listed, opened, written and dropped
// under exactly that name; any value is either refused or read back exactly; and nothing an
// input does outlives it in the file.
//
// Input: one flags byte, then up to five parts (the name, then the four values), each a
// little-endian 16-bit count followed by that many code units. Flags bit 0: the units are
// UTF-16 (two bytes each, so lone surrogates, NULs and byte-order marks reach the engine as
// they are); otherwise UTF-8 bytes.

#include "core/category_schema.h"
#include "engine/db_engine.h"
#include "engine/engine_error.h"
#include "engine/names.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

const QString kPassword = QStringLiteral("fuzz-password");
const QString kBase = QStringLiteral("Base");

[[noreturn]] void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "engine fuzz: %s: %s\n", what, detail.toUtf8().constData());
    std::abort();
}

struct Fixture {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<dao::Database> db;
    QStringList tables;
};

Fixture &fixture()
{
    static Fixture f = [] {
        Fixture made;
        // A memory file system keeps the many small commits cheap.
        const QString parent = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        made.dir = std::make_unique<QTemporaryDir>(parent + QStringLiteral("/saporium-fuzz-XXXXXX"));
        const QString file = made.dir->path() + QStringLiteral("/Recipe.mdb");
        dao::DBEngine::CreateDatabase(file, kPassword);
        made.db = dao::DBEngine::OpenDatabase(file, false, false, QStringLiteral(";Pwd=") + kPassword);
        recipes::schema::createTable(*made.db, kBase);
        made.tables = made.db->TableDefs();
        return made;
    }();
    return f;
}

std::vector<QString> parts(const std::uint8_t *data, std::size_t size, bool utf16)
{
    std::vector<QString> out;
    std::size_t at = 0;
    while (out.size() < 5 && at + 2 <= size) {
        std::size_t units = static_cast<std::size_t>(data[at]) | static_cast<std::size_t>(data[at + 1]) << 8;
        at += 2;
        const std::size_t unitSize = utf16 ? 2 : 1;
        units = std::min(units, (size - at) / unitSize);
        if (utf16) {
            QString text(static_cast<qsizetype>(units), Qt::Uninitialized);
            for (std::size_t i = 0; i < units; ++i)
                text[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(data[at + 2 * i] | data[at + 2 * i + 1] << 8));
            out.push_back(text);
        } else {
            out.push_back(QString::fromUtf8(reinterpret_cast<const char *>(data + at), static_cast<qsizetype>(units)));
        }
        at += units * unitSize;
    }
    return out;
}

// Writes the values as a new row of table, reads it back and deletes it again.
void roundTrip(dao::Database &db, const QString &table, const std::vector<QString> &values)
{
    auto rs = db.OpenRecordset(table);
    const int before = rs->RecordCount();
    rs->AddNew();
    for (std::size_t i = 0; i < values.size() && i < 4; ++i)
        rs->SetField(static_cast<int>(i), values[i]);
    bool shortFieldsFit = true, valid = true;
    for (std::size_t i = 0; i < values.size() && i < 4; ++i) {
        valid = valid && values[i].isValidUtf16();
        if (i < 2)
            shortFieldsFit = shortFieldsFit && dao::names::codePointCount(values[i]) <= dao::kShortTextLimit;
    }
    bool stored = true;
    try {
        rs->Update();
    } catch (const dao::EngineError &e) {
        stored = false;
        if (e.message().isEmpty())
            fail("a refused value gave no reason", table);
    }
    if (stored != (valid && shortFieldsFit))
        fail(stored ? "a value breaking the field rules was stored" : "a value within the field rules was refused",
             values.empty() ? QString() : values[0]);
    auto check = db.OpenRecordset(table);
    if (check->RecordCount() != before + (stored ? 1 : 0))
        fail("the row count is wrong after a write", table);
    if (!stored)
        return;
    check->MoveFirst();
    for (int n = 1; n < check->RecordCount(); ++n)
        check->MoveNext();
    for (std::size_t i = 0; i < values.size() && i < 4; ++i)
        if (check->Fields(static_cast<int>(i)) != values[i])
            fail("a stored value reads back changed", values[i]);
    check->Delete();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    Fixture &f = fixture();
    const std::vector<QString> input = parts(data + 1, size - 1, data[0] & 1);
    if (input.empty())
        return 0;
    const QString &name = input[0];
    const std::vector<QString> values(input.begin() + 1, input.end());

    try {
        roundTrip(*f.db, kBase, values);

        bool created = false;
        try {
            recipes::schema::createTable(*f.db, name);
            created = true;
        } catch (const dao::EngineError &e) {
            if (e.message().isEmpty())
                fail("a refused name gave no reason", name);
            for (const QChar c : e.message())
                if (c.unicode() < 0x20)
                    fail("a refusal message holds a control character", e.message());
        }
        if (created) {
            const QStringList tables = f.db->TableDefs();
            if (!tables.contains(name) || tables.size() != f.tables.size() + 1)
                fail("a created table is not listed under its name", name);
            roundTrip(*f.db, name, values);
            f.db->DeleteTableDef(name);
        }
        if (f.db->TableDefs() != f.tables)
            fail("an input left the table list changed", name);
        if (f.db->OpenRecordset(kBase)->RecordCount() != 0)
            fail("an input left a row behind", name);
    } catch (const dao::EngineError &e) {
        fail("an operation that should work failed", e.message());
    }
    return 0;
}
