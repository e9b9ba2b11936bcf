#include "document/SafeFileWriter.h"

#include "document/FileAttributes.h"
#include "document/FileFolder.h"
#include "platform/FileName.h"

#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

using Result = SafeFileWriter::Result;
using WriteStep = SafeFileWriter::WriteStep;

// Large enough that a script goes out in one or a few writes, small enough
// that a disk filling up is noticed near where it happened.
constexpr qint64 chunkSize = qint64(64) << 20;

qint64 systemWrite(int fd, const char* data, qint64 size)
{
    for (;;) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written >= 0 || errno != EINTR)
            return written;
    }
}

Result failure(int error) { return {false, qt_error_string(error)}; }

// Writes all bytes from the file's current offset; the reason when that failed.
QString writeAll(int fd, QByteArrayView bytes, const WriteStep& step)
{
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 size = std::min(chunkSize, bytes.size() - done);
        errno = 0;
        const qint64 written = step(fd, bytes.data() + done, size);
        const int error = errno;
        if (written <= 0 || written > size) {
            if (error != 0)
                return qt_error_string(error);
            return u"only %1 of %2 bytes could be written"_s.arg(done).arg(bytes.size());
        }
        done += written;
    }
    return {};
}

std::optional<QByteArray> readWhole(int fd, qint64 expectedSize)
{
    QByteArray bytes;
    bytes.reserve(expectedSize);
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, bytes.size());
        if (got == 0)
            return bytes;
        if (got > 0)
            bytes.append(buffer, got);
        else if (errno != EINTR)
            return std::nullopt;
    }
}

// Writes bytes over the file's content from its start and cuts it to their size.
QString overwrite(int fd, QByteArrayView bytes, const WriteStep& step)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return qt_error_string(errno);
    if (QString reason = writeAll(fd, bytes, step); !reason.isEmpty())
        return reason;
    if (::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0)
        return qt_error_string(errno);
    return {};
}

// Nullopt when the old file's attributes cannot be given to a new file.
std::optional<Result> replaceWhole(const FileFolder& folder, const FileAttributes* old,
                                   QByteArrayView bytes, const WriteStep& step)
{
    QByteArray tempName;
    // 0666 as for any new file: the umask or the folder's default ACL takes away the rest.
    FileDescriptor file = folder.createBeside(".", ".saving-", 0666, tempName);
    if (!file.isOpen())
        return failure(errno);
    QString reason = writeAll(file.get(), bytes, step);
    if (reason.isEmpty() && old && !old->applyTo(file.get())) {
        folder.remove(tempName);
        return std::nullopt;
    }
    if (reason.isEmpty() && (::fsync(file.get()) != 0 || !file.close()))
        reason = qt_error_string(errno);
    if (reason.isEmpty()
        && ::renameat(folder.fd(), tempName.constData(), folder.fd(), folder.fileName().constData())
               != 0)
        reason = qt_error_string(errno);
    if (!reason.isEmpty()) {
        folder.remove(tempName);
        return Result{false, reason};
    }
    if (!folder.sync())
        return failure(errno);
    return Result{true, {}};
}

Result writeInPlace(const FileFolder& folder, QByteArrayView bytes, const WriteStep& step)
{
    const FileDescriptor file(
        ::openat(folder.fd(), folder.fileName().constData(), O_RDWR | O_CLOEXEC));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0)
        return failure(errno);
    const std::optional<QByteArray> old = readWhole(file.get(), status.st_size);
    if (!old)
        return failure(errno);
    QByteArray backupName;
    FileDescriptor backup = folder.createBeside("", ".backup-", 0600, backupName);
    if (!backup.isOpen())
        return failure(errno);

    QString reason = writeAll(backup.get(), *old, systemWrite);
    if (reason.isEmpty() && (::fsync(backup.get()) != 0 || !backup.close() || !folder.sync()))
        reason = qt_error_string(errno);
    // Reserved so that a full disk stops the save before the file has changed.
    // KEEP_SIZE, because a reservation that fails half-way would otherwise
    // leave the file lengthened with zeros.
    if (reason.isEmpty() && bytes.size() > old->size()
        && ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, bytes.size()) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        reason = qt_error_string(errno);
    if (!reason.isEmpty()) {
        folder.remove(backupName);
        return {false, reason};
    }

    reason = overwrite(file.get(), bytes, step);
    const bool undone = !reason.isEmpty() && overwrite(file.get(), *old, step).isEmpty();
    // A write by anyone but root makes the system drop set-id bits; the owner may put them back.
    if (status.st_mode & (S_ISUID | S_ISGID))
        ::fchmod(file.get(), status.st_mode & 07777);
    if (reason.isEmpty() || undone) {
        folder.remove(backupName);
        return {reason.isEmpty(), reason};
    }
    return {false, u"%1. The file may be damaged; its previous content is kept in \"%2\"."_s.arg(
                       reason, folder.pathOf(backupName))};
}

// A symbolic link is written through; a dangling one makes the file it names.
QString writtenThrough(const QString& path)
{
    QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    for (int hop = 0; hop < 40 && info.isSymLink(); ++hop) {
        QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty())
            return canonical;
        info.setFile(info.symLinkTarget());
    }
    return info.filePath();
}

} // namespace

SafeFileWriter::SafeFileWriter(WriteStep writeStep)
    : writeStep_(std::move(writeStep))
{
    if (!writeStep_)
        writeStep_ = systemWrite;
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, QByteArrayView bytes) const
{
    const QByteArray target = encodeFileName(writtenThrough(path));
    if (target.isEmpty())
        return failure(ENOENT);
    struct stat old {};
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return failure(errno);
    if (exists && S_ISDIR(old.st_mode))
        return failure(EISDIR);
    if (exists && !S_ISREG(old.st_mode))
        return {false, u"Not a regular file"_s};
    if (exists && ::faccessat(AT_FDCWD, target.constData(), W_OK, AT_EACCESS) != 0)
        return failure(errno);

    const std::optional<FileFolder> folder = FileFolder::open(target);
    if (!folder)
        return failure(errno);
    if (!exists)
        return *replaceWhole(*folder, nullptr, bytes, writeStep_);
    if (old.st_nlink > 1)
        return writeInPlace(*folder, bytes, writeStep_);
    const std::optional<FileAttributes> attributes = FileAttributes::read(target);
    if (attributes) {
        if (std::optional<Result> result = replaceWhole(*folder, &*attributes, bytes, writeStep_))
            return *result;
    }
    return writeInPlace(*folder, bytes, writeStep_);
}
