#include "platform/KeepOnTop.h"

#include <QWidget>

void keepOnTop(QWidget& window) { window.setWindowFlag(Qt::WindowStaysOnTopHint, true); }
