#include "helpbrowser/WebEngineSetup.h"

#include <QCoreApplication>

#include <unistd.h>

void prepareWebEngine()
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // The browser's sandbox refuses to run as root and would end the whole
    // program, with code 1, the moment the help window opens. Many containers
    // and build machines run the program as root, so the browser runs without
    // its sandbox there.
    if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}
