#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

ScriptedDialogs::~ScriptedDialogs()
{
    for (const int answer : msgAnswers_)
        ADD_FAILURE() << "a scripted answer " << answer << " was never taken: the question did not come";
    for (const QString &text : inputAnswers_)
        ADD_FAILURE() << "a scripted input \"" << text.toStdString() << "\" was never taken: the input box did not come";
}

int ScriptedDialogs::MsgBox(const QString &prompt, int flags, const QString &title)
{
    shown_.push_back({Shown::Message, prompt, title.isEmpty() ? platform::kAppTitle : title, flags});
    if (!(flags & platform::vbYesNo))
        return platform::vbOK;
    if (msgAnswers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << prompt.toStdString();
        return platform::vbNo;
    }
    const int answer = msgAnswers_.front();
    msgAnswers_.pop_front();
    return answer;
}

QString ScriptedDialogs::InputBox(const QString &prompt, const QString &title, const QString &)
{
    shown_.push_back({Shown::Input, prompt, title.isEmpty() ? platform::kAppTitle : title, 0});
    if (inputAnswers_.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return {};
    }
    const QString answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    return answer;
}

std::vector<QString> ScriptedDialogs::messages() const
{
    std::vector<QString> out;
    for (const Shown &s : shown_)
        if (s.kind == Shown::Message)
            out.push_back(s.prompt);
    return out;
}

}  // namespace testsupport
