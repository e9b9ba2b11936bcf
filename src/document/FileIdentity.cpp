#include "document/FileIdentity.h"

#include "platform/FileName.h"

#include <QByteArray>
#include <sys/stat.h>
#include <unistd.h>

FileIdentity FileIdentity::of(const struct stat& status)
{
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
            status.st_mtim.tv_nsec};
}

std::optional<FileIdentity> FileIdentity::ofPath(const QString& path)
{
    struct stat status {};
    if (::stat(encodeFileName(path).constData(), &status) != 0)
        return std::nullopt;
    return of(status);
}

std::optional<QString> FileIdentity::linkTargetOf(const QString& path)
{
    const QByteArray name = encodeFileName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return std::nullopt;
    QByteArray target(qsizetype(status.st_size > 0 ? status.st_size : 4096) + 1, Qt::Uninitialized);
    const ssize_t size = ::readlink(name.constData(), target.data(), size_t(target.size()));
    if (size < 0)
        return QString();
    target.truncate(size);
    // A relative target is named as the link's folder sees it.
    return decodeFileName(target);
}
