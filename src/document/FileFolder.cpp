#include "document/FileFolder.h"

#include "platform/FileName.h"

#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

FileDescriptor::~FileDescriptor()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileDescriptor::close() { return ::close(std::exchange(fd_, -1)) == 0; }

std::optional<FileFolder> FileFolder::open(const QByteArray& filePath)
{
    FileFolder folder;
    const qsizetype slash = filePath.lastIndexOf('/');
    folder.path_ = slash < 0 ? "."_ba : slash == 0 ? "/"_ba : filePath.left(slash);
    folder.fileName_ = filePath.mid(slash + 1);
    int fd = ::open(folder.path_.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    folder.canSync_ = fd >= 0;
    // A folder one may write in but not list still takes files; it just
    // cannot be flushed.
    if (fd < 0 && errno == EACCES)
        fd = ::open(folder.path_.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    folder.folder_ = FileDescriptor(fd);
    return folder;
}

QString FileFolder::pathOf(const QByteArray& name) const
{
    return decodeFileName(path_ + '/' + name);
}

FileDescriptor FileFolder::createBeside(const char* prefix, const char* infix, mode_t mode,
                                        QByteArray& name) const
{
    static constexpr char letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const qsizetype room = NAME_MAX - qstrlen(prefix) - qstrlen(infix) - 6;
    qsizetype cut = std::min(fileName_.size(), room);
    while (cut > 0 && cut < fileName_.size() && (fileName_[cut] & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 character
    const QByteArray stem = prefix + fileName_.left(cut) + infix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem;
        for (int i = 0; i < 6; ++i)
            name += letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
        const int created =
            ::openat(fd(), name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (created >= 0 || errno != EEXIST)
            return FileDescriptor(created);
    }
    return FileDescriptor();
}

void FileFolder::remove(const QByteArray& name) const { ::unlinkat(fd(), name.constData(), 0); }

bool FileFolder::sync() const { return !canSync_ || ::fsync(fd()) == 0 || errno == EINVAL; }
