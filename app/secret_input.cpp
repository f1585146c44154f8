#include "app/secret_input.h"

#include <QTextStream>

#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

std::optional<QString> readLine()
{
    std::string line;
    int c;
    while ((c = std::getchar()) != EOF && c != '\n')
        line.push_back(static_cast<char>(c));
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromLocal8Bit(line.data(), static_cast<qsizetype>(line.size()));
}

}  // namespace

bool stdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

std::optional<QString> readSecret(const QString &prompt, QTextStream &err)
{
    if (!stdinIsTerminal())
        return readLine();
    err << prompt << Qt::flush;
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios hidden = saved;
        hidden.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden);
    }
    std::optional<QString> line = readLine();
    if (quiet)
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    err << "\n" << Qt::flush;
    return line;
}

}  // namespace cli
