// Saporium: a personal recipe collection in one password-protected file beside the program.

#include "platform/desktop_shell.h"
#include "platform/qt_dialogs.h"
#include "ui/main/main_window.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>

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

}  // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Saporium"));
    registerLayoutFonts();

    platform::QtDialogs dialogs;
    platform::DesktopShell shell;
    mainform::MainWindow window(dialogs, shell, QApplication::applicationDirPath());
    dialogs.setParent(&window);
    window.show();
    return QApplication::exec();
}
