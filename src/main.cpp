#include "platform/Services.h"
#include "shell/CommandLine.h"
#include "shell/MainWindow.h"
#include "shell/SplashScreen.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>

int main(int argc, char* argv[])
{
    // Read before any window or display is touched: --help, --version and a
    // wrong option print and end without one. Qt's own options are accepted
    // here and taken out of argv by QApplication below.
    QTextStream out(stdout);
    QTextStream err(stderr);
    const CommandLine commandLine =
        parseCommandLine(argumentsFrom(argc, argv), QDir::currentPath(), out, err);
    if (commandLine.exitCode)
        return *commandLine.exitCode;

    QApplication app(argc, argv);
    // Lets the desktop match the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VEXLON_APP_ID));
    MainWindow mainWindow(makeQtServices());
    if (!commandLine.file.isEmpty())
        mainWindow.openWhenUsable(commandLine.file);
    auto* splash = new SplashScreen(mainWindow); // closes and deletes itself when it hands over
    splash->show();
    return QApplication::exec();
}
