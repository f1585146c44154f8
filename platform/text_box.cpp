#include "platform/text_box.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace platform {

namespace {
const QString kCrLf = QStringLiteral("\r\n");

QString toDisplayed(QString text)
{
    text.replace(kCrLf, QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
}  // namespace

QString TrimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.mid(begin, end - begin);
}

TextBox::TextBox(QLineEdit *line) : line_(line) {}
TextBox::TextBox(QPlainTextEdit *multi) : multi_(multi) {}

QString TextBox::Text() const
{
    if (line_)
        return line_->text();
    QString text = multi_->toPlainText();
    text.replace(QLatin1Char('\n'), kCrLf);
    return text;
}

void TextBox::SetText(const QString &text)
{
    if (line_)
        line_->setText(text);
    else
        multi_->setPlainText(toDisplayed(text));
}

bool TextBox::Locked() const { return line_ ? line_->isReadOnly() : multi_->isReadOnly(); }

void TextBox::SetLocked(bool locked)
{
    if (line_)
        line_->setReadOnly(locked);
    else
        multi_->setReadOnly(locked);
}

void TextBox::SetFocus() { widget()->setFocus(Qt::OtherFocusReason); }

QWidget *TextBox::widget() const
{
    if (line_)
        return line_;
    return multi_;
}

}  // namespace platform
