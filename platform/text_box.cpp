#include "platform/text_box.h"

#include <QKeyEvent>
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

// The toolkit's word wrapping measures a run it may not break from the run's start again for
// every line the run fills, so a paragraph costs about the sum of its long runs' squared lengths:
// a run of 8,192 characters some milliseconds, one of 300,000 ten seconds. Wrapping anywhere is
// linear.
constexpr qint64 kMaxWrapCost = qint64(8192) * 8192;
// Shorter runs fill a few lines at most and cost no more than ordinary words.
constexpr qsizetype kLongRun = 256;

// Whether word wrapping would lay some paragraph of text out too slowly. A run ends only at a
// space the toolkit may break at (not at a no-break space), so it is never shorter than the
// toolkit's; break chances inside it, as between CJK ideographs, are not counted, which errs
// towards wrapping anywhere only on paragraphs far longer than a recipe's.
bool wrapsSlowly(const QString &text)
{
    qint64 cost = 0;
    qsizetype run = 0;
    const auto endRun = [&] {
        if (run >= kLongRun)
            cost += qint64(run) * run;
        run = 0;
        return cost > kMaxWrapCost;
    };
    for (const QChar c : text) {
        if (!c.isSpace() || c.decompositionTag() == QChar::NoBreak) {
            ++run;
            continue;
        }
        if (endRun())
            return true;
        if (c == QLatin1Char('\n') || c == QChar::ParagraphSeparator)
            cost = 0;
    }
    return endRun();
}
}  // namespace

TextBox::TextBox(QLineEdit *line) : line_(line) {}
namespace {

// Ctrl+Tab types the tab that Tab, moving the focus on, no longer types.
class TabTyping : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *box = static_cast<QPlainTextEdit *>(watched);
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                if (!box->isReadOnly())
                    box->insertPlainText(QStringLiteral("\t"));
                return true;
            }
        }
        return false;
    }
};

}  // namespace

TextBox::TextBox(QPlainTextEdit *multi) : multi_(multi), wordWrap_(multi->wordWrapMode())
{
    // Tab walks the window as it does from every other control.
    multi_->setTabChangesFocus(true);
    multi_->installEventFilter(new TabTyping(multi_));
}

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
    if (line_) {
        // Its 32,767-character limit keeps even a megabyte quick to show.
        line_->setText(text);
        return;
    }
    const QString shown = toDisplayed(text);
    const QTextOption::WrapMode wrap = wrapsSlowly(shown) ? QTextOption::WrapAnywhere : wordWrap_;
    if (multi_->wordWrapMode() != wrap) {
        // A new mode lays the old text out again at once, so the old text goes first.
        multi_->clear();
        multi_->setWordWrapMode(wrap);
    }
    multi_->setPlainText(shown);
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
