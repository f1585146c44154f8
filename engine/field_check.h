#pragma once
// The engine's own: the rules a new field must keep.

#include "engine/table_def.h"

namespace dao {

// Throws EngineError naming the broken rule: the field's name, or a type the engine does not store.
void checkField(const TableDef::FieldDef &field);

}  // namespace dao
