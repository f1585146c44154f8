#pragma once
// How far a long piece of work has come, shown with a Cancel button.

#include <QtGlobal>

namespace platform {

class Progress {
public:
    virtual ~Progress() = default;
    // done of total. Returns false once the user has cancelled. Keeps the program's windows
    // painted meanwhile; what the user types or clicks reaches only the progress box.
    virtual bool update(qint64 done, qint64 total) = 0;
};

}  // namespace platform
