#include "platform/QtProcessControl.h"

#include <QApplication>

void QtProcessControl::endProgram()
{
    QApplication::closeAllWindows();
    QCoreApplication::exit(0);
}
