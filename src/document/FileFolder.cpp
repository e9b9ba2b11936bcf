#include "document/FileFolder.h"

#include "platform/FileName.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

constexpr char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr qsizetype randomSize = 6;

} // namespace

QByteArray FileFolder::stem(const char* prefix, const char* infix, qsizetype suffixSize) const
{
    const qsizetype room = NAME_MAX - qstrlen(prefix) - qstrlen(infix) - randomSize - suffixSize;
    qsizetype cut = std::min(fileName_.size(), room);
    while (cut > 0 && cut < fileName_.size() && (fileName_[cut] & 0xC0) == 0x80)
        --cut; // not inside a UTF-8 character
    return prefix + fileName_.left(cut) + infix;
}

FileDescriptor FileFolder::create(const QByteArray& stem, const char* suffix, mode_t mode,
                                  QByteArray& name) const
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem;
        for (int i = 0; i < randomSize; ++i)
            name += letters[QRandomGenerator::system()->bounded(int(sizeof letters) - 1)];
        // A name that would become a taken one once its suffix is dropped will not do.
        struct stat status {};
        if (*suffix && ::fstatat(fd(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0)
            continue;
        name += suffix;
        const int created =
            ::openat(fd(), name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (created >= 0 || errno != EEXIST)
            return FileDescriptor(created);
    }
    return FileDescriptor();
}

QList<QByteArray> FileFolder::namesMade(const QByteArray& stem, const char* suffix) const
{
    QList<QByteArray> names;
    const int listing = ::openat(fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* entries = listing < 0 ? nullptr : ::fdopendir(listing);
    if (!entries) {
        if (listing >= 0)
            ::close(listing);
        return names;
    }
    const qsizetype suffixSize = QByteArrayView(suffix).size();
    while (const dirent* entry = ::readdir(entries)) {
        const QByteArrayView name(entry->d_name);
        if (name.size() != stem.size() + randomSize + suffixSize || !name.startsWith(stem)
            || !name.endsWith(suffix))
            continue;
        const QByteArrayView random = name.sliced(stem.size(), randomSize);
        if (std::all_of(random.begin(), random.end(),
                        [](char c) { return std::strchr(letters, c) != nullptr && c != 0; }))
            names.append(name.toByteArray());
    }
    ::closedir(entries);
    return names;
}

void FileFolder::remove(const QByteArray& name) const { ::unlinkat(fd(), name.constData(), 0); }

bool FileFolder::sync() const { return !canSync_ || ::fsync(fd()) == 0 || errno == EINVAL; }
