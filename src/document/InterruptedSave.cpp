#include "document/InterruptedSave.h"

#include "document/FileFolder.h"
#include "platform/FileName.h"

#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

QString InterruptedSave::notice(const QString& path) const
{
    return u"The last save of \u201c%1\u201d was interrupted.\nThe copy \u201c%2\u201d, from %3, "
           u"holds the text from before that save."_s.arg(
               path, copyPath, copyTime.toString(u"yyyy-MM-dd HH:mm:ss"_s));
}

std::optional<InterruptedSave> findInterruptedSave(const QString& path)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const std::optional<FileFolder> folder =
        FileFolder::open(encodeFileName(canonical.isEmpty() ? path : canonical));
    if (!folder)
        return std::nullopt;
    const QByteArray stem =
        folder->stem("", InterruptedSave::backupInfix, InterruptedSave::unfinishedSuffixSize);
    std::optional<InterruptedSave> newest;
    for (const QByteArray& name : folder->namesMade(stem, "")) {
        struct stat status {};
        if (::fstatat(folder->fd(), name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0
            || !S_ISREG(status.st_mode))
            continue;
        const QDateTime time = QDateTime::fromMSecsSinceEpoch(qint64(status.st_mtim.tv_sec) * 1000
                                                              + status.st_mtim.tv_nsec / 1000000);
        if (!newest || time > newest->copyTime)
            newest = InterruptedSave{folder->pathOf(name), time};
    }
    return newest;
}
