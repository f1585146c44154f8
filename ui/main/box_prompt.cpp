#include "ui/main/box_prompt.h"

#include "platform/dialogs.h"

namespace mainform {

BoxPrompt::BoxPrompt(platform::Dialogs &dialogs, QString title, Wording wording, QString declined)
    : dialogs_(dialogs), title_(std::move(title)), wording_(std::move(wording)), declined_(std::move(declined))
{
}

std::optional<QString> BoxPrompt::ask(int attempt, int tries) { return dialogs_.PasswordBox(wording_(attempt, tries), title_); }

}  // namespace mainform
