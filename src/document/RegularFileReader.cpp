#include "document/RegularFileReader.h"

#include <QFile>
#include <QFileInfo>
#include <new>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Opens the file for reading only if it is a regular file. On Unix the check
// is made on the opened descriptor, so the name cannot be swapped for a FIFO
// between the check and the open, and opening a FIFO does not wait for a writer.
bool openRegularFile(QFile& file)
{
#ifdef Q_OS_UNIX
    const int fd =
        ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    return QFileInfo(file.fileName()).isFile() && file.open(QIODevice::ReadOnly);
#endif
}

} // namespace

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (path.isEmpty() || !openRegularFile(file))
        return std::nullopt;
    const qint64 size = file.size();
    if (size < 0 || size > maxBytes)
        return std::nullopt;
    try {
        QByteArray bytes(size, Qt::Uninitialized);
        // A file that shrank while being read is not the file that was asked for.
        if (file.read(bytes.data(), size) != size)
            return std::nullopt;
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}
