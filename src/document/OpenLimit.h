#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// The largest file Open takes on. The editor counts its positions in 32-bit
// integers, and a script in the editor takes about ten times its size in
// memory, a few times more while it is saved: a file that would not fit is
// refused up front, since on Linux the allocations would succeed and the
// system would end the program part-way through.
qint64 largestOpenableFile();

// The same rule for a given count of free bytes (-1: unknown).
qint64 largestOpenableFile(qint64 availableMemory);

// The bytes the system can hand out without swapping, as the MemAvailable line
// of the text of /proc/meminfo gives them; -1 when it does not say.
qint64 availableMemoryIn(QByteArrayView meminfo);
