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

// The file that the next pread() of it finds cut to three bytes, as if another
// program had shortened it between the reader's fstat() and its read.
const char* shrinkOnRead = nullptr;

bool isOpenAs(int fd, const char* path)
{
    char link[PATH_MAX] = {};
    const QByteArray fdPath = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t size = ::readlink(fdPath.constData(), link, sizeof link - 1);
    return size > 0 && qstrcmp(link, path) == 0;
}

} // namespace

// Takes the place of the system's pread() in this program.
extern "C" ssize_t pread(int fd, void* buffer, size_t size, off_t offset)
{
    using Read = ssize_t (*)(int, void*, size_t, off_t);
    static const auto systemRead = reinterpret_cast<Read>(::dlsym(RTLD_NEXT, "pread"));
    if (shrinkOnRead && isOpenAs(fd, shrinkOnRead)) {
        if (::truncate(shrinkOnRead, 3) != 0)
            qFatal("cannot shrink %s", shrinkOnRead);
        shrinkOnRead = nullptr;
    }
    return systemRead(fd, buffer, size, offset);
}

namespace {

struct Read {
    RegularFileReader::Outcome outcome;
    QByteArray bytes;
    int pieces = 0;
};

Read readWhole(RegularFileReader& file)
{
    Read read;
    read.outcome = file.readPieces([&read](QByteArrayView piece) {
        read.bytes += piece;
        ++read.pieces;
        return true;
    });
    return read;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class RegularFileReaderTest : public QObject {
    Q_OBJECT
private slots:
    void readsTheWholeFile_data();
    void readsTheWholeFile();
    void refusesWhatIsNotARegularFile_data();
    void refusesWhatIsNotARegularFile();
    void refusesAFileLargerThanTheLimit();
    void refusesAFileThatShrinksWhileRead();
    void stopsWhenAskedAndFailsWhenTheFileChangedBetweenReads();
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
    QByteArray large(5 * (1 << 19) + 7, 'x');
    large[1 << 20] = 'y';
    QTest::newRow("several pieces") << large;
}

void RegularFileReaderTest::readsTheWholeFile()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.bin"_s);
    writeFile(path, bytes);
    RegularFileReader file(path, 1 << 22);
    QVERIFY(file.isOpen());
    QCOMPARE(file.size(), bytes.size());
    const Read read = readWhole(file);
    QCOMPARE(read.outcome, RegularFileReader::Outcome::Read);
    QCOMPARE(read.bytes, bytes);
    // Read in pieces of 256 KiB.
    QCOMPARE(read.pieces, int(bytes.size() + (1 << 18) - 1) >> 18);
    QVERIFY(file.failure().isEmpty());
    // And again from the start.
    QCOMPARE(readWhole(file).bytes, bytes);
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
    RegularFileReader file(path, qint64(1) << 40);
    QVERIFY(!file.isOpen());
    QCOMPARE(file.failure(), failure);
    QCOMPARE(readWhole(file).outcome, RegularFileReader::Outcome::Failed);
}

void RegularFileReaderTest::refusesAFileLargerThanTheLimit()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"big.scp"_s);
    writeFile(path, QByteArray(101, 'x'));
    const RegularFileReader tooLarge(path, 100);
    QVERIFY(!tooLarge.isOpen());
    QVERIFY2(tooLarge.failure().startsWith(u"It is too large to open here"),
             qPrintable(tooLarge.failure()));
    QVERIFY(RegularFileReader(path, 101).isOpen());
}

void RegularFileReaderTest::refusesAFileThatShrinksWhileRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shrinking.scp"_s);
    writeFile(path, QByteArray(100000, 'x'));
    const QByteArray canonical = QFile::encodeName(QFileInfo(path).canonicalFilePath());
    RegularFileReader file(path, 1 << 20);
    shrinkOnRead = canonical.constData();
    const Read read = readWhole(file);
    QVERIFY2(!shrinkOnRead, "the file was not read");
    shrinkOnRead = nullptr;
    QCOMPARE(read.outcome, RegularFileReader::Outcome::Failed);
    QCOMPARE(file.failure(), u"It changed while it was being read."_s);
}

// Open reads a file twice: a file that another program rewrote in between is
// not the one the first pass learnt about.
void RegularFileReaderTest::stopsWhenAskedAndFailsWhenTheFileChangedBetweenReads()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"script.scp"_s);
    writeFile(path, QByteArray(3 << 20, 'x'));
    RegularFileReader file(path, 1 << 30);
    int pieces = 0;
    QCOMPARE(file.readPieces([&pieces](QByteArrayView) { return ++pieces < 2; }),
             RegularFileReader::Outcome::Stopped);
    QCOMPARE(pieces, 2);
    QCOMPARE(readWhole(file).outcome, RegularFileReader::Outcome::Read);

    QFile grown(path);
    QVERIFY(grown.open(QIODevice::Append));
    grown.write("more");
    grown.close();
    QCOMPARE(readWhole(file).outcome, RegularFileReader::Outcome::Failed);
    QCOMPARE(file.failure(), u"It changed while it was being read."_s);
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
