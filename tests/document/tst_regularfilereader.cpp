#include "document/OpenLimit.h"
#include "document/RegularFileReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <climits>
#include <dlfcn.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The file that the next read() of it finds cut to three bytes, as if another
// program had shortened it between the reader's fstat() and its read().
const char* shrinkOnRead = nullptr;

bool isOpenAs(int fd, const char* path)
{
    char link[PATH_MAX] = {};
    const QByteArray fdPath = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t size = ::readlink(fdPath.constData(), link, sizeof link - 1);
    return size > 0 && qstrcmp(link, path) == 0;
}

} // namespace

// Takes the place of the system's read() in this program, Qt's reads included.
extern "C" ssize_t read(int fd, void* buffer, size_t size)
{
    using Read = ssize_t (*)(int, void*, size_t);
    static const auto systemRead = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "read"));
    if (shrinkOnRead && isOpenAs(fd, shrinkOnRead)) {
        if (::truncate(shrinkOnRead, 3) != 0)
            qFatal("cannot shrink %s", shrinkOnRead);
        shrinkOnRead = nullptr;
    }
    return systemRead(fd, buffer, size);
}

class RegularFileReaderTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheWholeFile_data();
    void readsTheWholeFile();
    void refusesWhatIsNotARegularFile_data();
    void refusesWhatIsNotARegularFile();
    void refusesAFileLargerThanTheLimit();
    void refusesAFileThatShrinksWhileRead();
    void readsTheFreeMemoryFromMeminfo_data();
    void readsTheFreeMemoryFromMeminfo();
    void openLimitLeavesRoomInMemoryAndInTheEditor_data();
    void openLimitLeavesRoomInMemoryAndInTheEditor();
};

void RegularFileReaderTest::readsTheWholeFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("text") << "abc\r\ndef"_ba;
    QTest::newRow("binary") << QByteArray("\0\xff\x81\r\x1a\0", 6);
}

void RegularFileReaderTest::readsTheWholeFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.bin"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    const RegularFileRead read = readRegularFile(path, 1 << 20);
    QVERIFY(read.bytes.has_value());
    QCOMPARE(*read.bytes, bytes);
    QVERIFY(read.failure.isEmpty());
}

// Each must be refused at once: a FIFO without a writer would block the
// program, and a device such as /dev/zero never ends.
void RegularFileReaderTest::refusesWhatIsNotARegularFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("failure");
    QTest::newRow("missing") << u"missing"_s << u"No such file or directory"_s;
    QTest::newRow("folder") << u"folder"_s << u"It is a folder, not a file."_s;
    QTest::newRow("FIFO") << u"fifo"_s << u"It is a pipe (FIFO), not a file."_s;
    QTest::newRow("device") << u"device"_s << u"It is a device, not a file."_s;
    QTest::newRow("no name") << u"empty name"_s << u"No file name was given."_s;
}

void RegularFileReaderTest::refusesWhatIsNotARegularFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    QString path = dir.filePath(u"x"_s);
    if (kind == u"folder")
        path = dir.path();
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"device")
        path = u"/dev/zero"_s;
    else if (kind == u"empty name")
        path.clear();
    const RegularFileRead read = readRegularFile(path, qint64(1) << 40);
    QVERIFY(!read.bytes.has_value());
    QCOMPARE(read.failure, failure);
}

void RegularFileReaderTest::refusesAFileLargerThanTheLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.scp"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(101, 'x'));
    file.close();
    const RegularFileRead tooLarge = readRegularFile(path, 100);
    QVERIFY(!tooLarge.bytes.has_value());
    QVERIFY2(tooLarge.failure.startsWith(u"It is too large to open here"),
             qPrintable(tooLarge.failure));
    QVERIFY(readRegularFile(path, 101).bytes.has_value());
}

void RegularFileReaderTest::refusesAFileThatShrinksWhileRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shrinking.scp"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(100000, 'x'));
    file.close();
    const QByteArray canonical = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    shrinkOnRead = canonical.constData();
    const RegularFileRead read = readRegularFile(path, 1 << 20);
    QVERIFY2(!shrinkOnRead, "the file was not read");
    shrinkOnRead = nullptr;
    QVERIFY(!read.bytes.has_value());
    QCOMPARE(read.failure, u"It changed while it was being read."_s);
}

void RegularFileReaderTest::readsTheFreeMemoryFromMeminfo_data()
{
    QTest::addColumn<QByteArray>("meminfo");
    QTest::addColumn<qint64>("available");
    QTest::newRow("among other lines")
        << "MemTotal:       16318508 kB\nMemFree:         1203260 kB\n"
           "MemAvailable:    9361236 kB\nBuffers:          634112 kB\n"_ba
        << qint64(9361236) * 1024;
    QTest::newRow("first line, no line end") << "MemAvailable: 5 kB"_ba << qint64(5120);
    QTest::newRow("missing, as on old kernels")
        << "MemTotal:       16318508 kB\nMemFree:         1203260 kB\n"_ba << qint64(-1);
    QTest::newRow("empty") << QByteArray() << qint64(-1);
    QTest::newRow("not at the start of a line") << "XMemAvailable: 5 kB\n"_ba << qint64(-1);
    QTest::newRow("not a number") << "MemAvailable: lots kB\n"_ba << qint64(-1);
    QTest::newRow("no unit") << "MemAvailable: 5\n"_ba << qint64(-1);
    QTest::newRow("another unit") << "MemAvailable: 5 MB\n"_ba << qint64(-1);
    QTest::newRow("negative") << "MemAvailable: -5 kB\n"_ba << qint64(-1);
    QTest::newRow("too large to count in bytes")
        << "MemAvailable: 9223372036854775807 kB\n"_ba << qint64(-1);
}

void RegularFileReaderTest::readsTheFreeMemoryFromMeminfo()
{
    QFETCH(QByteArray, meminfo);
    QFETCH(qint64, available);
    QCOMPARE(availableMemoryIn(meminfo), available);
}

void RegularFileReaderTest::openLimitLeavesRoomInMemoryAndInTheEditor_data()
{
    QTest::addColumn<qint64>("available");
    QTest::addColumn<qint64>("limit");
    const qint64 editorLimit = std::numeric_limits<int>::max() - 1;
    QTest::newRow("free memory unknown") << qint64(-1) << editorLimit;
    QTest::newRow("plenty of memory") << (qint64(1) << 40) << editorLimit;
    QTest::newRow("1.6 GB free") << qint64(1600) * 1000 * 1000 << qint64(100) * 1000 * 1000;
    QTest::newRow("nothing free") << qint64(0) << qint64(0);
}

void RegularFileReaderTest::openLimitLeavesRoomInMemoryAndInTheEditor()
{
    QFETCH(qint64, available);
    QFETCH(qint64, limit);
    QCOMPARE(largestOpenableFile(available), limit);
    QVERIFY(largestOpenableFile() > 0);
}

QTEST_APPLESS_MAIN(RegularFileReaderTest)
#include "tst_regularfilereader.moc"
