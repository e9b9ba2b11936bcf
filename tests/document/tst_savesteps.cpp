#include "FileBytes.h"
#include "document/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// This program puts its own fsync(), fdatasync(), rename(), renameat(),
// renameat2(), write() and openat() in place of the system's, for itself and
// for the writer linked into it. While a test watches a folder, they note what
// happens to the files of the script "script.scp" saved there, and can kill the
// program or swap the file at a chosen step.

namespace {

struct Watch {
    QByteArray folder;
    QByteArray cacheFolder;
    QByteArrayList steps;
    // Kills the program half-way through the first write to a file of this kind.
    QByteArray killWhileWriting;
    // Makes "script.scp" a symbolic link to "other" just before it is opened for writing.
    bool swapForLinkOnOpen = false;
};

Watch* watch = nullptr;

template<typename Function> Function systemFunction(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

QByteArray kindOf(const QByteArray& path)
{
    if (path == watch->folder)
        return "folder";
    if (path == watch->cacheFolder)
        return "cache folder";
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    if (name == "script.scp")
        return "file";
    if (name.startsWith(".script.scp.saving-"))
        return "temporary file";
    if (name.startsWith("script.scp.backup-"))
        return name.endsWith(".unfinished") ? "unfinished copy" : "copy";
    return {};
}

QByteArray kindOf(int fd)
{
    char path[PATH_MAX] = {};
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    return ::readlink(link.constData(), path, sizeof path - 1) > 0 ? kindOf(QByteArray(path))
                                                                   : QByteArray();
}

void note(const QByteArray& step)
{
    if (watch->steps.isEmpty() || watch->steps.last() != step)
        watch->steps.append(step);
}

void noteSync(int fd)
{
    if (!watch)
        return;
    if (const QByteArray kind = kindOf(fd); !kind.isEmpty())
        note("sync " + kind);
}

void noteRename(const char* from, const char* to)
{
    if (!watch)
        return;
    const QByteArray fromKind = kindOf(QByteArray(from));
    const QByteArray toKind = kindOf(QByteArray(to));
    if (!fromKind.isEmpty() || !toKind.isEmpty())
        note("rename " + fromKind + " to " + toKind);
}

} // namespace

extern "C" {

int fsync(int fd)
{
    noteSync(fd);
    return systemFunction<int (*)(int)>("fsync")(fd);
}

int fdatasync(int fd)
{
    noteSync(fd);
    return systemFunction<int (*)(int)>("fdatasync")(fd);
}

int rename(const char* from, const char* to) noexcept
{
    noteRename(from, to);
    return systemFunction<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) noexcept
{
    noteRename(from, to);
    return systemFunction<int (*)(int, const char*, int, const char*)>("renameat")(fromFolder, from,
                                                                                   toFolder, to);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
              unsigned flags) noexcept
{
    noteRename(from, to);
    return systemFunction<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(
        fromFolder, from, toFolder, to, flags);
}

ssize_t write(int fd, const void* data, size_t size)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    static const auto systemWrite = systemFunction<Write>("write");
    if (!watch)
        return systemWrite(fd, data, size);
    const QByteArray kind = kindOf(fd);
    if (!kind.isEmpty())
        note("write " + kind);
    if (!kind.isEmpty() && kind == watch->killWhileWriting && size > 1) {
        systemWrite(fd, data, size / 2);
        ::raise(SIGKILL);
    }
    return systemWrite(fd, data, size);
}

int openat(int folder, const char* path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list rest;
        va_start(rest, flags);
        mode = va_arg(rest, mode_t);
        va_end(rest);
    }
    if (watch && watch->swapForLinkOnOpen && qstrcmp(path, "script.scp") == 0
        && (flags & O_ACCMODE) == O_RDWR) {
        if (::unlinkat(folder, path, 0) != 0 || ::symlinkat("other", folder, path) != 0)
            qFatal("cannot put a link in place of %s", path);
    }
    return systemFunction<int (*)(int, const char*, int, ...)>("openat")(folder, path, flags, mode);
}

} // extern "C"

namespace {

const QByteArray previous = "the previous script\r\n";
const QByteArray next(1000, 'x');

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

mode_t modeOf(const QString& path)
{
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// Watches the folder while it lives.
class Watching {
public:
    explicit Watching(const QString& folder, const QString& cacheFolder = {})
    {
        watched_.folder = QFile::encodeName(QFileInfo(folder).canonicalFilePath());
        watched_.cacheFolder = QFile::encodeName(cacheFolder);
        watch = &watched_;
    }
    ~Watching() { watch = nullptr; }
    Watching(const Watching&) = delete;
    Watching& operator=(const Watching&) = delete;

private:
    Watch watched_;
};

} // namespace

class SaveStepsTest : public QObject {
    Q_OBJECT
private slots:
    void syncsBeforeAndAfterEachRename_data();
    void syncsBeforeAndAfterEachRename();
    void killedSaveLeavesOnlyCopiesOfTheUsersOwn_data();
    void killedSaveLeavesOnlyCopiesOfTheUsersOwn();
    void inPlaceSaveDoesNotFollowALinkPutInTheFilesPlace();
};

// A file is on disk before it gets its final name, and the name is on disk
// before the save goes on; the copy of the old content is on disk under its
// final name before the file is touched.
void SaveStepsTest::syncsBeforeAndAfterEachRename_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArrayList>("steps");
    const QByteArrayList replacing = {"write temporary file", "sync temporary file",
                                      "rename temporary file to file", "sync folder"};
    QTest::newRow("replacing") << u"replacing"_s << replacing;
    QTest::newRow("new file") << u"new"_s << replacing;
    QTest::newRow("in place") << u"in place"_s << QByteArrayList{"write unfinished copy",
                                                                 "sync unfinished copy",
                                                                 "rename unfinished copy to copy",
                                                                 "sync folder",
                                                                 "write file",
                                                                 "sync file"};
    QTest::newRow("in place, copy in the cache folder")
        << u"cache"_s
        << QByteArrayList{
               "write unfinished copy", "sync unfinished copy", "rename unfinished copy to copy",
               "sync cache folder",     "write file",           "sync file"};
}

void SaveStepsTest::syncsBeforeAndAfterEachRename()
{
    QFETCH(QString, kind);
    QFETCH(QByteArrayList, steps);
    QTemporaryDir dir;
    QTemporaryDir cacheHome;
    const QString path = dir.filePath(u"script.scp"_s);
    if (kind != u"new")
        createFile(path, previous);
    if (kind == u"in place")
        QCOMPARE(::link(QFile::encodeName(path).constData(),
                        QFile::encodeName(dir.filePath(u"other"_s)).constData()),
                 0);
    if (kind == u"cache" && (::geteuid() != 0 || !setImmutable(dir.path(), true)))
        QSKIP("cannot make the folder immutable here");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheHome.path()));

    SafeFileWriter::Result result;
    QByteArrayList seen;
    {
        const Watching watching(dir.path(), cacheHome.filePath(u"vexlon"_s));
        result = SafeFileWriter().write(path, next);
        seen = watch->steps;
    }
    qunsetenv("XDG_CACHE_HOME");
    if (kind == u"cache")
        QVERIFY(setImmutable(dir.path(), false));
    QVERIFY2(result.written, qPrintable(result.reason));
    QCOMPARE(readBytes(path), next);
    QCOMPARE(seen, steps);
}

void SaveStepsTest::killedSaveLeavesOnlyCopiesOfTheUsersOwn_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<QByteArray>("killWhileWriting");
    QTest::addColumn<QByteArray>("fileAfterKill");
    QTest::addColumn<QString>("leftOver");
    QTest::addColumn<QByteArray>("leftOverContent");
    QTest::addColumn<bool>("keptByNextSave");
    QTest::newRow("replacing") << true << false << "temporary file"_ba << previous
                               << u".script.scp.saving-??????"_s << next.left(500) << true;
    QTest::newRow("new file") << false << false << "temporary file"_ba
                              << "<unreadable>"_ba << u".script.scp.saving-??????"_s
                              << next.left(500) << true;
    QTest::newRow("in place, copying the old content")
        << true << true << "unfinished copy"_ba << previous
        << u"script.scp.backup-??????.unfinished"_s << previous.left(10) << false;
    QTest::newRow("in place, writing the file")
        << true << true << "file"_ba << next.left(500) << u"script.scp.backup-??????"_s << previous
        << true;
}

// The script's mode is 0600: whatever a killed save leaves must be no more
// readable. The next save removes an unfinished copy, not one it may still be
// needed for.
void SaveStepsTest::killedSaveLeavesOnlyCopiesOfTheUsersOwn()
{
    QFETCH(bool, exists);
    QFETCH(bool, inPlace);
    QFETCH(QByteArray, killWhileWriting);
    QFETCH(QByteArray, fileAfterKill);
    QFETCH(QString, leftOver);
    QFETCH(QByteArray, leftOverContent);
    QFETCH(bool, keptByNextSave);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"script.scp"_s);
    QStringList names;
    if (exists) {
        createFile(path, previous);
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0600), 0);
        names << u"script.scp"_s;
    }
    if (inPlace) {
        QCOMPARE(::link(QFile::encodeName(path).constData(),
                        QFile::encodeName(dir.filePath(u"script.lnk"_s)).constData()),
                 0);
        names << u"script.lnk"_s;
    }

    const pid_t child = ::fork();
    if (child == 0) {
        const Watching watching(dir.path());
        watch->killWhileWriting = killWhileWriting;
        SafeFileWriter().write(path, next);
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    QCOMPARE(readBytes(path).left(500), fileAfterKill);
    const QStringList left = QDir(dir.path()).entryList({leftOver}, QDir::Files | QDir::Hidden);
    QCOMPARE(left.size(), 1);
    const QString copy = dir.filePath(left[0]);
    QCOMPARE(readBytes(copy), leftOverContent);
    QCOMPARE(modeOf(copy), mode_t(0600));
    QCOMPARE(namesIn(dir.path()).size(), names.size() + 1);

    const SafeFileWriter::Result result = SafeFileWriter().write(path, next);
    QVERIFY2(result.written, qPrintable(result.reason));
    QCOMPARE(readBytes(path), next);
    QCOMPARE(QFileInfo::exists(copy), keptByNextSave);
    if (!exists)
        names << u"script.scp"_s;
    if (keptByNextSave)
        names << left[0];
    names.sort();
    QCOMPARE(namesIn(dir.path()), names);
}

// Whoever may write the folder could put a link to another file there between
// the writer's checks and its open.
void SaveStepsTest::inPlaceSaveDoesNotFollowALinkPutInTheFilesPlace()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"script.scp"_s);
    const QString other = dir.filePath(u"other"_s);
    createFile(path, previous);
    createFile(other, "someone else's file");
    QCOMPARE(::link(QFile::encodeName(path).constData(),
                    QFile::encodeName(dir.filePath(u"script.lnk"_s)).constData()),
             0);

    SafeFileWriter::Result result;
    {
        const Watching watching(dir.path());
        watch->swapForLinkOnOpen = true;
        result = SafeFileWriter().write(path, next);
    }
    QVERIFY(!result.written);
    QCOMPARE(result.reason, qt_error_string(ELOOP));
    QCOMPARE(readBytes(other), "someone else's file"_ba);
    QCOMPARE(readBytes(dir.filePath(u"script.lnk"_s)), previous);
    QCOMPARE(namesIn(dir.path()), (QStringList{u"other"_s, u"script.lnk"_s, u"script.scp"_s}));
}

QTEST_APPLESS_MAIN(SaveStepsTest)
#include "tst_savesteps.moc"
