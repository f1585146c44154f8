#pragma once
// A bare keyed SQLCipher connection through the C API, with nothing of the engine in between:
// the benchmark generates its databases with it and measures the limit the engine is held to.

#include <QString>

#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace bench {

class RawConnection {
public:
    // Opens the existing file and keys it; the key is checked by reading the schema, as the
    // engine's open does. Throws std::runtime_error on failure.
    RawConnection(const QString &file, const QString &password);
    ~RawConnection();
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    sqlite3 *handle() const { return db_; }
    void exec(const std::string &sql);
    sqlite3_stmt *prepare(const std::string &sql);  // the caller finalizes it
    [[noreturn]] void fail(const std::string &what) const;

private:
    sqlite3 *db_ = nullptr;
};

// The identifier in double quotes, embedded quotes doubled.
std::string quoted(const std::string &identifier);

}  // namespace bench
