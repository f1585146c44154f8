#include "app/failure_report.h"

#include "app/arguments.h"
#include "app/command_line.h"
#include "core/recipe_error.h"
#include "exchange/importer.h"

#include <QTextStream>

namespace cli {

int reportFailure(const std::exception_ptr &failure, QTextStream &err)
{
    try {
        std::rethrow_exception(failure);
    } catch (const UsageError &e) {
        err << e.message << "\n" << "Try: saporium --help\n";
    } catch (const recipes::Error &e) {
        err << e.message() << "\n";
    } catch (const std::exception &e) {
        err << QString::fromUtf8(e.what()) << "\n";
    }
    return Failed;
}

int reportImport(const exchange::ImportReport &report, QTextStream &err)
{
    err << report.text() << "\n";
    if (report.fileFailed)
        return Failed;
    return report.refused > 0 || report.unreadable > 0 ? SomeRefused : Done;
}

}  // namespace cli
