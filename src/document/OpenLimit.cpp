#include "document/OpenLimit.h"

#include <QFile>
#include <limits>

namespace {

// Peak memory of Open and of a later Save, measured by bench_vexlon, with room to spare.
constexpr qint64 memoryPerFileByte = 16;

// What the system can hand out without swapping, or -1 when it does not say.
qint64 availableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : meminfo.readAll().split('\n')) {
        if (line.startsWith("MemAvailable:")) {
            bool ok = false;
            const qint64 kilobytes = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? kilobytes * 1024 : -1;
        }
    }
    return -1;
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
