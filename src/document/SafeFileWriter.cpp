#include "document/SafeFileWriter.h"

#include "document/FileAttributes.h"
#include "document/FileFolder.h"
#include "document/FileIdentity.h"
#include "document/InterruptedSave.h"
#include "platform/FileName.h"

#include <QFileInfo>
#include <cerrno>
#include <cstdio>
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

// What writing content into a file came to.
struct Written {
    // The system's reason when a write failed.
    QString reason;
    // The content stopped before its end of itself.
    bool cancelled = false;
    qint64 bytes = 0;
    bool whole() const { return reason.isEmpty() && !cancelled; }
};

// Writes the content, of the given size, from the file's current offset.
Written writeAll(int fd, qint64 size, const SafeFileWriter::Content& content, const WriteStep& step)
{
    Written written;
    const auto put = [&](QByteArrayView bytes) {
        for (qint64 done = 0; done < bytes.size();) {
            const qint64 chunk = std::min(chunkSize, bytes.size() - done);
            errno = 0;
            const qint64 count = step(fd, bytes.data() + done, chunk);
            const int error = errno;
            if (count <= 0 || count > chunk) {
                written.reason =
                    error != 0
                        ? qt_error_string(error)
                        : u"only %1 of %2 bytes could be written"_s.arg(written.bytes).arg(size);
                return false;
            }
            done += count;
            written.bytes += count;
        }
        return true;
    };
    written.cancelled = !content(put) && written.reason.isEmpty();
    return written;
}

SafeFileWriter::Content contentOf(QByteArrayView bytes)
{
    return [bytes](const SafeFileWriter::Sink& put) { return put(bytes); };
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

// Writes the content over the file's from its start and cuts it to its size.
Written overwrite(int fd, qint64 size, const SafeFileWriter::Content& content,
                  const WriteStep& step)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return {qt_error_string(errno)};
    Written written = writeAll(fd, size, content, step);
    if (written.whole() && (::ftruncate(fd, written.bytes) != 0 || ::fsync(fd) != 0))
        written.reason = qt_error_string(errno);
    return written;
}

// How a folder refuses a new file, while a file in it may still be writable.
bool folderRefuses(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// Gives the open file what any file made in the folder gets: 0666 less the
// umask, or what the folder's default ACL gives. These are read from an empty
// file made for the purpose, so that the system works them out.
bool giveNewFileAttributes(const FileFolder& folder, int fd)
{
    QByteArray probeName;
    const FileDescriptor probe = folder.createBeside(".", ".saving-", 0666, probeName);
    if (!probe.isOpen())
        return false;
    const std::optional<FileAttributes> attributes = FileAttributes::read(probe.get());
    const int error = errno;
    folder.remove(probeName);
    errno = error;
    return attributes && attributes->applyTo(fd);
}

// Nullopt when the save is to go in place: the old file's attributes cannot
// be given to a new file, the folder takes no new file, or the old file cannot
// be renamed over (it is a mount point).
std::optional<Result> replaceWhole(const FileFolder& folder, const FileAttributes* old, qint64 size,
                                   const SafeFileWriter::Content& content, const WriteStep& step)
{
    QByteArray tempName;
    // Only the user's until it is complete, whatever the old file allows.
    FileDescriptor file = folder.createBeside(".", ".saving-", 0600, tempName);
    if (!file.isOpen()) {
        if (old && folderRefuses(errno))
            return std::nullopt;
        return failure(errno);
    }
    const Written written = writeAll(file.get(), size, content, step);
    if (written.cancelled) {
        folder.remove(tempName);
        return Result{.written = false, .reason = {}, .cancelled = true};
    }
    QString reason = written.reason;
    if (reason.isEmpty()) {
        const bool given =
            old ? old->applyTo(file.get()) : giveNewFileAttributes(folder, file.get());
        if (!given && old) {
            folder.remove(tempName);
            return std::nullopt;
        }
        if (!given)
            reason = qt_error_string(errno);
    }
    if (reason.isEmpty() && (::fsync(file.get()) != 0 || !file.close()))
        reason = qt_error_string(errno);
    if (reason.isEmpty()
        && ::renameat(folder.fd(), tempName.constData(), folder.fd(), folder.fileName().constData())
               != 0) {
        const int error = errno;
        folder.remove(tempName);
        if (old && (error == EBUSY || error == EXDEV))
            return std::nullopt;
        return failure(error);
    }
    if (!reason.isEmpty()) {
        folder.remove(tempName);
        return Result{false, reason};
    }
    if (!folder.sync())
        return failure(errno);
    return Result{true, {}};
}

QByteArray backupStem(const FileFolder& folder)
{
    return folder.stem("", InterruptedSave::backupInfix, InterruptedSave::unfinishedSuffixSize);
}

// Copies that were never finished were made before their file was touched:
// nothing needs them.
void removeUnfinishedBackups(const FileFolder& folder)
{
    for (const QByteArray& name :
         folder.namesMade(backupStem(folder), InterruptedSave::unfinishedSuffix))
        folder.remove(name);
}

// The folder in the user's cache for copies that cannot be made beside their
// file: $XDG_CACHE_HOME/vexlon or ~/.cache/vexlon, only the user's. Nullopt,
// with errno set, when it cannot be made.
std::optional<FileFolder> cacheFolderFor(const QByteArray& fileName)
{
    QByteArray base = qgetenv("XDG_CACHE_HOME");
    if (!base.startsWith('/')) {
        const QByteArray home = qgetenv("HOME");
        if (!home.startsWith('/')) {
            errno = ENOENT;
            return std::nullopt;
        }
        base = home + "/.cache";
    }
    const QByteArray path = base + "/vexlon";
    for (const QByteArray& folder : {base, path}) {
        if (::mkdir(folder.constData(), 0700) != 0 && errno != EEXIST)
            return std::nullopt;
    }
    struct stat status {};
    if (::lstat(path.constData(), &status) != 0)
        return std::nullopt;
    if (!S_ISDIR(status.st_mode) || status.st_uid != ::geteuid()) {
        errno = EACCES;
        return std::nullopt;
    }
    return FileFolder::open(path + '/' + fileName);
}

// Renames without replacing a file of the new name, where the file system can.
bool renameNew(const FileFolder& folder, const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(folder.fd(), from.constData(), folder.fd(), to.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat status {};
    if (::fstatat(folder.fd(), to.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::renameat(folder.fd(), from.constData(), folder.fd(), to.constData()) == 0;
}

// Writes the old content into the copy, made under its unfinished name, and
// gives the copy its final name once it is on disk; `name` follows it.
QString finishBackup(const FileFolder& folder, FileDescriptor copy, QByteArray& name,
                     QByteArrayView old)
{
    if (Written written = writeAll(copy.get(), old.size(), contentOf(old), systemWrite);
        !written.whole())
        return written.reason;
    if (::fsync(copy.get()) != 0 || !copy.close())
        return qt_error_string(errno);
    const QByteArray finished = name.chopped(InterruptedSave::unfinishedSuffixSize);
    if (!renameNew(folder, name, finished))
        return qt_error_string(errno);
    name = finished;
    if (!folder.sync())
        return qt_error_string(errno);
    return {};
}

Result writeInPlace(const FileFolder& folder, qint64 size, const SafeFileWriter::Content& content,
                    const WriteStep& step)
{
    const FileDescriptor file(
        ::openat(folder.fd(), folder.fileName().constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0)
        return failure(errno);
    const std::optional<QByteArray> old = readWhole(file.get(), status.st_size);
    if (!old)
        return failure(errno);

    const FileFolder* backupFolder = &folder;
    std::optional<FileFolder> cache;
    QByteArray backupName;
    FileDescriptor backup =
        folder.create(backupStem(folder), InterruptedSave::unfinishedSuffix, 0600, backupName);
    if (!backup.isOpen()) {
        const int error = errno;
        if (folderRefuses(error))
            cache = cacheFolderFor(folder.fileName());
        if (!cache)
            return failure(error);
        removeUnfinishedBackups(*cache);
        backupFolder = &*cache;
        backup =
            cache->create(backupStem(*cache), InterruptedSave::unfinishedSuffix, 0600, backupName);
        // The folder's reason: it is the file's folder that the user knows.
        if (!backup.isOpen())
            return failure(error);
    }

    QString reason = finishBackup(*backupFolder, std::move(backup), backupName, *old);
    // Reserved so that a full disk stops the save before the file has changed.
    // KEEP_SIZE, because a reservation that fails half-way would otherwise
    // leave the file lengthened with zeros.
    if (reason.isEmpty() && size > old->size()
        && ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, size) != 0 && errno != EOPNOTSUPP
        && errno != ENOSYS)
        reason = qt_error_string(errno);
    if (!reason.isEmpty()) {
        backupFolder->remove(backupName);
        return {false, reason};
    }

    const Written written = overwrite(file.get(), size, content, step);
    reason = written.reason;
    const bool undone =
        !written.whole() && overwrite(file.get(), old->size(), contentOf(*old), step).whole();
    // A write by anyone but root makes the system drop set-id bits; the owner may put them back.
    if (status.st_mode & (S_ISUID | S_ISGID))
        ::fchmod(file.get(), status.st_mode & 07777);
    if (written.whole() || undone) {
        backupFolder->remove(backupName);
        return {written.whole(), reason, written.cancelled};
    }
    if (reason.isEmpty())
        reason = u"The save was stopped"_s;
    return {false, u"%1. The file may be damaged; its previous content is kept in \"%2\"."_s.arg(
                       reason, backupFolder->pathOf(backupName))};
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

SafeFileWriter::Result SafeFileWriter::write(const QString& path, QByteArrayView bytes,
                                             Links links) const
{
    return write(path, bytes.size(), contentOf(bytes), links);
}

SafeFileWriter::Result SafeFileWriter::write(const QString& path, qint64 size,
                                             const Content& content, Links links) const
{
    // Refused, a link is never followed: the check below, then a rename that
    // replaces whatever is at the name, or an in-place open with O_NOFOLLOW.
    if (links == Links::Refuse) {
        if (const std::optional<QString> linkTarget = FileIdentity::linkTargetOf(path))
            return {false,
                    u"\"%1\" is a link to \"%2\"; it was not saved."_s.arg(path, *linkTarget)};
    }
    const QByteArray target = encodeFileName(links == Links::Follow ? writtenThrough(path) : path);
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
        return *replaceWhole(*folder, nullptr, size, content, writeStep_);
    removeUnfinishedBackups(*folder);
    if (old.st_nlink > 1)
        return writeInPlace(*folder, size, content, writeStep_);
    const std::optional<FileAttributes> attributes = FileAttributes::read(target);
    if (attributes) {
        if (std::optional<Result> result =
                replaceWhole(*folder, &*attributes, size, content, writeStep_))
            return *result;
    }
    return writeInPlace(*folder, size, content, writeStep_);
}
