#include "app/terminal_prompt.h"

#include "app/secret_input.h"

#include <QTextStream>

namespace cli {

TerminalPrompt::TerminalPrompt(QString question, QString refusal, QTextStream &err)
    : question_(std::move(question)), refusal_(std::move(refusal)), err_(err)
{
}

std::optional<QString> TerminalPrompt::ask(int, int) { return readSecret(question_, err_); }

void TerminalPrompt::refused(int, int) { err_ << refusal_ << "\n"; }

QString TerminalPrompt::declined() const { return QStringLiteral("No password was given."); }

}  // namespace cli
