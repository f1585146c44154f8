#pragma once
// Asks someone for a password, a try at a time. The window asks in a box, the command line at a
// terminal; RecipeSession::askUntilAccepted runs the tries, so both count and give up alike.

#include <QString>

#include <optional>

namespace recipes {

class PasswordPrompt {
public:
    virtual ~PasswordPrompt() = default;

    // The password for try `attempt` of `tries` (1 first); nothing or an empty one gives up.
    virtual std::optional<QString> ask(int attempt, int tries) = 0;
    // The password of try `attempt` was wrong and another try follows.
    virtual void refused(int attempt, int tries)
    {
        (void)attempt;
        (void)tries;
    }
    // What giving up means, for the error it ends with.
    virtual QString declined() const = 0;
};

}  // namespace recipes
