#pragma once
// The window's way of asking for a password: a password box per try, its wording chosen per try.

#include "core/password_prompt.h"

#include <QString>

#include <functional>

namespace platform {
class Dialogs;
}

namespace mainform {

class BoxPrompt : public recipes::PasswordPrompt {
public:
    // The box's text for try attempt of tries.
    using Wording = std::function<QString(int attempt, int tries)>;
    // The dialogs outlive the prompt.
    BoxPrompt(platform::Dialogs &dialogs, QString title, Wording wording, QString declined = {});

    std::optional<QString> ask(int attempt, int tries) override;
    QString declined() const override { return declined_; }

private:
    platform::Dialogs &dialogs_;
    QString title_;
    Wording wording_;
    QString declined_;
};

}  // namespace mainform
