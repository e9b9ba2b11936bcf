#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The largest file, and the largest text in the editor's own bytes (UTF-8,
// where a character of a Windows-1252 file takes up to three), that Open
// takes on. The editor counts its positions in 32-bit integers, and Open and a
// later Save need up to five times the text's size in memory (bench_vexlon
// measures it; the limit allows sixteen, for room to spare): a script that
// would not fit is refused up front, since on Linux the allocations would
// succeed and the system would end the program part-way through.
qint64 largestOpenableFile();

// The same rule for a given count of free bytes (-1: unknown).
qint64 largestOpenableFile(qint64 availableMemory);

// The bytes the system can hand out without swapping, as the MemAvailable line
// of the text of /proc/meminfo gives them; -1 when it does not say.
qint64 availableMemoryIn(QByteArrayView meminfo);
