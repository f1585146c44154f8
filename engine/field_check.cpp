#include "engine/field_check.h"

#include "engine/engine_error.h"
#include "engine/names.h"

namespace dao {

void checkField(const TableDef::FieldDef &field)
{
    if (const auto problem = names::problemWith(field.name, QStringLiteral("field")))
        throw EngineError(*problem);
    if (field.type != dbText && field.type != dbMemo)
        throw EngineError(QStringLiteral("The field %1 has type %2, which this program does not "
                                         "store; use short text (%3) or long text (%4).")
                              .arg(field.name, QString::number(field.type),
                                   QString::number(dbText), QString::number(dbMemo)));
}

}  // namespace dao
