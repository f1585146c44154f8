#pragma once
// The tree's one failure.

#include <stdexcept>

namespace platform {

// Thrown when a node cannot be added: a key already in use, or a parent key that no node has.
class TreeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace platform
