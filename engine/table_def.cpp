#include "engine/table_def.h"

#include "engine/engine_error.h"
#include "engine/field_check.h"
#include "engine/names.h"

namespace dao {

TableDef::FieldDef TableDef::CreateField(const QString &name, FieldType type) const
{
    FieldDef field{name, type};
    checkField(field);
    return field;
}

void TableDef::Append(const FieldDef &field)
{
    checkField(field);
    for (const FieldDef &existing : fields_)
        if (names::sameName(existing.name, field.name))
            throw EngineError(QStringLiteral("The category %1 already has a field named %2.")
                                  .arg(name_, existing.name));
    fields_.push_back(field);
}

}  // namespace dao
