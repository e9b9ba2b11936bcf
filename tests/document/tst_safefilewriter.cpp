#include "document/SafeFileWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void createFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class SafeFileWriterTest : public QObject {
    Q_OBJECT
private slots:
    void writesANewFile();
    void replacesAnExistingFileWhole();
    void writeFailingPartWayKeepsThePreviousFile_data();
    void writeFailingPartWayKeepsThePreviousFile();
    void keepsThePermissionBits();
    void failsWithTheSystemsReasonWhenTheFolderIsAFile();
    void failsInAReadOnlyFolderAndKeepsTheFile();
};

void SafeFileWriterTest::writesANewFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"new.vls"_s);
    const SafeFileWriter::Result result = SafeFileWriter().write(path, "abc\r\n");
    QVERIFY(result.written);
    QCOMPARE(contentsOf(path), "abc\r\n"_ba);
}

void SafeFileWriterTest::replacesAnExistingFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"old.vls"_s);
    createFile(path, "a much longer old text\r\n");
    QVERIFY(SafeFileWriter().write(path, "new\r\n").written);
    QCOMPARE(contentsOf(path), "new\r\n"_ba);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"old.vls"_s});
}

// A disk that fills up part-way through the write. Qt's own save file commits a
// cut-off copy after a short write; the writer must notice the count.
void SafeFileWriterTest::writeFailingPartWayKeepsThePreviousFile_data()
{
    QTest::addColumn<bool>("reportsShortCount");
    QTest::newRow("short write") << true;
    QTest::newRow("failed write after some bytes") << false;
}

void SafeFileWriterTest::writeFailingPartWayKeepsThePreviousFile()
{
    QFETCH(bool, reportsShortCount);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"script.scp"_s);
    const QByteArray previous = "the previous script\r\n";
    createFile(path, previous);

    const SafeFileWriter writer(
        [reportsShortCount](QIODevice& device, const char* data, qint64 size) -> qint64 {
            const qint64 half = device.write(data, size / 2);
            return reportsShortCount ? half : -1;
        });
    const SafeFileWriter::Result result = writer.write(path, QByteArray(1000, 'x'));

    QVERIFY(!result.written);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(contentsOf(path), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"script.scp"_s});
}

void SafeFileWriterTest::keepsThePermissionBits()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"shared.scp"_s);
    createFile(path, "old\r\n");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                             | QFile::ReadOther | QFile::ReadUser | QFile::WriteUser;
    QVERIFY(QFile::setPermissions(path, permissions));
    QVERIFY(SafeFileWriter().write(path, "new\r\n").written);
    QCOMPARE(QFile::permissions(path), permissions);
}

void SafeFileWriterTest::failsWithTheSystemsReasonWhenTheFolderIsAFile()
{
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(u"plain"_s);
    createFile(notAFolder, "x");
    const SafeFileWriter::Result result = SafeFileWriter().write(notAFolder + u"/a.vls"_s, "abc");
    QVERIFY(!result.written);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(contentsOf(notAFolder), "x"_ba);
}

void SafeFileWriterTest::failsInAReadOnlyFolderAndKeepsTheFile()
{
    if (::geteuid() == 0)
        QSKIP("permission bits do not stop root from writing");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"kept.scp"_s);
    createFile(path, "kept\r\n");
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const SafeFileWriter::Result result = SafeFileWriter().write(path, "lost\r\n");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY(!result.written);
    QVERIFY(!result.reason.isEmpty());
    QCOMPARE(contentsOf(path), "kept\r\n"_ba);
}

QTEST_APPLESS_MAIN(SafeFileWriterTest)
#include "tst_safefilewriter.moc"
