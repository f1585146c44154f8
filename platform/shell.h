#pragma once
// Opens a document or a web address with whatever the desktop has registered for it.

#include <QUrl>

namespace platform {

class Shell {
public:
    virtual ~Shell() = default;
    // Returns false when nothing could open it; callers may ignore the result.
    virtual bool ShellExecute(const QUrl &target) = 0;
};

}  // namespace platform
