#include "FileCommandsHarness.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct stat statusOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        qFatal("cannot stat %s", qPrintable(path));
    return status;
}

// Gives the file the modification time it had in status.
bool setModified(const QString& path, const struct stat& status)
{
    const timespec times[2] = {status.st_atim, status.st_mtim};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

timespec shifted(timespec time, long nanoseconds)
{
    time.tv_nsec += nanoseconds;
    if (time.tv_nsec >= 1000000000L) {
        time.tv_nsec -= 1000000000L;
        ++time.tv_sec;
    }
    return time;
}

} // namespace

// Another program may rewrite a script while it is open here (a game server
// does): Save asks before it writes over such a change, and not otherwise.
class FileChangedOnDiskTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void saveAsksBeforeReplacingAnotherProgramsChange_data();
    void saveAsksBeforeReplacingAnotherProgramsChange();
    void noQuestionAfterOurOwnSave_data();
    void noQuestionAfterOurOwnSave();
    void deletedFileIsWrittenAgainWithoutAQuestion();
    void exitsSaveAsksTooAndNoKeepsTheProgramRunning();
    void linkPutInTheFilesPlaceIsNotWrittenThrough();
    void linkOpenedAsALinkIsStillWrittenThrough();

private:
    void openScript(const QByteArray& bytes);

    std::unique_ptr<FileCommandsHarness> h;
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

void FileChangedOnDiskTest::init()
{
    h = std::make_unique<FileCommandsHarness>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    path = dir->filePath(u"spawns.scp"_s);
}

void FileChangedOnDiskTest::openScript(const QByteArray& bytes)
{
    QVERIFY(writeBytes(path, bytes));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QCOMPARE(h->files.currentFileName(), path);
    h->text->setSelectionStart(0);
    h->text->setSelectedText(u"mine "_s);
}

void FileChangedOnDiskTest::saveAsksBeforeReplacingAnotherProgramsChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("yes");
    for (const char* change : {"rewritten", "size only", "time only", "replaced by a new file"}) {
        QTest::addRow("%s, Yes", change) << QString::fromLatin1(change) << true;
        QTest::addRow("%s, No", change) << QString::fromLatin1(change) << false;
    }
}

void FileChangedOnDiskTest::saveAsksBeforeReplacingAnotherProgramsChange()
{
    QFETCH(QString, change);
    QFETCH(bool, yes);
    openScript("x=1\n");
    const struct stat opened = statusOf(path);
    QByteArray theirs = "x=2\n";
    if (change == u"rewritten") {
        QVERIFY(writeBytes(path, theirs));
        struct stat later = opened;
        later.st_mtim = shifted(opened.st_mtim, 1);
        QVERIFY(setModified(path, later));
    } else if (change == u"size only") {
        theirs = "x=10\n";
        QVERIFY(writeBytes(path, theirs));
        QVERIFY(setModified(path, opened));
    } else if (change == u"time only") {
        theirs = "x=1\n";
        struct stat later = opened;
        later.st_mtim = shifted(opened.st_mtim, 1);
        QVERIFY(setModified(path, later));
    } else {
        // Same size, same time, another file under the name.
        const QString other = dir->filePath(u"other.scp"_s);
        QVERIFY(writeBytes(other, theirs));
        QVERIFY(setModified(other, opened));
        QVERIFY(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData())
                == 0);
        QVERIFY(statusOf(path).st_ino != opened.st_ino);
    }

    h->messageBox.answers = {yes ? MessageBox::Answer::Yes : MessageBox::Answer::No};
    QCOMPARE(h->files.save(), yes);

    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QCOMPARE(asked.prompt, u"\u201C%1\u201D was changed by another program after it was opened "
                           u"here.\nReplace those changes with this document?"_s.arg(path));
    QCOMPARE(asked.title, u"VX Save..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::YesNoDefaultNo);
    QCOMPARE(asked.icon, MessageBox::Icon::Question);
    QCOMPARE(readBytes(path), yes ? "mine x=1\r\n"_ba : theirs);
    QCOMPARE(h->text->isModified(), !yes);
    QCOMPARE(h->text->documentText(), u"mine x=1\r\n"_s);

    // Once the user chose to replace them, the next Save asks no more.
    if (yes) {
        h->text->setSelectedText(u"again "_s);
        QVERIFY(h->files.save());
        QCOMPARE(h->messageBox.asked.size(), 1);
    }
}

void FileChangedOnDiskTest::noQuestionAfterOurOwnSave_data()
{
    QTest::addColumn<bool>("hardLinked");
    QTest::newRow("replacing save") << false;
    QTest::newRow("in-place save (hard link)") << true;
}

void FileChangedOnDiskTest::noQuestionAfterOurOwnSave()
{
    QFETCH(bool, hardLinked);
    openScript("x=1\n");
    if (hardLinked)
        QVERIFY(::link(QFile::encodeName(path).constData(),
                       QFile::encodeName(dir->filePath(u"link.scp"_s)).constData())
                == 0);
    for (int save = 0; save < 3; ++save) {
        h->text->setSelectedText(u"+"_s);
        QVERIFY(h->files.save());
    }
    QVERIFY(h->messageBox.asked.isEmpty());
    QCOMPARE(readBytes(path), "mine +++x=1\r\n"_ba);

    // Save As to the same file counts as our own write too.
    h->dialog.fileAnswers = {path};
    QVERIFY(h->files.saveAs());
    h->text->setSelectedText(u"!"_s);
    QVERIFY(h->files.save());
    QVERIFY(h->messageBox.asked.isEmpty());
}

void FileChangedOnDiskTest::deletedFileIsWrittenAgainWithoutAQuestion()
{
    openScript("x=1\n");
    QVERIFY(QFile::remove(path));
    QVERIFY(h->files.save());
    QVERIFY(h->messageBox.asked.isEmpty());
    QCOMPARE(readBytes(path), "mine x=1\r\n"_ba);
}

void FileChangedOnDiskTest::exitsSaveAsksTooAndNoKeepsTheProgramRunning()
{
    openScript("x=1\n");
    QVERIFY(writeBytes(path, "theirs, longer\n"));
    h->messageBox.answers = {MessageBox::Answer::Yes, MessageBox::Answer::No};
    h->files.exit();
    QCOMPARE(h->messageBox.asked.size(), 2);
    QCOMPARE(h->messageBox.asked[0].title, u"VX Exit..."_s);
    QCOMPARE(h->messageBox.asked[1].title, u"VX Save..."_s);
    QCOMPARE(h->process.endCalls, 0);
    QCOMPARE(readBytes(path), "theirs, longer\n"_ba);
    QVERIFY(h->text->isModified());
}

// Whoever may write the script's folder (a game server's user) must not make
// a Save by root write to a file of their choosing.
void FileChangedOnDiskTest::linkPutInTheFilesPlaceIsNotWrittenThrough()
{
    const QString secret = dir->filePath(u"root-only"_s);
    QVERIFY(writeBytes(secret, "secret\n"));
    openScript("x=1\n");
    QVERIFY(QFile::remove(path));
    QVERIFY(QFile::link(secret, path));

    h->messageBox.answers = {MessageBox::Answer::Ok};
    QVERIFY(!h->files.save());
    QCOMPARE(h->messageBox.asked.size(), 1);
    QCOMPARE(h->messageBox.asked[0].prompt,
             u"\"%1\" could not be saved:\n\"%1\" is now a link to \"%2\"; it was not saved.\n\n"
             u"The document is still open here, unsaved."_s.arg(path, secret));
    QCOMPARE(h->messageBox.asked[0].icon, MessageBox::Icon::Stop);
    QCOMPARE(readBytes(secret), "secret\n"_ba);
    QVERIFY(QFileInfo(path).isSymLink());
    QVERIFY(h->text->isModified());

    // Save As to that name is the user's own choice of file.
    h->dialog.fileAnswers = {path};
    QVERIFY(h->files.saveAs());
    QCOMPARE(readBytes(secret), "mine x=1\r\n"_ba);
}

void FileChangedOnDiskTest::linkOpenedAsALinkIsStillWrittenThrough()
{
    const QString target = dir->filePath(u"target.scp"_s);
    QVERIFY(writeBytes(target, "x=1\n"));
    QVERIFY(QFile::link(target, path));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->text->setSelectedText(u"mine "_s);
    QVERIFY(h->files.save());
    QVERIFY(h->messageBox.asked.isEmpty());
    QVERIFY(QFileInfo(path).isSymLink());
    QCOMPARE(readBytes(target), "mine x=1\r\n"_ba);
}

QTEST_MAIN(FileChangedOnDiskTest)
#include "tst_filechangedondisk.moc"
