#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

// Child processes of this one that belong to the web engine.
inline int webEngineProcesses()
{
    const QByteArray self = QByteArray::number(QCoreApplication::applicationPid());
    int count = 0;
    for (const QString& pid :
         QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/") + pid + QStringLiteral("/stat"));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (name) state ppid ..."
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1) == self && line.contains("(QtWebEngine"))
            ++count;
    }
    return count;
}
