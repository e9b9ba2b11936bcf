#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QList>
#include <QWidget>

// The top-level windows of that object name.
inline QList<QWidget*> windowsNamed(const QString& name)
{
    QList<QWidget*> windows;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name)
            windows << window;
    }
    return windows;
}

// Windows that closed themselves are deleted later; this deletes them now.
inline void destroyClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
