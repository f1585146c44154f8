#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace testsupport {

ScriptedDialogs::~ScriptedDialogs()
{
    for (const int answer : msgAnswers_)
        ADD_FAILURE() << "a scripted answer " << answer << " was never taken: the question did not come";
    for (const QString &text : inputAnswers_)
        ADD_FAILURE() << "a scripted input \"" << text.toStdString() << "\" was never taken: the input box did not come";
    for (const QStringList &files : fileAnswers_)
        ADD_FAILURE() << "a scripted file choice \"" << files.join(u',').toStdString() << "\" was never taken";
    for (const auto &[path, filter] : saveAnswers_)
        ADD_FAILURE() << "a scripted save choice \"" << path.toStdString() << "\" was never taken";
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

namespace {

// Records each update and cancels at the scripted one.
class ScriptedProgress : public platform::Progress {
public:
    ScriptedProgress(int cancelAt, std::vector<std::pair<qint64, qint64>> &updates)
        : cancelAt_(cancelAt), updates_(updates)
    {
    }
    bool update(qint64 done, qint64 total) override
    {
        updates_.emplace_back(done, total);
        cancelled_ = cancelled_ || ++calls_ == cancelAt_;
        return !cancelled_;
    }

private:
    int cancelAt_;
    std::vector<std::pair<qint64, qint64>> &updates_;
    int calls_ = 0;
    bool cancelled_ = false;
};

}  // namespace

QString ScriptedDialogs::PasswordBox(const QString &prompt, const QString &title)
{
    const QString answer = InputBox(prompt, title, QString());
    shown_.back().kind = Shown::Password;
    return answer;
}

QStringList ScriptedDialogs::GetOpenFileNames(const QString &title, const QString &filter, const QString &)
{
    shown_.push_back({Shown::OpenFiles, filter, title, 0});
    if (fileAnswers_.empty()) {
        ADD_FAILURE() << "unexpected file box: " << title.toStdString();
        return {};
    }
    const QStringList answer = fileAnswers_.front();
    fileAnswers_.pop_front();
    return answer;
}

QString ScriptedDialogs::GetExistingDirectory(const QString &title)
{
    const QStringList answer = GetOpenFileNames(title, QString(), QString());
    shown_.back().kind = Shown::Folder;
    return answer.value(0);
}

QString ScriptedDialogs::GetSaveFileName(const QString &title, const QString &suggested, const QStringList &filters,
                                         int *chosen)
{
    shown_.push_back({Shown::SaveFile, suggested + u'|' + filters.join(QStringLiteral(";;")), title, 0});
    if (saveAnswers_.empty()) {
        ADD_FAILURE() << "unexpected save box: " << title.toStdString();
        return {};
    }
    const auto [path, filter] = saveAnswers_.front();
    saveAnswers_.pop_front();
    if (chosen)
        *chosen = filter;
    return path;
}

std::unique_ptr<platform::Progress> ScriptedDialogs::StartProgress(const QString &label, const QString &title)
{
    shown_.push_back({Shown::Progress, label, title.isEmpty() ? platform::kAppTitle : title, 0});
    return std::make_unique<ScriptedProgress>(cancelAt_, updates_);
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
