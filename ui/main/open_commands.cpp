#include "ui/main/open_commands.h"

#include "platform/dialogs.h"
#include "platform/single_instance.h"
#include "ui/main/main_window.h"
#include "ui/main/recipe_file.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace mainform {

namespace {

const QString kOpenTitle = QStringLiteral("Open another recipe file");

bool sameFile(const QString &a, const QString &b)
{
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

}  // namespace

OpenCommands::OpenCommands(platform::Dialogs &dialogs, MainWindow &window) : dialogs_(dialogs), window_(window) {}

OpenCommands::~OpenCommands() = default;

void OpenCommands::keepClaim(std::unique_ptr<platform::SingleInstance> claim)
{
    if (claim)
        QObject::connect(claim.get(), &platform::SingleInstance::raiseRequested, &window_,
                         [this] { platform::SingleInstance::bringToFront(&window_); });
    claim_ = std::move(claim);
}

void OpenCommands::opened(const QString &file) { report(recent_.add(file)); }

void OpenCommands::report(const QString &settingsFailure)
{
    // Once a run: the list is a convenience, and the next file would fail the same way.
    if (settingsFailure.isEmpty() || settingsReported_)
        return;
    settingsReported_ = true;
    dialogs_.MsgBox(settingsFailure, platform::vbCritical, kOpenTitle);
}

void OpenCommands::chooseFile()
{
    const QStringList chosen = dialogs_.GetOpenFileNames(
        kOpenTitle, QStringLiteral("Recipe files (*.mdb);;All files (*)"), QFileInfo(window_.recipeFile()).path());
    if (!chosen.isEmpty())
        open(chosen.front(), false);
}

void OpenCommands::openRecent(const QString &file) { open(file, true); }

void OpenCommands::fillRecentMenu(QMenu &menu)
{
    menu.clear();
    const QStringList files = recent_.files();
    for (const QString &file : files) {
        QString text = QDir::toNativeSeparators(file);
        QAction *action = menu.addAction(text.replace(u'&', QStringLiteral("&&")));
        action->setData(file);
        QObject::connect(action, &QAction::triggered, &window_, [this, file] { openRecent(file); });
    }
    menu.menuAction()->setEnabled(!files.isEmpty());
}

void OpenCommands::open(const QString &given, bool fromList)
{
    const QString file = recipefile::named(given);
    if (const std::optional<QString> why = recipefile::whyNotOpenable(file)) {
        QString message = *why;
        if (fromList) {
            report(recent_.remove(given));
            message += QStringLiteral(" It is taken off the recent files.");
        }
        dialogs_.MsgBox(message, platform::vbCritical, kOpenTitle);
        return;
    }
    if (sameFile(file, window_.recipeFile()))
        return;  // this window has it open already
    auto claim = std::make_unique<platform::SingleInstance>(file);
    if (!claim->claim()) {
        const platform::SingleInstance::Answer answer = claim->askToRaise();
        if (answer)
            return;  // another window has it, and is in front now
        if (answer.kind == platform::SingleInstance::Answer::NoAnswer) {
            dialogs_.MsgBox(QStringLiteral("%1 is open in another Saporium window, which does not answer. Close "
                                           "that window, or wait until it responds, and open the file again.")
                                .arg(QDir::toNativeSeparators(file)),
                            platform::vbCritical, kOpenTitle);
            return;
        }
        // What listens is not a window of ours: the file opens here, as it would at start-up.
    }
    window_.openRecipeFile(file);
    // The file this window had is let go only now, so that it is never held by no one in between.
    keepClaim(std::move(claim));
}

}  // namespace mainform
