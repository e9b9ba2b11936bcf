#include "editor/ActivityWatch.h"

ActivityWatch::ActivityWatch()
    : active_(QAccessible::isActive())
{
    QAccessible::installActivationObserver(this);
}

ActivityWatch::~ActivityWatch() { QAccessible::removeActivationObserver(this); }
