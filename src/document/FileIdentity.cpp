#include "document/FileIdentity.h"

#include "platform/FileName.h"

#include <sys/stat.h>

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
