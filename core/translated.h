#pragma once
// The core's own: runs an engine call, so that its failure leaves the core as a recipes::Error.

#include "core/recipe_error.h"
#include "engine/engine_error.h"

namespace recipes {

template <typename Call>
auto translated(Call &&call) -> decltype(call())
{
    try {
        return call();
    } catch (const dao::EngineError &e) {
        throw Error::fromEngine(e);
    }
}

}  // namespace recipes
