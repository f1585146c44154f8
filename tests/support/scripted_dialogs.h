#pragma once
// A stand-in for the modal boxes: records every box shown and answers from a script.

#include "platform/dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <memory>
#include <utility>
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
        enum Kind { Message, Input, Password, OpenFiles, Folder, SaveFile, Progress } kind;
        QString prompt;
        QString title;  // as shown: the program's title when the caller gave none
        int flags;
    };

    // Answers for the coming message boxes with Yes/No (vbYes or vbNo), in order. A Yes/No box
    // with no scripted answer fails the test: every question a test causes must be expected.
    void answerMsgBox(int answer) { msgAnswers_.push_back(answer); }
    // Texts for the coming input and password boxes, in order; "" stands for Cancel.
    void answerInputBox(const QString &text) { inputAnswers_.push_back(text); }
    // The answer of the coming file and folder boxes, in order of their kind; none or "" stands
    // for Cancel. A save box's answer names the kind of file chosen by its index.
    void answerOpenFiles(const QStringList &files) { fileAnswers_.push_back(files); }
    void answerFolder(const QString &folder) { fileAnswers_.push_back({folder}); }
    void answerSaveFile(const QString &path, int filter) { saveAnswers_.push_back({path, filter}); }
    // The coming progress boxes are cancelled at their nth update (1 = the first); 0: never.
    void cancelProgressAt(int update) { cancelAt_ = update; }
    // Every update the progress boxes were given: done and total.
    const std::vector<std::pair<qint64, qint64>> &progressUpdates() const { return updates_; }

    int MsgBox(const QString &prompt, int flags, const QString &title) override;
    QString InputBox(const QString &prompt, const QString &title, const QString &defaultText) override;
    QString PasswordBox(const QString &prompt, const QString &title) override;
    QStringList GetOpenFileNames(const QString &title, const QString &filter, const QString &folder) override;
    QString GetExistingDirectory(const QString &title) override;
    QString GetSaveFileName(const QString &title, const QString &suggested, const QStringList &filters,
                            int *chosen) override;
    std::unique_ptr<platform::Progress> StartProgress(const QString &label, const QString &title) override;

    const std::vector<Shown> &shown() const { return shown_; }
    // The prompts of the message boxes shown, in order.
    std::vector<QString> messages() const;
    void clear() { shown_.clear(); }
    bool answersLeft() const
    {
        return !msgAnswers_.empty() || !inputAnswers_.empty() || !fileAnswers_.empty() || !saveAnswers_.empty();
    }

private:
    std::vector<Shown> shown_;
    std::deque<int> msgAnswers_;
    std::deque<QString> inputAnswers_;
    std::deque<QStringList> fileAnswers_;
    std::deque<std::pair<QString, int>> saveAnswers_;
    int cancelAt_ = 0;
    std::vector<std::pair<qint64, qint64>> updates_;
};

}  // namespace testsupport
