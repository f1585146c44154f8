#pragma once
// The engine's one failure: every operation that fails throws dao::EngineError, whose message
// says what failed in words a user can act on. Nothing in the engine shows anything to the user.

#include <QString>

#include <stdexcept>

namespace dao {

class EngineError : public std::runtime_error {
public:
    // What a caller may want to tell apart from an ordinary failure.
    enum class Kind {
        Failure,
        NoSuchCategory,  // the named table is not (or no longer) in the file
        RecipeChanged,   // another program changed or removed the row since it was read
        TimedOut,        // a statement ran past the time limit and was stopped
        WrongKey,        // opening: the password does not open a file that may be keyed with another
        Busy,            // another connection held the file past the wait; trying later may work
    };
    explicit EngineError(const QString &message, Kind kind = Kind::Failure);
    QString message() const;  // whole, even where what() would stop at a NUL
    Kind kind() const { return kind_; }

private:
    QString message_;
    Kind kind_;
};

}  // namespace dao
