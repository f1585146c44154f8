#include "engine/engine_error.h"

namespace dao {

EngineError::EngineError(const QString &message, Kind kind)
    : std::runtime_error(message.toStdString()), message_(message), kind_(kind)
{
}

QString EngineError::message() const { return message_; }

}  // namespace dao
