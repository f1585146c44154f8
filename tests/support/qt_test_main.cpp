// Every test executable runs inside one QApplication, as the program does. The user's settings
// (the recent files) go to a folder of the run's own, never to the real user's.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// Qt's Wayland plugin leaves the display connection's proxies to the end of the process, and
// Mesa's EGL, which the plugin sets up for a first window, keeps a driver table it never frees
// (seen with Debian 12's Mesa 22.3); each leak is the library's own, once a run.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libwayland-client.so\n"
           "leak:libEGL_mesa.so\n";
}
#endif

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QTemporaryDir settings;
    if (!settings.isValid())
        qFatal("No temporary folder for the settings: %s", qPrintable(settings.errorString()));
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
