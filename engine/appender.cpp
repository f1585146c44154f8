#include "engine/appender.h"

#include "engine/connection.h"
#include "engine/engine_error.h"
#include "engine/names.h"
#include "engine/statement.h"

#include <sqlcipher/sqlite3.h>

#include <QStringList>

namespace dao {

Appender::Appender(std::shared_ptr<Connection> connection, const QString &table)
    : connection_(std::move(connection)), table_(table)
{
    const QString action = QStringLiteral("Cannot add recipes to the category ") + table;
    if (sqlite3_get_autocommit(connection_->handle()))
        throw EngineError(action + QStringLiteral(": no transaction is open."));
    columns_ = tableColumns(*connection_, table, action);
    if (columns_.empty())
        throw EngineError(action + QStringLiteral(": it has no fields."));
    rowidName_ = rowidName(columns_, action);
    connection_->ensureFirstColumnIndex(table, columns_.front().name);
}

Appender::~Appender() = default;

int Appender::FieldCount() const { return static_cast<int>(columns_.size()); }

std::optional<int> Appender::FieldLimit(int i) const
{
    if (i < 0 || i >= FieldCount())
        return std::nullopt;
    return columns_[static_cast<std::size_t>(i)].limit;
}

int Appender::checkedWidth(const std::vector<QString> &values, const QString &action) const
{
    const int width = static_cast<int>(values.size());
    if (width < 1 || width > FieldCount())
        throw EngineError(action + QStringLiteral(": it has %1 fields, not %2.")
                                       .arg(QString::number(FieldCount()), QString::number(width)));
    for (int i = 0; i < width; ++i)
        checkValue(columns_[static_cast<std::size_t>(i)], values[static_cast<std::size_t>(i)]);
    return width;
}

std::int64_t Appender::Append(const std::vector<QString> &values)
{
    const QString action = QStringLiteral("Cannot add the recipe to the category ") + table_;
    const int width = checkedWidth(values, action);
    if (width != insertWidth_) {
        QStringList names;
        QStringList placeholders;
        for (int i = 0; i < width; ++i) {
            names.append(names::quoted(columns_[static_cast<std::size_t>(i)].name));
            placeholders.append(QLatin1Char('?') + QString::number(i + 1));
        }
        // Built by concatenation: names may hold anything, '%' included, and reach SQL only quoted.
        insert_ = std::make_unique<Statement>(*connection_,
                                              QStringLiteral("INSERT INTO ") + names::quoted(table_)
                                                  + QStringLiteral(" (") + names.join(QStringLiteral(", "))
                                                  + QStringLiteral(") VALUES (")
                                                  + placeholders.join(QStringLiteral(", ")) + QLatin1Char(')'),
                                              action);
        insertWidth_ = width;
    }
    for (int i = 0; i < width; ++i)
        insert_->bindText(i + 1, values[static_cast<std::size_t>(i)]);
    insert_->run();
    return static_cast<std::int64_t>(sqlite3_last_insert_rowid(connection_->handle()));
}

void Appender::AppendAt(std::int64_t row, const std::vector<QString> &values)
{
    const QString action = QStringLiteral("Cannot put the recipe back in the category ") + table_;
    const int width = checkedWidth(values, action);
    QStringList names{rowidName_};
    QStringList placeholders{QStringLiteral("?1")};
    for (int i = 0; i < width; ++i) {
        names.append(names::quoted(columns_[static_cast<std::size_t>(i)].name));
        placeholders.append(QLatin1Char('?') + QString::number(i + 2));
    }
    // Rare: one statement each time, not kept as Append keeps its own.
    Statement insert(*connection_,
                     QStringLiteral("INSERT INTO ") + names::quoted(table_) + QStringLiteral(" (")
                         + names.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (")
                         + placeholders.join(QStringLiteral(", ")) + QLatin1Char(')'),
                     action);
    insert.bindInt64(1, row);
    for (int i = 0; i < width; ++i)
        insert.bindText(i + 2, values[static_cast<std::size_t>(i)]);
    insert.run();
}

std::vector<Value> Appender::Read(std::int64_t row, int count) const
{
    const QString action = QStringLiteral("Cannot read a recipe of the category ") + table_;
    count = std::clamp(count, 1, FieldCount());
    if (count != readerWidth_) {
        QStringList names;
        for (int i = 0; i < count; ++i)
            names.append(names::quoted(columns_[static_cast<std::size_t>(i)].name));
        reader_ = std::make_unique<Statement>(*connection_,
                                              QStringLiteral("SELECT ") + names.join(QStringLiteral(", "))
                                                  + QStringLiteral(" FROM ") + names::quoted(table_)
                                                  + QStringLiteral(" WHERE ") + rowidName_
                                                  + QStringLiteral(" = ?1"),
                                              action);
        readerWidth_ = count;
    }
    reader_->bindInt64(1, row);
    if (!reader_->step())
        throw EngineError(action + QStringLiteral(": there is no recipe number ") + QString::number(row));
    std::vector<Value> values;
    for (int i = 0; i < count; ++i)
        values.push_back(reader_->text(i));
    reader_->reset();
    return values;
}

}  // namespace dao
