#pragma once
// The real shell: the desktop's registered handlers, through QDesktopServices.

#include "platform/shell.h"

namespace platform {

class DesktopShell : public Shell {
public:
    bool ShellExecute(const QUrl &target) override;
};

}  // namespace platform
