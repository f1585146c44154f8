#pragma once
// Passwords typed at a terminal without being shown, or read as lines from standard input when
// it is not a terminal, for scripts. Never echoed, logged or kept beyond the caller's use.

#include <QString>

#include <optional>

class QTextStream;

namespace cli {

// True when standard input is a terminal, where a person can be asked.
bool stdinIsTerminal();

// The next password: at a terminal, prompt goes to err and the typing is hidden; otherwise the
// next line of standard input, without its line end. Nothing at the end of the input.
std::optional<QString> readSecret(const QString &prompt, QTextStream &err);

}  // namespace cli
