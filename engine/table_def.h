#pragma once
// A table definition under construction, as the engine builds a new table from it.

#include "engine/field_types.h"

#include <QString>

#include <vector>

namespace dao {

class Database;

// A table definition under construction: CreateTableDef, then CreateField + Append for each
// field, then Database::AppendTableDef writes it to the file.
class TableDef {
public:
    struct FieldDef {
        QString name;
        FieldType type;
    };

    const QString &Name() const { return name_; }
    FieldDef CreateField(const QString &name, FieldType type) const;
    void Append(const FieldDef &field);
    const std::vector<FieldDef> &Fields() const { return fields_; }

private:
    friend class Database;
    explicit TableDef(QString name) : name_(std::move(name)) {}
    QString name_;
    std::vector<FieldDef> fields_;
};

}  // namespace dao
