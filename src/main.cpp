#include "help/WebEngineSetup.h"
#include "platform/Services.h"
#include "shell/MainWindow.h"
#include "shell/SplashScreen.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    prepareWebEngine();
    QApplication app(argc, argv);
    // Lets the desktop match the window to its launcher and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VEXLON_APP_ID));
    MainWindow mainWindow(makeQtServices());
    auto* splash = new SplashScreen(mainWindow); // closes and deletes itself when it hands over
    splash->show();
    return QApplication::exec();
}
