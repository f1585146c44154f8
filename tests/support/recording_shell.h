#pragma once
// A stand-in for the desktop shell: records what it was asked to open.

#include "platform/shell.h"

#include <vector>

namespace testsupport {

class RecordingShell : public platform::Shell {
public:
    bool ShellExecute(const QUrl &target) override
    {
        opened.push_back(target);
        return true;
    }
    std::vector<QUrl> opened;
};

}  // namespace testsupport
