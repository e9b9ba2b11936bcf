#include "document/SafeFileWriter.h"

#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

// Large enough that a script goes out in one or a few writes, small enough
// that a disk filling up is noticed near where it happened.
constexpr qint64 chunkSize = qint64(64) << 20;

} // namespace

SafeFileWriter::SafeFileWriter(WriteStep writeStep)
    : writeStep_(std::move(writeStep))
{
    if (!writeStep_) {
        writeStep_ = [](QIODevice& device, const char* data, qint64 size) {
            return device.write(data, size);
        };
    }
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, QByteArrayView bytes) const
{
    const QFileInfo existing(path);
    const bool keepPermissions = existing.exists();
    const QFileDevice::Permissions permissions = existing.permissions();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    // QSaveFile alone is not enough: after a short write and a failed one its
    // commit() can still succeed and put a cut-off copy in the old file's place.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 size = std::min(chunkSize, bytes.size() - done);
        const qint64 written = writeStep_(file, bytes.data() + done, size);
        if (written != size) {
            QString reason = file.errorString();
            if (file.error() == QFileDevice::NoError)
                reason = u"only %1 of %2 bytes could be written"_s
                             .arg(done + std::max<qint64>(written, 0))
                             .arg(bytes.size());
            file.cancelWriting();
            return {false, reason};
        }
        done += written;
    }
    if (!file.commit())
        return {false, file.errorString()};
    if (keepPermissions && QFileInfo(path).permissions() != permissions)
        QFile::setPermissions(path, permissions);
    return {true, {}};
}
