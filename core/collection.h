#pragma once
// The recipe collection in one encrypted file, as plain values: its categories, the recipes of
// a category, a recipe's fields, and the changes. Each change is one transaction of its own,
// done or not done; every failure comes out as a recipes::Error. No widget is involved, so
// everything that works on recipes without a window stands on this.
//
// Before the first change of a run the file is backed up (see Backups); when that fails, the
// change is not made.
//
// A handle keeps the file open (the engine shares one connection per file across handles) but
// holds no lock or transaction between calls.

#include "core/category_rows.h"
#include "core/change_feed.h"
#include "core/recipe.h"
#include "engine/table_mark.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace dao {
class Database;
}

namespace recipes {

// The password every recipe file is made and opened with.
inline const QString kBuiltInPassword = QStringLiteral("qmtrwz47195306");

class Collection {
public:
    // How the file is reached: through the program's one shared connection, or, for a worker
    // thread, through a connection of the handle's own that only that thread uses.
    enum class Reach { Shared, Private };

    // Opens the existing encrypted file at path; a path without extension gets ".mdb". Throws
    // when the file is missing, not a recipe database, or the password does not open it.
    Collection(const QString &path, const QString &password, Reach reach = Reach::Shared);
    ~Collection();
    Collection(const Collection &) = delete;
    Collection &operator=(const Collection &) = delete;

    // True when a file no password opens may still be a recipe file encrypted with another one;
    // opening such a file with a wrong password fails as Error::Kind::WrongPassword.
    static bool mayBeEncrypted(const QString &path);
    // The file a path opens: one without an extension gets ".mdb".
    static QString fileNamed(const QString &path);
    // Encrypts the file anew with newPassword, in place, once the file is backed up (the backup
    // keeps the old password). Every handle on the file must then be opened with the new one.
    static void changePassword(const QString &path, const QString &oldPassword, const QString &newPassword);

    // Makes a new, empty encrypted file at path (extension as given); never overwrites one. This
    // run makes no backup of it: there is nothing in it to lose.
    static void create(const QString &path, const QString &password);

    QString path() const;
    // Tells this file from another put in its place (a backup restored, a copy); see
    // dao::Database::FileIdentity.
    QString fileIdentity() const;
    void close();  // never fails, any number of times

    // Every category, in the catalogue's order (by name, as a dictionary orders words). Tables
    // with one of the engine's seven reserved names are left out.
    QStringList categories() const;
    // The category's recipes, for reading row by row.
    std::unique_ptr<CategoryRows> openCategory(const QString &category) const;
    // The category's recipe names as the tree shows them, in stored order.
    QStringList recipeNames(const QString &category) const;
    // The first recipe of that name, each field read back trimmed; nothing when there is none.
    std::optional<Recipe> recipe(const QString &category, const QString &name) const;

    // Every recipe of the category with its row number, its fields as stored (null as the empty
    // text), in stored order, read in one pass.
    void readAll(const QString &category, const std::function<void(std::int64_t row, const Recipe &stored)> &fn) const;
    // As readAll, up to limit recipes after row number after; returns how many were read.
    int readSlice(const QString &category, std::int64_t after, int limit,
                  const std::function<void(std::int64_t row, const Recipe &stored)> &fn) const;
    // Up to limit recipe names, as the tree shows them (trimmed, null as the empty text), with
    // their row numbers: after row number from in stored order, or with backwards before it in
    // the reverse order. Returns how many were read.
    int readNames(const QString &category, std::int64_t from, bool backwards, int limit,
                  const std::function<void(std::int64_t row, const QString &name)> &fn) const;
    // How many recipes the category holds; reads the whole category's name index.
    std::int64_t recipeCount(const QString &category) const;
    // How many row numbers the category's recipes span, read at once: at least recipeCount, and
    // equal to it while no recipe between the first and the last was deleted.
    std::int64_t recipeRowSpan(const QString &category) const;
    // What the category looks like from outside, read without reading its recipes: it changes
    // when a recipe is added or deleted, and mostly when one is renamed (see dao::TableMark).
    dao::TableMark mark(const QString &category) const;
    // Changes when another connection, of this program or another, has written to the file
    // since the last call; this program's own changes through the shared connection do not
    // change it.
    std::int64_t dataVersion() const;

    // Each change below is told on ChangeFeed::instance() once it is in the file, and the file's
    // search index, if it has one, is told to read the category again (see SearchIndex).

    // Appends a recipe made from the texts as typed: each field trimmed and ended by one blank.
    void addRecipe(const QString &category, const Recipe &typed);
    // Overwrites the first recipe whose trimmed name equals name trimmed; false when none does.
    bool updateRecipe(const QString &category, const QString &name, const Recipe &typed);
    // Deletes the first recipe whose trimmed name equals name trimmed; false when none does.
    bool deleteRecipe(const QString &category, const QString &name);
    // Creates an empty category with the four recipe fields; the name is taken as given.
    void addCategory(const QString &name);
    // Drops the category with all its recipes.
    void deleteCategory(const QString &name);

private:
    friend class RecipeBatch;
    friend class ChangeHistory;
    dao::Database &db() const;
    // Tells the change, with this file's path, on the feed and to the file's search index.
    void tell(Change change) const;

    std::unique_ptr<dao::Database> db_;
    QString password_;  // to tell the file's search index of changes
};

}  // namespace recipes
