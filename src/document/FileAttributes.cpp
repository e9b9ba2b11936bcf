#include "document/FileAttributes.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

constexpr char droppedOnWrite[] = "security.capability";

// Reads a list or a value whose size is only known by asking first. It can grow
// between the two calls, hence the retries.
template<typename Call> std::optional<QByteArray> readSized(Call call)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray buffer(size, Qt::Uninitialized);
        const ssize_t got = call(buffer.data(), size_t(buffer.size()));
        if (got >= 0) {
            buffer.truncate(got);
            return buffer;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
    return std::nullopt;
}

QList<QByteArray> namesIn(const QByteArray& list)
{
    QList<QByteArray> names = list.split('\0');
    names.removeAll(QByteArray());
    return names;
}

// A file named by its path, for FileAttributes::readFrom.
struct PathSource {
    const char* path;

    int stat(struct stat* status) const { return ::stat(path, status); }
    ssize_t list(char* buffer, size_t size) const { return ::listxattr(path, buffer, size); }
    ssize_t get(const char* name, char* buffer, size_t size) const
    {
        return ::getxattr(path, name, buffer, size);
    }
};

// An open file, for FileAttributes::readFrom.
struct OpenSource {
    int fd;

    int stat(struct stat* status) const { return ::fstat(fd, status); }
    ssize_t list(char* buffer, size_t size) const { return ::flistxattr(fd, buffer, size); }
    ssize_t get(const char* name, char* buffer, size_t size) const
    {
        return ::fgetxattr(fd, name, buffer, size);
    }
};

} // namespace

template<typename Source>
std::optional<FileAttributes> FileAttributes::readFrom(const Source& source)
{
    struct stat status {};
    if (source.stat(&status) != 0)
        return std::nullopt;
    FileAttributes attributes;
    attributes.owner_ = status.st_uid;
    attributes.group_ = status.st_gid;
    attributes.mode_ = status.st_mode & 07777;

    const std::optional<QByteArray> list =
        readSized([&source](char* buffer, size_t size) { return source.list(buffer, size); });
    if (!list) {
        if (errno == ENOTSUP)
            return attributes;
        return std::nullopt;
    }
    for (const QByteArray& name : namesIn(*list)) {
        if (name == droppedOnWrite)
            continue;
        const std::optional<QByteArray> value = readSized(
            [&](char* buffer, size_t size) { return source.get(name.constData(), buffer, size); });
        if (!value)
            return std::nullopt;
        attributes.extended_.append({name, *value});
    }
    return attributes;
}

std::optional<FileAttributes> FileAttributes::read(const QByteArray& path)
{
    return readFrom(PathSource{path.constData()});
}

std::optional<FileAttributes> FileAttributes::read(int fd) { return readFrom(OpenSource{fd}); }

bool FileAttributes::applyTo(int fd) const
{
    if (::fchown(fd, owner_, group_) != 0)
        return false;
    for (const auto& [name, value] : extended_) {
        if (::fsetxattr(fd, name.constData(), value.constData(), size_t(value.size()), 0) != 0)
            return false;
    }
    if (!removeOthers(fd))
        return false;
    // Last, because a change of owner clears the set-id bits.
    if (::fchmod(fd, mode_) != 0)
        return false;
    // The system drops a set-group-ID bit it does not allow instead of failing.
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    if ((status.st_mode & 07777) != mode_ || status.st_uid != owner_ || status.st_gid != group_) {
        errno = EPERM;
        return false;
    }
    return true;
}

bool FileAttributes::removeOthers(int fd) const
{
    const std::optional<QByteArray> list =
        readSized([fd](char* buffer, size_t size) { return ::flistxattr(fd, buffer, size); });
    if (!list)
        return errno == ENOTSUP;
    for (const QByteArray& name : namesIn(*list)) {
        const bool kept =
            std::any_of(extended_.cbegin(), extended_.cend(),
                        [&name](const auto& attribute) { return attribute.first == name; });
        if (!kept && ::fremovexattr(fd, name.constData()) != 0)
            return false;
    }
    return true;
}
