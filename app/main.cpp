// Saporium: a personal recipe collection in one password-protected file, beside the program or,
// for an installed program, in the user's data folder.

#include "app/command_line.h"
#include "app/data_folder.h"
#include "platform/desktop_shell.h"
#include "platform/qt_dialogs.h"
#include "platform/single_instance.h"
#include "ui/main/main_window.h"
#include "ui/main/recipe_file.h"
#include "ui/print/pdf_format.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

// The windows are laid out for Tahoma and MS Sans Serif. Debian ships free look-alikes of both
// outside fontconfig's path; use them when they are there, and fontconfig's choice otherwise.
void registerLayoutFonts()
{
    const QDir folder(QStringLiteral("/usr/share/wine/fonts"));
    for (const char *file : {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"})
        if (folder.exists(QLatin1String(file)))
            QFontDatabase::addApplicationFont(folder.filePath(QLatin1String(file)));
}

void nameApplication()
{
    // The name gives the user's data folder (~/.local/share/saporium), lower case like its
    // neighbours; the window's title comes from its form.
    QCoreApplication::setApplicationName(QStringLiteral("saporium"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SAPORIUM_VERSION));
}

appdata::DataFolder dataFolder()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return appdata::chooseDataFolder(programFolder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                     appdata::findSharedFolder(programFolder));
}

// Whether Qt may find a screen to show a box on; without one it would end the program before a
// word could be said.
bool displayMayBeReached()
{
    for (const char *name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}

// Whether a box can be seen: the offscreen and minimal platforms draw into memory only, where a box
// would wait for ever for a click no one can give.
bool boxesCanBeSeen()
{
    const QString platform = QGuiApplication::platformName();
    return platform != u"offscreen" && platform != u"minimal";
}

// A subcommand: no window. A PDF needs the GUI library for its fonts, on the offscreen platform,
// so that it can be made without a display.
int commandLine(int argc, char **argv, const QStringList &arguments)
{
    std::unique_ptr<QCoreApplication> app;
    if (cli::needsGui(arguments)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
        registerLayoutFonts();
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    nameApplication();
    QTextStream out(stdout);
    QTextStream err(stderr);
    return cli::run(QCoreApplication::arguments(), QDir(dataFolder().folder).filePath(QStringLiteral("Recipe.mdb")),
                    out, err);
}

}  // namespace

int main(int argc, char **argv)
{
    // The command line and the window offer the same formats, the PDF cookbook among them.
    printdoc::addPdfFormat();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (cli::wanted(arguments))
        return commandLine(argc, argv, arguments);

    // The file named on the command line, looked at before anything opens it: a pipe or a device
    // would stall the start or act, so it is refused with the reason, on stderr first, where it
    // is read without a display too.
    const std::optional<QString> named = cli::windowFile(arguments);
    const QString namedFile = named ? mainform::recipefile::named(*named) : QString();
    const std::optional<QString> refusal = named ? mainform::recipefile::whyNotOpenable(namedFile) : std::nullopt;
    if (refusal) {
        QTextStream(stderr) << *refusal << Qt::endl;
        if (!displayMayBeReached())
            return cli::Failed;
    }

    QApplication app(argc, argv);
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.saporium.saporium"));
    registerLayoutFonts();

    const appdata::DataFolder data = dataFolder();

    platform::QtDialogs dialogs;
    if (refusal) {
        if (boxesCanBeSeen())
            dialogs.MsgBox(*refusal, platform::vbCritical, platform::kAppTitle);
        return cli::Failed;
    }
    const QString recipeFile = named ? namedFile : QDir(data.folder).filePath(QStringLiteral("Recipe.mdb"));
    // One window per file: a second start on it brings the open window forward instead.
    auto instance = std::make_unique<platform::SingleInstance>(recipeFile);
    if (!instance->claim()) {
        const platform::SingleInstance::Answer answer = instance->askToRaise();
        if (answer)
            return 0;
        if (answer.kind == platform::SingleInstance::Answer::NoAnswer) {
            const QString busy = QStringLiteral("Saporium is already open on %1, but it does not answer. Close it, or "
                                                "wait until it responds, and start Saporium again.")
                                     .arg(QDir::toNativeSeparators(recipeFile));
            QTextStream(stderr) << busy << Qt::endl;
            if (boxesCanBeSeen())
                dialogs.MsgBox(busy, platform::vbCritical, platform::kAppTitle);
            return cli::Failed;
        }
        // What listens is not a window of ours: this one opens, as it would with nobody there.
    } else if (!instance->unguarded().isEmpty()) {
        // The window opens all the same; the reason is kept for whoever reads the log.
        QTextStream(stderr) << instance->unguarded() << Qt::endl;
    }
    platform::DesktopShell shell;
    mainform::MainWindow window(dialogs, shell, data.folder, named ? recipeFile : QString());
    window.keepClaim(std::move(instance));
    if (!data.helpFile.isEmpty())
        window.setHelpFile(data.helpFile);
    dialogs.setParent(&window);
    window.show();
    if (data.starterCopied && !named) {
        // Once, over the shown window: the user should know which file to back up.
        const QString file = QDir::toNativeSeparators(recipeFile);
        QTimer::singleShot(0, &window, [&dialogs, file] {
            dialogs.MsgBox(QStringLiteral("Your recipes are kept in %1. It starts with a few recipes to try; "
                                          "back this file up, it holds your whole collection.")
                               .arg(file),
                           platform::vbOKOnly, platform::kAppTitle);
        });
    }
    return QApplication::exec();
}
