#include "document/OpenLimit.h"

#include <QFile>
#include <limits>

qint64 availableMemoryIn(QByteArrayView meminfo)
{
    constexpr QByteArrayView key = "MemAvailable:";
    for (const QByteArray& line : meminfo.toByteArray().split('\n')) {
        if (!line.startsWith(key))
            continue;
        const QList<QByteArray> fields = line.sliced(key.size()).trimmed().split(' ');
        bool ok = false;
        const qint64 kilobytes = fields.value(0).toLongLong(&ok);
        if (!ok || kilobytes < 0 || kilobytes > std::numeric_limits<qint64>::max() / 1024
            || fields.size() != 2 || fields[1] != "kB")
            return -1;
        return kilobytes * 1024;
    }
    return -1;
}

namespace {

// Peak memory of Open and of a later Save, measured by bench_vexlon, with room to spare.
constexpr qint64 memoryPerFileByte = 16;

// What the system can hand out without swapping, or -1 when it does not say.
qint64 availableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    return availableMemoryIn(meminfo.readAll());
}

} // namespace

qint64 largestOpenableFile(qint64 availableMemory)
{
    const qint64 editorLimit = std::numeric_limits<int>::max() - 1;
    if (availableMemory < 0)
        return editorLimit;
    return std::min(editorLimit, availableMemory / memoryPerFileByte);
}

qint64 largestOpenableFile() { return largestOpenableFile(availableMemory()); }
