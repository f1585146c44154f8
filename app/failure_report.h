#pragma once
// The command line's one place that turns a failure, or an import's report, into words on stderr
// and an exit code (command_line.h). A usage mistake (UsageError) adds how to get help; the
// core's recipes::Error is its message. Both exit Failed. A fault of the program's own (any other
// std::exception) is reported by its what() and exits Failed too, rather than aborting.

#include <exception>

class QTextStream;

namespace exchange {
struct ImportReport;
}

namespace cli {

// Writes what `failure` says to err and returns the exit code. Anything that is not a
// std::exception is rethrown.
int reportFailure(const std::exception_ptr &failure, QTextStream &err);
// Writes an import's report to err and returns the exit code: Failed when a named file or
// folder failed, SomeRefused when some recipe or file was refused, else Done.
int reportImport(const exchange::ImportReport &report, QTextStream &err);

}  // namespace cli
