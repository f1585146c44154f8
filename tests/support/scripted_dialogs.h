#pragma once
// A stand-in for the modal boxes: records every box shown and answers from a script.

#include "platform/dialogs.h"

#include <QString>

#include <deque>
#include <vector>

namespace testsupport {

// An answer scripted for a box that never came is a mistake in the test (or a question the
// program stopped asking): the test fails when the double is destroyed with answers left.
class ScriptedDialogs : public platform::Dialogs {
public:
    ScriptedDialogs() = default;
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;
    ~ScriptedDialogs() override;

    struct Shown {
        enum Kind { Message, Input } kind;
        QString prompt;
        QString title;  // as shown: the program's title when the caller gave none
        int flags;
    };

    // Answers for the coming message boxes with Yes/No (vbYes or vbNo), in order. A Yes/No box
    // with no scripted answer fails the test: every question a test causes must be expected.
    void answerMsgBox(int answer) { msgAnswers_.push_back(answer); }
    // Texts for the coming input boxes, in order; "" stands for Cancel.
    void answerInputBox(const QString &text) { inputAnswers_.push_back(text); }

    int MsgBox(const QString &prompt, int flags, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;

    const std::vector<Shown> &shown() const { return shown_; }
    // The prompts of the message boxes shown, in order.
    std::vector<QString> messages() const;
    void clear() { shown_.clear(); }
    bool answersLeft() const { return !msgAnswers_.empty() || !inputAnswers_.empty(); }

private:
    std::vector<Shown> shown_;
    std::deque<int> msgAnswers_;
    std::deque<QString> inputAnswers_;
};

}  // namespace testsupport
