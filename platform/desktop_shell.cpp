#include "platform/desktop_shell.h"

#include <QDesktopServices>

namespace platform {

bool DesktopShell::ShellExecute(const QUrl &target) { return QDesktopServices::openUrl(target); }

}  // namespace platform
