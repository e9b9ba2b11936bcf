#include "document/RegularFileReader.h"

#include "platform/FileName.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

RegularFileRead failed(const QString& why) { return {std::nullopt, {}, why}; }

QString megabytes(qint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); }

QString notRegularReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return u"It is a folder, not a file."_s;
    if (S_ISFIFO(mode))
        return u"It is a pipe (FIFO), not a file."_s;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return u"It is a device, not a file."_s;
    return u"It is not a regular file."_s;
}

} // namespace

RegularFileRead readRegularFile(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty())
        return failed(u"No file name was given."_s);
    // The check is made on the opened descriptor, so the name cannot be
    // swapped for a FIFO between the check and the open, and opening a FIFO
    // does not wait for a writer.
    const int fd = ::open(encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(qt_error_string(errno));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed(file.errorString());
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return failed(qt_error_string(errno));
    if (!S_ISREG(status.st_mode))
        return failed(notRegularReason(status.st_mode));
    const qint64 size = status.st_size;
    if (size > maxBytes)
        return failed(
            u"It is too large to open here: %1 MB, where the editor can take at most "
            u"%2 MB with the memory now free."_s.arg(megabytes(size), megabytes(maxBytes)));
    try {
        QByteArray bytes(size, Qt::Uninitialized);
        const qint64 read = file.read(bytes.data(), size);
        if (read < 0)
            return failed(file.errorString());
        // A file that shrank while being read is not the file that was asked for.
        if (read != size)
            return failed(u"It changed while it was being read."_s);
        return {std::move(bytes), FileIdentity::of(status), {}};
    } catch (const std::bad_alloc&) {
        return failed(u"There is not enough memory to open it."_s);
    }
}
