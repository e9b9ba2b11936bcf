#include "platform/WindowProgramEnvironment.h"

#include <QGuiApplication>

// Last: Xlib's macros would clash with names in Qt's headers.
#include <X11/Xlib.h>

using namespace Qt::StringLiterals;

QProcessEnvironment windowProgramEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, QGuiApplication::platformName());
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (Display* display = x11 ? x11->display() : nullptr)
        environment.insert(u"DISPLAY"_s, QString::fromLocal8Bit(DisplayString(display)));
    return environment;
}
