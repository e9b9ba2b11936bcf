#include "document/RegularFileReader.h"

#include "platform/FileName.h"

#include <QByteArray>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Large enough that a read costs little beside the bytes, small enough to
// stay in the processor's cache on its way on.
constexpr qsizetype pieceSize = qsizetype(1) << 18;

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

RegularFileReader::RegularFileReader(const QString& path, qint64 maxBytes)
{
    if (path.isEmpty()) {
        failure_ = u"No file name was given."_s;
        return;
    }
    // The check is made on the opened descriptor, so the name cannot be
    // swapped for a FIFO between the check and the open, and opening a FIFO
    // does not wait for a writer.
    FileDescriptor file(
        ::open(encodeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (!file.isOpen() || ::fstat(file.get(), &status) != 0) {
        failure_ = qt_error_string(errno);
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        failure_ = notRegularReason(status.st_mode);
        return;
    }
    if (status.st_size > maxBytes) {
        failure_ = u"It is too large to open here: %1 MB, where the editor can take at most "
                   u"%2 MB with the memory now free."_s.arg(megabytes(status.st_size),
                                                            megabytes(maxBytes));
        return;
    }
    ::posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    identity_ = FileIdentity::of(status);
    file_ = std::move(file);
}

RegularFileReader::Outcome RegularFileReader::fail(const QString& why)
{
    failure_ = why;
    return Outcome::Failed;
}

RegularFileReader::Outcome
RegularFileReader::readPieces(const std::function<bool(QByteArrayView)>& onPiece)
{
    if (!isOpen())
        return Outcome::Failed;
    const QString changed = u"It changed while it was being read."_s;
    QByteArray buffer(pieceSize, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        const ssize_t got = ::pread(file_.get(), buffer.data(), size_t(buffer.size()), done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(qt_error_string(errno));
        if (got == 0)
            break;
        done += got;
        if (done > size())
            return fail(changed);
        if (!onPiece(QByteArrayView(buffer.constData(), got)))
            return Outcome::Stopped;
    }
    struct stat status {};
    if (::fstat(file_.get(), &status) != 0)
        return fail(qt_error_string(errno));
    if (done != size() || !(FileIdentity::of(status) == identity_))
        return fail(changed);
    return Outcome::Read;
}
