#pragma once
// The command line's way of asking for a password: at the terminal, the same question each try,
// a line saying why after a wrong one.

#include "core/password_prompt.h"

#include <QString>

class QTextStream;

namespace cli {

class TerminalPrompt : public recipes::PasswordPrompt {
public:
    // err outlives the prompt; questions and refusals go there.
    TerminalPrompt(QString question, QString refusal, QTextStream &err);

    std::optional<QString> ask(int attempt, int tries) override;
    void refused(int attempt, int tries) override;
    QString declined() const override;

private:
    QString question_;
    QString refusal_;
    QTextStream &err_;
};

}  // namespace cli
