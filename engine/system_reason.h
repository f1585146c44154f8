#pragma once
// The system's own words for an errno value, for messages that end in the reason.

#include <QString>

#include <cstring>

namespace dao {

inline QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

}  // namespace dao
