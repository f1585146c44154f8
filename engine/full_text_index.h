#pragma once
// The words of the recipes in a full-text index of their own: an SQLite FTS4 table with the
// unicode61 tokenizer, diacritics removed, so that letter case and accents never matter. It is
// kept in a file of its own, encrypted with the recipe file's key; the recipe file is never
// touched, and the index file holds nothing that is not in the recipe file, so it may be
// deleted at any time. Each indexed recipe is known by its category and its row number there,
// with a fingerprint of the values it was indexed from. A category whose every recipe is in
// keeps the recipe file's mark of it (TableMark) as it was when the category was read; one
// half read, or changed since, has none.
//
// One thread uses an index: its connection is its own.

#include "engine/table_mark.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace dao {

class Connection;

class FullTextIndex {
public:
    struct Hit {
        QString category;
        std::int64_t row;
        QString name;
    };

    // Opens the index file at path, making it when it is missing. A file that the key does not
    // open, or that holds an index of another shape, is replaced by an empty one; so is anything
    // at the name, or at its journal's, that is not a plain file of this user's alone (a link,
    // a FIFO, a device, a file with another name too, someone else's file), which is removed,
    // never opened. A folder at the name is refused. path must lie in a folder no other user
    // may write to: the checks cannot hold against someone who may rename files there.
    FullTextIndex(const QString &path, const QString &password);
    ~FullTextIndex();
    FullTextIndex(const FullTextIndex &) = delete;
    FullTextIndex &operator=(const FullTextIndex &) = delete;

    // Changes between begin and commit are written together; without begin each is its own.
    void begin();
    void commit();
    void rollback();  // never fails

    // The categories with recipes or a mark in the index.
    QStringList categories() const;
    // The recipe file the marks were read from: its identity (Database::FileIdentity) and the
    // stamp its caller took of it when the marks were last all found true; both empty before the
    // first build.
    struct Source {
        QString identity;
        QString stamp;
    };
    Source source() const;
    void setSource(const Source &source);
    // Each marked category's mark.
    QHash<QString, TableMark> marks() const;
    void setMark(const QString &category, const TableMark &mark);
    void forgetMark(const QString &category);
    // The category's indexed rows, each with its fingerprint.
    QHash<std::int64_t, quint64> rowsOf(const QString &category) const;
    int count() const;

    // Indexes the row's four fields (name, author, ingredients, instructions), replacing what
    // the row had.
    void put(const QString &category, std::int64_t row, quint64 fingerprint,
             const std::array<QString, 4> &fields);
    void remove(const QString &category, std::int64_t row);
    // Removes up to limit of the category's recipes, and its mark; returns how many went, so
    // that a large category goes in steps of bounded work.
    int removeCategory(const QString &category, int limit);

    // The rows that match include (every row when it is empty) and none of exclude; each an
    // expression of FTS4's standard query syntax over the columns name, author, ingredients
    // and instructions. In no particular order.
    std::vector<Hit> match(const QString &include, const QStringList &exclude) const;

    // Drops the mark of every category of that name (letter case aside) in the index file at
    // path, when there is one, so that the next catch-up reads the category again: for changes
    // made where no index is open to take them in. Never makes the file. When the mark cannot be
    // dropped, the file is removed instead (it holds nothing the recipe file lacks), and when
    // that fails too, throws EngineError saying why. Safe from any thread.
    static void forgetMarkIn(const QString &path, const QString &password, const QString &category);

    // The column names an expression may limit a term to, by field ordinal.
    static const std::array<QString, 4> &columns();

private:
    void makeSchema();
    std::shared_ptr<Connection> conn_;
    bool inTransaction_ = false;
};

}  // namespace dao
