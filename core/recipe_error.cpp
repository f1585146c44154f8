#include "core/recipe_error.h"

#include "core/category_schema.h"
#include "engine/engine_error.h"
#include "engine/refusals.h"

namespace recipes {

Error::Error(const QString &message, Kind kind)
    : std::runtime_error(message.toStdString()), message_(message), kind_(kind)
{
}

Error Error::tooLong(int field, int length, int most)
{
    Error e(dao::refusals::tooLong(QStringLiteral("The text of the ") + schema::field(field).label, length, most),
            Kind::TooLong);
    e.field_ = field;
    e.length_ = length;
    e.most_ = most;
    return e;
}

Error Error::fromEngine(const dao::EngineError &e)
{
    switch (e.kind()) {
    case dao::EngineError::Kind::NoSuchCategory:
        return Error(e.message(), Kind::NoSuchCategory);
    case dao::EngineError::Kind::RecipeChanged:
        return Error(e.message(), Kind::RecipeChanged);
    case dao::EngineError::Kind::TimedOut:
        return Error(e.message(), Kind::TimedOut);
    case dao::EngineError::Kind::WrongKey:
        return Error(e.message(), Kind::WrongPassword);
    case dao::EngineError::Kind::Busy:
    case dao::EngineError::Kind::Failure:
        break;
    }
    return Error(e.message(), Kind::Failure);
}

}  // namespace recipes
