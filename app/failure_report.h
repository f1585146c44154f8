#pragma once
// The command line's one place that turns a failure into words on stderr and an exit code
// (command_line.h): a usage mistake (UsageError) adds how to get help; the core's
// recipes::Error is its message. Both exit Failed. A fault of the program's own (any other
// std::exception) is reported by its what() and exits Failed too, rather than aborting.

#include <exception>

class QTextStream;

namespace cli {

// Writes what `failure` says to err and returns the exit code. Anything that is not a
// std::exception is rethrown.
int reportFailure(const std::exception_ptr &failure, QTextStream &err);

}  // namespace cli
