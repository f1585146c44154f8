#pragma once
// The one error type of the recipe core: every failure of an operation comes out as a
// recipes::Error, with a message a user can act on and a kind a caller may tell apart.

#include <QString>

#include <stdexcept>

namespace dao {
class EngineError;
}

namespace recipes {

class Error : public std::runtime_error {
public:
    enum class Kind {
        Failure,
        NoSuchCategory,  // the named category is not (or no longer) in the file
        RecipeChanged,   // another program changed or removed the recipe since it was read
        TimedOut,        // a statement ran past the time limit and was stopped
        TooLong,         // a field's text is longer than the field holds: see field() and counts
        WrongPassword,   // opening: the password does not open a file that may have another one
    };
    explicit Error(const QString &message, Kind kind = Kind::Failure);
    // A text too long for its field, counted in characters as typed (the stored blank left out).
    static Error tooLong(int field, int length, int most);
    // The engine's failure, with its message and kind.
    static Error fromEngine(const dao::EngineError &e);

    QString message() const { return message_; }  // whole, even where what() would stop at a NUL
    Kind kind() const { return kind_; }
    int field() const { return field_; }   // TooLong: the field's ordinal
    int length() const { return length_; }  // TooLong: the characters typed
    int most() const { return most_; }      // TooLong: the most that fit

private:
    QString message_;
    Kind kind_;
    int field_ = -1;
    int length_ = 0;
    int most_ = 0;
};

}  // namespace recipes
