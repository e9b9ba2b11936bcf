#include "FileBytes.h"
#include "document/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <optional>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr uid_t nobody = 65534;
const QByteArray previous = "the previous script\r\n";
const QByteArray next(1000, 'x');

struct stat statusOf(const QString& path)
{
    struct stat status {};
    ::lstat(QFile::encodeName(path).constData(), &status);
    return status;
}

QStringList namesIn(const QTemporaryDir& dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// "script.scp" with the previous content in a fresh folder, and a second name
// for it when the save is to go in place.
QString createScript(const QTemporaryDir& dir, bool inPlace)
{
    const QString path = dir.filePath(u"script.scp"_s);
    createFile(path, previous);
    if (inPlace
        && ::link(QFile::encodeName(path).constData(),
                  QFile::encodeName(path + u".lnk"_s).constData())
               != 0)
        qFatal("cannot link %s", qPrintable(path));
    return path;
}

QStringList scriptNames(bool inPlace)
{
    return inPlace ? QStringList{u"script.scp"_s, u"script.scp.lnk"_s}
                   : QStringList{u"script.scp"_s};
}

// Every name of the script shows the new content, and no other file is left.
void verifySaved(const QTemporaryDir& dir, bool inPlace)
{
    for (const QString& name : scriptNames(inPlace))
        QCOMPARE(readBytes(dir.filePath(name)), next);
    QCOMPARE(namesIn(dir), scriptNames(inPlace));
}

// A disk that fills up: takes `room` bytes, then answers one write with
// `answer` and `error`, and after that has room again (an in-place save writes
// the old content back through it).
struct FillingDisk {
    qint64 room;
    qint64 answer;
    int error;
    bool full = false;

    SafeFileWriter::WriteStep step()
    {
        return [this](int fd, const char* data, qint64 size) -> qint64 {
            if (!full && room == 0) {
                full = true;
                errno = error;
                return answer;
            }
            const qint64 written = ::write(fd, data, full ? size : std::min(size, room));
            room -= full ? 0 : written;
            return written;
        };
    }
};

// Saves in a child process, as `user` when one is given, after `prepare` has
// run there (as root when the test runs as root); returns the child's wait
// status, and what the save answered in `result` if it got that far.
int saveInChild(const QString& path, const SafeFileWriter::WriteStep& step,
                SafeFileWriter::Result& result, std::optional<uid_t> user = {},
                const std::function<bool()>& prepare = {})
{
    int channel[2];
    if (::pipe(channel) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (prepare && !prepare())
            ::_exit(4);
        if (user && (::setgroups(0, nullptr) != 0 || ::setgid(*user) != 0 || ::setuid(*user) != 0))
            ::_exit(2);
        const SafeFileWriter::Result answer = SafeFileWriter(step).write(path, next);
        const QByteArray report = (answer.written ? "1"_ba : "0"_ba) + answer.reason.toUtf8();
        ::_exit(::write(channel[1], report.constData(), size_t(report.size())) == report.size()
                    ? 0
                    : 3);
    }
    ::close(channel[1]);
    QByteArray report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, got);
    ::close(channel[0]);
    int status = -1;
    if (child > 0)
        ::waitpid(child, &status, 0);
    if (!report.isEmpty())
        result = {report[0] == '1', QString::fromUtf8(report.mid(1))};
    return status;
}

// Points XDG_CACHE_HOME, where copies go that the file's folder cannot take,
// at a folder of the test's choosing while it lives.
class CacheHome {
public:
    explicit CacheHome(const QString& path)
        : old_(qgetenv("XDG_CACHE_HOME"))
        , wasSet_(qEnvironmentVariableIsSet("XDG_CACHE_HOME"))
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(path));
    }
    ~CacheHome()
    {
        if (wasSet_)
            qputenv("XDG_CACHE_HOME", old_);
        else
            qunsetenv("XDG_CACHE_HOME");
    }
    CacheHome(const CacheHome&) = delete;
    CacheHome& operator=(const CacheHome&) = delete;

private:
    QByteArray old_;
    bool wasSet_;
};

// Mounts the file over itself in a mount namespace of the calling process's
// own, so that it is a mount point; with a read-only folder, the folder is
// then mounted read-only over itself, the file's mount left writable.
bool mountFileOverItself(const QByteArray& folder, const QByteArray& file, bool readOnlyFolder)
{
    if (::unshare(CLONE_NEWNS) != 0
        || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || ::mount(file.constData(), file.constData(), nullptr, MS_BIND, nullptr) != 0)
        return false;
    return !readOnlyFolder
           || (::mount(folder.constData(), folder.constData(), nullptr, MS_BIND | MS_REC, nullptr)
                   == 0
               && ::mount(nullptr, folder.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                          nullptr)
                      == 0);
}

QByteArray accessAcl(const QString& path)
{
    char value[256];
    const ssize_t size = ::getxattr(QFile::encodeName(path).constData(), "system.posix_acl_access",
                                    value, sizeof value);
    return size < 0 ? QByteArray("<none>") : QByteArray(value, size);
}

} // namespace

class SafeFileWriterTest : public QObject {
    Q_OBJECT
private slots:
    void writesANewFile();
    void replacesAnExistingFileWhole();
    void writeFailingPartWayKeepsThePreviousFile_data();
    void writeFailingPartWayKeepsThePreviousFile();
    void aWriteStepWithoutProgressFailsAtOnce();
    void inPlaceSaveThatCannotBeUndoneKeepsTheBackup();
    void fullDiskStopsAnInPlaceSaveBeforeTheFileChanges();
    void killedPartWayLeavesTheOldContentWhole_data();
    void killedPartWayLeavesTheOldContentWhole();
    void keepsThePermissionBits_data();
    void keepsThePermissionBits();
    void keepsOwnerAndGroup_data();
    void keepsOwnerAndGroup();
    void keepsExtendedAttributes_data();
    void keepsExtendedAttributes();
    void writesThroughASymbolicLink_data();
    void writesThroughASymbolicLink();
    void refusedLinksAreNeverWrittenThrough();
    void refusesWhatIsNotARegularFile_data();
    void refusesWhatIsNotARegularFile();
    void failsWithTheSystemsReasonWhenTheFolderIsAFile();
    void failsWhereTheUserMayNotWriteAndKeepsTheFile_data();
    void failsWhereTheUserMayNotWriteAndKeepsTheFile();
    void aNewFileGetsWhatTheFoldersDefaultAclGives();
    void anUnprivilegedOwnerKeepsTheSetGroupIdBitInPlace();
    void savesInPlaceWhereTheFolderTakesNoNewFile_data();
    void savesInPlaceWhereTheFolderTakesNoNewFile();
};

void SafeFileWriterTest::writesANewFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"new.vls"_s);
    const SafeFileWriter::Result result = SafeFileWriter().write(path, "abc\r\n");
    QVERIFY(result.written);
    QCOMPARE(readBytes(path), "abc\r\n"_ba);
    const QString plain = dir.filePath(u"plain"_s);
    ::close(::open(QFile::encodeName(plain).constData(), O_CREAT | O_WRONLY, 0666));
    QCOMPARE(statusOf(path).st_mode, statusOf(plain).st_mode);
}

void SafeFileWriterTest::replacesAnExistingFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"old.vls"_s);
    createFile(path, "a much longer old text\r\n");
    QVERIFY(SafeFileWriter().write(path, "new\r\n").written);
    QCOMPARE(readBytes(path), "new\r\n"_ba);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"old.vls"_s});
}

// Qt's own save file commits a cut-off copy after a short write; the writer
// must notice the count.
void SafeFileWriterTest::writeFailingPartWayKeepsThePreviousFile_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<qint64>("room");
    QTest::addColumn<qint64>("answer");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    for (const bool inPlace : {false, true}) {
        const char* way = inPlace ? "in place" : "replacing";
        QTest::addRow("%s, short write then none", way)
            << inPlace << qint64(500) << qint64(0) << 0 << u"only 500 of 1000 bytes"_s;
        QTest::addRow("%s, disk full after some bytes", way)
            << inPlace << qint64(500) << qint64(-1) << ENOSPC << qt_error_string(ENOSPC);
        QTest::addRow("%s, read-only file system", way)
            << inPlace << qint64(0) << qint64(-1) << EROFS << qt_error_string(EROFS);
        QTest::addRow("%s, no progress at all", way)
            << inPlace << qint64(0) << qint64(0) << 0 << u"only 0 of 1000 bytes"_s;
    }
}

void SafeFileWriterTest::writeFailingPartWayKeepsThePreviousFile()
{
    QFETCH(bool, inPlace);
    QFETCH(qint64, room);
    QFETCH(qint64, answer);
    QFETCH(int, error);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = createScript(dir, inPlace);
    const ino_t inode = statusOf(path).st_ino;

    FillingDisk disk{room, answer, error};
    const SafeFileWriter::Result result = SafeFileWriter(disk.step()).write(path, next);

    QVERIFY(!result.written);
    QVERIFY2(result.reason.contains(reason), qPrintable(result.reason));
    QCOMPARE(readBytes(path), previous);
    QCOMPARE(statusOf(path).st_ino, inode);
    QCOMPARE(namesIn(dir), scriptNames(inPlace));
}

void SafeFileWriterTest::aWriteStepWithoutProgressFailsAtOnce()
{
    QTemporaryDir dir;
    int calls = 0;
    // Gives up after a while, so that a writer that keeps asking fails instead of hanging.
    const SafeFileWriter writer([&calls](int, const char*, qint64) -> qint64 {
        errno = 0;
        return ++calls < 100 ? 0 : -1;
    });
    const SafeFileWriter::Result result = writer.write(dir.filePath(u"a.vls"_s), "abc");
    QVERIFY(!result.written);
    QCOMPARE(result.reason, u"only 0 of 3 bytes could be written"_s);
    QCOMPARE(calls, 1);
    QCOMPARE(namesIn(dir), QStringList());
}

void SafeFileWriterTest::inPlaceSaveThatCannotBeUndoneKeepsTheBackup()
{
    QTemporaryDir dir;
    const QString path = createScript(dir, true);
    const SafeFileWriter writer([first = true](int fd, const char* data, qint64) mutable -> qint64 {
        errno = EIO;
        return std::exchange(first, false) ? ::write(fd, data, 10) : -1;
    });
    const SafeFileWriter::Result result = writer.write(path, next);

    QVERIFY(!result.written);
    const QStringList names = namesIn(dir);
    QCOMPARE(names.size(), 3);
    QVERIFY2(names[1].startsWith(u"script.scp.backup-"_s), qPrintable(names[1]));
    QVERIFY2(result.reason.contains(dir.filePath(names[1])), qPrintable(result.reason));
    QCOMPARE(readBytes(dir.filePath(names[1])), previous);
}

// The space for a longer content is reserved before an in-place save changes
// anything. A tmpfs refuses a reservation larger than itself at once.
void SafeFileWriterTest::fullDiskStopsAnInPlaceSaveBeforeTheFileChanges()
{
    QTemporaryDir dir(u"/dev/shm/tst_safefilewriter-XXXXXX"_s);
    struct statfs fileSystem {};
    if (!dir.isValid() || ::statfs(QFile::encodeName(dir.path()).constData(), &fileSystem) != 0
        || fileSystem.f_type != TMPFS_MAGIC || fileSystem.f_blocks == 0)
        QSKIP("needs a tmpfs of limited size at /dev/shm");
    const size_t size = fileSystem.f_blocks * fileSystem.f_bsize + (1 << 20);
    void* bytes =
        ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (bytes == MAP_FAILED)
        QSKIP("no room in the address space for a content larger than the tmpfs");
    const QString path = createScript(dir, true);
    int calls = 0;
    const SafeFileWriter writer([&calls](int, const char*, qint64) -> qint64 {
        ++calls;
        errno = ENOSPC;
        return -1;
    });
    const SafeFileWriter::Result result =
        writer.write(path, QByteArrayView(static_cast<const char*>(bytes), qsizetype(size)));
    ::munmap(bytes, size);

    QVERIFY(!result.written);
    QCOMPARE(result.reason, qt_error_string(ENOSPC));
    QCOMPARE(calls, 0);
    QCOMPARE(readBytes(path), previous);
    QCOMPARE(namesIn(dir), scriptNames(true));
}

void SafeFileWriterTest::killedPartWayLeavesTheOldContentWhole_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replacing") << false;
    QTest::newRow("in place") << true;
}

void SafeFileWriterTest::killedPartWayLeavesTheOldContentWhole()
{
    QFETCH(bool, inPlace);
    QTemporaryDir dir;
    const QString path = createScript(dir, inPlace);
    SafeFileWriter::Result result;
    const int status = saveInChild(
        path,
        [](int fd, const char* data, qint64 size) -> qint64 {
            if (::write(fd, data, size / 2) > 0)
                ::raise(SIGKILL);
            return -1;
        },
        result);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    if (!inPlace) {
        QCOMPARE(readBytes(path), previous);
        return;
    }
    const QStringList backups = QDir(dir.path()).entryList({u"script.scp.backup-*"_s});
    QCOMPARE(backups.size(), 1);
    QCOMPARE(readBytes(dir.filePath(backups[0])), previous);
}

// In place also shows that both names of a hard-linked file get the content.
void SafeFileWriterTest::keepsThePermissionBits_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("mode");
    for (const bool inPlace : {false, true}) {
        for (const int mode : {0644, 0444, 0000, 0640, 04755, 02770})
            QTest::addRow("%s, %04o", inPlace ? "in place" : "replacing", mode) << inPlace << mode;
    }
}

void SafeFileWriterTest::keepsThePermissionBits()
{
    QFETCH(bool, inPlace);
    QFETCH(int, mode);
    if (::geteuid() != 0 && !(mode & S_IWUSR))
        QSKIP("only root may write this file");
    QTemporaryDir dir;
    const QString path = createScript(dir, inPlace);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    const ino_t inode = statusOf(path).st_ino;
    QVERIFY(SafeFileWriter().write(path, next).written);
    verifySaved(dir, inPlace);
    QCOMPARE(int(statusOf(path).st_mode & 07777), mode);
    QCOMPARE(statusOf(path).st_ino == inode, inPlace);
}

void SafeFileWriterTest::keepsOwnerAndGroup_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<bool>("byTheOwner");
    QTest::newRow("replacing") << false << false;
    QTest::newRow("in place") << true << false;
    // The owner's new file cannot be given a group the owner is not in.
    QTest::newRow("by the owner, group not theirs") << false << true;
}

void SafeFileWriterTest::keepsOwnerAndGroup()
{
    QFETCH(bool, inPlace);
    QFETCH(bool, byTheOwner);
    if (::geteuid() != 0)
        QSKIP("only root may give a file away");
    QTemporaryDir dir;
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString path = createScript(dir, inPlace);
    const gid_t group = byTheOwner ? 0 : nobody;
    QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, group), 0);
    const ino_t inode = statusOf(path).st_ino;

    SafeFileWriter::Result result;
    if (byTheOwner)
        QCOMPARE(saveInChild(path, {}, result, nobody), 0);
    else
        result = SafeFileWriter().write(path, next);
    QVERIFY2(result.written, qPrintable(result.reason));
    verifySaved(dir, inPlace);
    QCOMPARE(statusOf(path).st_uid, nobody);
    QCOMPARE(statusOf(path).st_gid, group);
    QCOMPARE(statusOf(path).st_ino == inode, inPlace || byTheOwner);
}

void SafeFileWriterTest::keepsExtendedAttributes_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::newRow("replacing") << false;
    QTest::newRow("in place") << true;
}

void SafeFileWriterTest::keepsExtendedAttributes()
{
    QFETCH(bool, inPlace);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(createScript(dir, inPlace));
    if (::setxattr(path.constData(), "user.vexlon.test", "kept", 4, 0) != 0 && errno == ENOTSUP)
        QSKIP("the file system takes no user attributes");
    QVERIFY(SafeFileWriter().write(QFile::decodeName(path), next).written);
    verifySaved(dir, inPlace);
    char value[16] = {};
    QCOMPARE(::getxattr(path.constData(), "user.vexlon.test", value, sizeof value), 4);
    QCOMPARE(QByteArray(value), "kept"_ba);
}

void SafeFileWriterTest::writesThroughASymbolicLink_data()
{
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("to a file") << true;
    QTest::newRow("to a file not made yet") << false;
}

void SafeFileWriterTest::writesThroughASymbolicLink()
{
    QFETCH(bool, targetExists);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"real"_s));
    const QString target = dir.filePath(u"real/script.scp"_s);
    if (targetExists)
        createFile(target, previous);
    const QString link = dir.filePath(u"link.scp"_s);
    QCOMPARE(::symlink("real/script.scp", QFile::encodeName(link).constData()), 0);

    QVERIFY(SafeFileWriter().write(link, next).written);
    QCOMPARE(readBytes(target), next);
    QVERIFY(S_ISLNK(statusOf(link).st_mode));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(QDir(dir.filePath(u"real"_s)).entryList(QDir::Files | QDir::Hidden),
             QStringList{u"script.scp"_s});
}

void SafeFileWriterTest::refusedLinksAreNeverWrittenThrough()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"root-only"_s);
    createFile(target, previous);
    const QString link = dir.filePath(u"link.scp"_s);
    QCOMPARE(::symlink("root-only", QFile::encodeName(link).constData()), 0);

    const SafeFileWriter::Result refused =
        SafeFileWriter().write(link, next, SafeFileWriter::Links::Refuse);
    QVERIFY(!refused.written);
    QCOMPARE(refused.reason, u"\"%1\" is a link to \"root-only\"; it was not saved."_s.arg(link));
    QCOMPARE(readBytes(target), previous);
    QVERIFY(S_ISLNK(statusOf(link).st_mode));

    // A plain file is written as ever.
    const QString plain = dir.filePath(u"plain.scp"_s);
    createFile(plain, previous);
    QVERIFY(SafeFileWriter().write(plain, next, SafeFileWriter::Links::Refuse).written);
    QCOMPARE(readBytes(plain), next);
}

void SafeFileWriterTest::refusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("folder") << u"folder"_s;
    QTest::newRow("FIFO") << u"fifo"_s;
    QTest::newRow("device") << u"/dev/null"_s;
}

void SafeFileWriterTest::refusesWhatIsNotARegularFile()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"folder"_s));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"fifo"_s)).constData(), 0644), 0);
    const QString path = QDir(dir.path()).filePath(name);
    const mode_t type = statusOf(path).st_mode & S_IFMT;

    const SafeFileWriter::Result result = SafeFileWriter().write(path, next);
    QVERIFY(!result.written);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(statusOf(path).st_mode & S_IFMT, type);
    QCOMPARE(namesIn(dir), QStringList{u"fifo"_s});
}

void SafeFileWriterTest::failsWithTheSystemsReasonWhenTheFolderIsAFile()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(u"plain"_s);
    createFile(notAFolder, "x");
    const SafeFileWriter::Result result = SafeFileWriter().write(notAFolder + u"/a.vls"_s, "abc");
    QVERIFY(!result.written);
    QCOMPARE(result.reason, qt_error_string(ENOTDIR));
    QCOMPARE(readBytes(notAFolder), "x"_ba);
}

// Root may write anywhere, so as root the save runs as an unprivileged user.
void SafeFileWriterTest::failsWhereTheUserMayNotWriteAndKeepsTheFile_data()
{
    QTest::addColumn<bool>("inPlace");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<int>("fileMode");
    QTest::newRow("read-only folder") << false << 0555 << 0644;
    QTest::newRow("read-only folder, in place") << true << 0555 << 0644;
    QTest::newRow("read-only file") << false << 0777 << 0444;
}

void SafeFileWriterTest::failsWhereTheUserMayNotWriteAndKeepsTheFile()
{
    QFETCH(bool, inPlace);
    QFETCH(int, folderMode);
    QFETCH(int, fileMode);
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(createScript(dir, inPlace));
    const QByteArray folder = QFile::encodeName(dir.path());
    std::optional<uid_t> user;
    if (::geteuid() == 0) {
        user = nobody;
        QCOMPARE(::chown(path.constData(), nobody, nobody), 0);
    }
    QCOMPARE(::chmod(path.constData(), mode_t(fileMode)), 0);
    QCOMPARE(::chmod(folder.constData(), mode_t(folderMode)), 0);
    // Nor can the copy go to the cache folder, which cannot be made there.
    const CacheHome cache(dir.filePath(u"cache"_s));
    SafeFileWriter::Result result{true, {}};
    const int status = saveInChild(QFile::decodeName(path), {}, result, user);
    ::chmod(folder.constData(), 0700);

    QCOMPARE(status, 0);
    QVERIFY(!result.written);
    QCOMPARE(result.reason, qt_error_string(EACCES));
    QCOMPARE(readBytes(QFile::decodeName(path)), previous);
    QCOMPARE(namesIn(dir), scriptNames(inPlace));
}

// The folder gives u::rw, u:nobody:rw, g::r, m::rw, o::- to new files: the
// save gives a brand-new file exactly that, as a file made there at once gets.
void SafeFileWriterTest::aNewFileGetsWhatTheFoldersDefaultAclGives()
{
    QTemporaryDir dir;
    const auto entry = [](quint16 tag, quint16 permissions, quint32 id) {
        QByteArray bytes;
        for (const quint32 part : {quint32(tag) | quint32(permissions) << 16, id})
            bytes.append(reinterpret_cast<const char*>(&part), 4);
        return bytes;
    };
    constexpr quint32 noId = 0xFFFFFFFF;
    const QByteArray acl = QByteArray("\x02\0\0\0", 4) + entry(0x01, 6, noId)
                           + entry(0x02, 6, nobody) + entry(0x04, 4, noId) + entry(0x10, 6, noId)
                           + entry(0x20, 0, noId);
    if (::setxattr(QFile::encodeName(dir.path()).constData(), "system.posix_acl_default",
                   acl.constData(), size_t(acl.size()), 0)
        != 0)
        QSKIP("the file system takes no ACLs");
    const QString plain = dir.filePath(u"plain"_s);
    ::close(::open(QFile::encodeName(plain).constData(), O_CREAT | O_WRONLY, 0666));

    const QString path = dir.filePath(u"new.vls"_s);
    QVERIFY(SafeFileWriter().write(path, next).written);
    QCOMPARE(readBytes(path), next);
    QCOMPARE(statusOf(path).st_mode, statusOf(plain).st_mode);
    QCOMPARE(accessAcl(path), accessAcl(plain));
    QVERIFY(accessAcl(path) != "<none>");
    QCOMPARE(namesIn(dir), (QStringList{u"new.vls"_s, u"plain"_s}));
}

// Writing drops the bit; the owner, in the file's group, may set it again.
void SafeFileWriterTest::anUnprivilegedOwnerKeepsTheSetGroupIdBitInPlace()
{
    if (::geteuid() != 0)
        QSKIP("only root may save as another user");
    QTemporaryDir dir;
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0777), 0);
    const QString path = createScript(dir, true);
    QCOMPARE(::chown(QFile::encodeName(path).constData(), nobody, nobody), 0);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 02770), 0);
    const ino_t inode = statusOf(path).st_ino;
    SafeFileWriter::Result result;
    QCOMPARE(saveInChild(path, {}, result, nobody), 0);
    QVERIFY2(result.written, qPrintable(result.reason));
    verifySaved(dir, true);
    QCOMPARE(statusOf(path).st_ino, inode);
    QCOMPARE(int(statusOf(path).st_mode & 07777), 02770);
}

// The file may be written although no new file can be made beside it: the
// save goes in place, its copy in the cache folder when the folder refuses it.
void SafeFileWriterTest::savesInPlaceWhereTheFolderTakesNoNewFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("copyInCache");
    QTest::newRow("unprivileged user, 0666 file in a folder not theirs")
        << u"unprivileged"_s << true;
    QTest::newRow("immutable folder") << u"immutable"_s << true;
    QTest::newRow("file mounted over itself") << u"mount point"_s << false;
    QTest::newRow("read-only folder, file mounted writable") << u"read-only mount"_s << true;
}

void SafeFileWriterTest::savesInPlaceWhereTheFolderTakesNoNewFile()
{
    QFETCH(QString, kind);
    QFETCH(bool, copyInCache);
    if (::geteuid() != 0)
        QSKIP("needs root to set up");
    QTemporaryDir dir;
    QTemporaryDir cacheHome;
    QCOMPARE(::chmod(QFile::encodeName(cacheHome.path()).constData(), 0777), 0);
    const CacheHome cache(cacheHome.path());
    const QString path = createScript(dir, false);
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(dir.path());
    const ino_t inode = statusOf(path).st_ino;

    std::optional<uid_t> user;
    std::function<bool()> prepare;
    if (kind == u"unprivileged") {
        QCOMPARE(::chmod(folder.constData(), 0755), 0);
        QCOMPARE(::chmod(file.constData(), 0666), 0);
        user = nobody;
    } else if (kind == u"immutable") {
        if (!setImmutable(dir.path(), true))
            QSKIP("cannot make the folder immutable here");
    } else {
        prepare = [&] { return mountFileOverItself(folder, file, kind == u"read-only mount"); };
    }
    SafeFileWriter::Result result;
    const int status = saveInChild(path, {}, result, user, prepare);
    if (kind == u"immutable")
        QVERIFY(setImmutable(dir.path(), false));
    if (status == 4 << 8)
        QSKIP("cannot mount here");

    QCOMPARE(status, 0);
    QVERIFY2(result.written, qPrintable(result.reason));
    verifySaved(dir, false);
    QCOMPARE(statusOf(path).st_ino, inode);
    const QString copies = cacheHome.filePath(u"vexlon"_s);
    QCOMPARE(QFileInfo::exists(copies), copyInCache);
    if (copyInCache) {
        QCOMPARE(statusOf(copies).st_mode & 07777, mode_t(0700));
        QCOMPARE(statusOf(copies).st_uid, user.value_or(0));
        QCOMPARE(QDir(copies).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }
}

QTEST_APPLESS_MAIN(SafeFileWriterTest)
#include "tst_safefilewriter.moc"
