#pragma once
// The engine's field types, its length limits, and the value a field holds.

#include <QString>

#include <optional>

namespace dao {

// Field type codes of the engine: short text holds at most 255 characters, long text has no
// limit of its own.
enum FieldType : int { dbText = 10, dbMemo = 12 };

inline constexpr int kShortTextLimit = 255;
inline constexpr int kMaxTableNameLength = 64;

// A field's value: std::nullopt is the engine's null.
using Value = std::optional<QString>;

}  // namespace dao
