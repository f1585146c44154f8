#include "ui/main/undo_commands.h"

#include "core/change_history.h"
#include "core/recipe_error.h"
#include "platform/dialogs.h"
#include "store/RecipeBas.h"
#include "ui/main/failure_text.h"

#include <QAction>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace mainform {

UndoCommands::UndoCommands(platform::Dialogs &dialogs, RecipeBas &store, QWidget &window, std::function<bool()> busy,
                           std::function<void()> refill)
    : dialogs_(dialogs), store_(store), busy_(std::move(busy)), refill_(std::move(refill))
{
    auto *undoKeys = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &window);
    connect(undoKeys, &QShortcut::activated, this, &UndoCommands::undo);
    auto *redoKeys = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), &window);
    connect(redoKeys, &QShortcut::activated, this, &UndoCommands::redo);
}

UndoCommands::~UndoCommands() = default;

void UndoCommands::addTo(QMenu &menu)
{
    separator_ = menu.addSeparator();
    undoAction_ = menu.addAction(QString(), this, &UndoCommands::undo);
    redoAction_ = menu.addAction(QString(), this, &UndoCommands::redo);
    for (QAction *action : {separator_, undoAction_, redoAction_})
        action->setVisible(false);
}

void UndoCommands::prepareMenu(bool root)
{
    const bool offered = root && history_ && !busy_();
    const QString undoText = offered ? history_->undoText() : QString();
    const QString redoText = offered ? history_->redoText() : QString();
    undoAction_->setText(QStringLiteral("Undo ") + undoText);
    undoAction_->setVisible(!undoText.isEmpty());
    redoAction_->setText(QStringLiteral("Redo ") + redoText);
    redoAction_->setVisible(!redoText.isEmpty());
    separator_->setVisible(undoAction_->isVisible() || redoAction_->isVisible());
}

void UndoCommands::fileOpened()
{
    try {
        history_ = std::make_unique<recipes::ChangeHistory>(store_.session());
    } catch (const recipes::Error &) {
        // The file was just read; should it fail now, there is nothing to undo either way.
        history_.reset();
    }
}

void UndoCommands::forget() { history_.reset(); }

void UndoCommands::undo() { step(false); }

void UndoCommands::redo() { step(true); }

void UndoCommands::step(bool forward)
{
    if (!history_ || busy_() || (forward ? history_->redoText() : history_->undoText()).isEmpty())
        return;
    const QString title = forward ? QStringLiteral("Redo") : QStringLiteral("Undo");
    try {
        forward ? history_->redo() : history_->undo();
    } catch (const std::exception &e) {
        showFailure(dialogs_, e, title);
    }
    refill_();
}

}  // namespace mainform
