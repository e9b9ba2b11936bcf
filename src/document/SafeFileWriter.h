#pragma once

#include <QByteArrayView>
#include <QString>
#include <functional>

class QIODevice;

// Writes a whole file so that a failure never destroys the one already there:
// the bytes go to a temporary file in the same folder, which replaces the old
// file only once every byte has been written and flushed to disk. The old
// file's permission bits are kept.
class SafeFileWriter {
public:
    // One write to the temporary file; returns the count written, or -1.
    using WriteStep = std::function<qint64(QIODevice& device, const char* data, qint64 size)>;

    struct Result {
        bool written = false;
        // The system's reason when not written.
        QString reason;
    };

    // The write step is where tests make the disk fill up part-way; by default
    // it is the device's own write.
    explicit SafeFileWriter(WriteStep writeStep = {});

    Result write(const QString& path, QByteArrayView bytes) const;

private:
    WriteStep writeStep_;
};
