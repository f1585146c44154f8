#pragma once
// A text box of the main window: single-line (QLineEdit) or multi-line (QPlainTextEdit), with a
// locked state in which its text can be read, scrolled and selected but not changed. In the
// multi-line box Tab moves the focus on, as everywhere in the window, and Ctrl+Tab types a tab.
//
// Line breaks: the multi-line box hands out and takes its text with CR LF between lines, the
// line break the stored recipes use; a lone CR or LF given to it is shown as a line break too.
//
// Wrapping: the multi-line box wraps at word boundaries, as its form sets it, except a text with
// a paragraph of runs too long to break between words (a "word" of thousands of characters):
// the toolkit's word wrapping takes seconds on those, so such a text wraps anywhere instead.

#include <QString>
#include <QTextOption>

class QLineEdit;
class QPlainTextEdit;
class QWidget;

namespace platform {

class TextBox {
public:
    explicit TextBox(QLineEdit *line);
    explicit TextBox(QPlainTextEdit *multi);

    QString Text() const;
    void SetText(const QString &text);
    bool Locked() const;
    void SetLocked(bool locked);
    void SetFocus();
    QWidget *widget() const;

private:
    QLineEdit *line_ = nullptr;
    QPlainTextEdit *multi_ = nullptr;
    QTextOption::WrapMode wordWrap_ = QTextOption::WrapAtWordBoundaryOrAnywhere;  // the form's
};

}  // namespace platform
