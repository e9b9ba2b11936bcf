#include "platform/SplashCcreenAPI.h"

#include <QWidget>

void SplashCcreenAPI::keepOnTop(QWidget& window)
{
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
}
