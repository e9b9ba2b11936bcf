#include "FileCommandsHarness.h"
#include "support/FakeEditorControl.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

const QString filter = u"Vexlon Files|*.vls|UOX/Sphere|*.scp|Text files|*.txt|Batch files|*.bat|"
                       u"INI files|*.ini|All Files|*.*|"_s;
const QString initialCaption = u"Vexlon Script Editor"_s;

} // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void init();

    void newAsksEveryTimeAndEmptiesOnlyOnYes_data();
    void newAsksEveryTimeAndEmptiesOnlyOnYes();
    void newThenSaveWritesOnlyCrLfToThePreviousFile();

    void openReadsTheFileAndSetsCaptionAndName();
    void fileDialogsStartOnTheFirstFilterEntry();
    void openFailureIsReportedAndChangesNothing_data();
    void openFailureIsReportedAndChangesNothing();
    void openOfAnEmptyFileGivesAnEmptyDocument();
    void openTellsOfACopyLeftByAnInterruptedSave_data();
    void openTellsOfACopyLeftByAnInterruptedSave();

    void saveBeforeAnyFileRunsSaveAs();
    void saveAfterOpenWritesBackWithoutDialog();
    void saveAsAfterOpenChangesCaptionAndTarget();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void chosenNameUsedWithoutAddingAnExtension();
    void formattingIsNotSaved();

    void openAndSaveKeepEveryByteValue_data();
    void openAndSaveKeepEveryByteValue();
    void openAndSaveDoNotGrowTheFile_data();
    void openAndSaveDoNotGrowTheFile();
    void realScriptsComeBackByteForByte_data();
    void realScriptsComeBackByteForByte();

    void failedSaveIsReportedAndChangesNothing_data();
    void failedSaveIsReportedAndChangesNothing();
    void saveRefusedByTheSystemIsReportedAndChangesNothing_data();
    void saveRefusedByTheSystemIsReportedAndChangesNothing();
    void saveKeepsThePermissionBits();
    void unstorableCharactersNeedConsent_data();
    void unstorableCharactersNeedConsent();

    void documentIsModifiedByEditsOnlyUntilSaved();
    void exitWithoutEditsEndsAtOnce();
    void editsAreSettledFirst_data();
    void editsAreSettledFirst();
    void closingTheWindowAsksOnlyWhenExitHasNot();
    void openWithoutEditsAsksNothing();

    void longOpenAndSaveShowProgress();
    void cancelledOpenLeavesThePreviousDocument_data();
    void cancelledOpenLeavesThePreviousDocument();
    void cancelledSaveLeavesTheFileAndTheEdits();
    void openWithoutMemoryForTheTextIsRefused();

private:
    std::unique_ptr<FileCommandsHarness> h;
    std::unique_ptr<QTemporaryDir> dir;
};

void FileCommandsTest::init()
{
    h = std::make_unique<FileCommandsHarness>();
    h->window.setWindowTitle(initialCaption);
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void FileCommandsTest::newAsksEveryTimeAndEmptiesOnlyOnYes_data()
{
    QTest::addColumn<QString>("documentText");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << u"some text"_s << true;
    QTest::newRow("No") << u"some text"_s << false;
    QTest::newRow("Yes, empty document") << u""_s << true;
    QTest::newRow("No, empty document") << u""_s << false;
}

void FileCommandsTest::newAsksEveryTimeAndEmptiesOnlyOnYes()
{
    QFETCH(QString, documentText);
    QFETCH(bool, yes);
    const QString path = dir->filePath(u"a.vls"_s);
    QVERIFY(writeBytes(path, "old"));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->text->setDocumentText(documentText);

    h->messageBox.answers = {yes ? MessageBox::Answer::Yes : MessageBox::Answer::No};
    h->files.newFile();

    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QCOMPARE(asked.prompt, u"File not saved, continue?"_s);
    QCOMPARE(asked.title, u"VX New..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(asked.icon, MessageBox::Icon::Question);
    QCOMPARE(h->text->documentText(), yes ? QString() : documentText);
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(h->files.currentFileName(), path);
}

void FileCommandsTest::newThenSaveWritesOnlyCrLfToThePreviousFile()
{
    const QString path = dir->filePath(u"a.vls"_s);
    QVERIFY(writeBytes(path, "line one\r\nline two\r\n"));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->messageBox.answers = {MessageBox::Answer::Yes};
    h->files.newFile();
    h->files.save();
    QCOMPARE(h->dialog.shown.size(), 1);
    QCOMPARE(readBytes(path), "\r\n"_ba);
}

void FileCommandsTest::openReadsTheFileAndSetsCaptionAndName()
{
    const QString path = dir->filePath(u"npc.scp"_s);
    QVERIFY(writeBytes(path, "[NPC]\nONTRIGGER=DCLICK\r\nEND"));
    h->text->setDocumentText(u"to be replaced"_s);
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QCOMPARE(h->text->documentText(), u"[NPC]\r\nONTRIGGER=DCLICK\r\nEND"_s);
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(h->files.currentFileName(), path);
    QVERIFY(h->messageBox.asked.isEmpty());
}

// Whatever entry was picked last time, and whatever filter was left set.
void FileCommandsTest::fileDialogsStartOnTheFirstFilterEntry()
{
    const QString path = dir->filePath(u"a.vls"_s);
    QVERIFY(writeBytes(path, "x"));
    h->dialog.fileAnswers = {path, dir->filePath(u"b.vls"_s), dir->filePath(u"c.vls"_s)};
    h->dialog.setFilterIndex(4);
    h->files.openFile();
    h->dialog.setFilterIndex(6);
    h->files.saveAs();
    h->dialog.setFilterIndex(2);
    h->dialog.setFilter(u"Fonts|*.ttf|"_s);
    h->files.saveAs();
    QCOMPARE(h->dialog.shown.size(), 3);
    for (const FakeCommonDialog::Shown& shown : std::as_const(h->dialog.shown)) {
        QCOMPARE(shown.filter, filter);
        QCOMPARE(shown.filterIndex, 1);
    }
    QCOMPARE(h->dialog.shown[0].kind, FakeCommonDialog::Shown::Kind::Open);
    QCOMPARE(h->dialog.shown[1].kind, FakeCommonDialog::Shown::Kind::Save);
}

void FileCommandsTest::openFailureIsReportedAndChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("file does not exist") << u"missing"_s << u"No such file or directory"_s;
    QTest::newRow("folder") << u"folder"_s << u"It is a folder, not a file."_s;
    QTest::newRow("FIFO") << u"fifo"_s << u"It is a pipe (FIFO), not a file."_s;
    QTest::newRow("endless device") << u"device"_s << u"It is a device, not a file."_s;
}

void FileCommandsTest::openFailureIsReportedAndChangesNothing()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString first = dir->filePath(u"first.vls"_s);
    QVERIFY(writeBytes(first, "kept"));
    h->dialog.fileAnswers = {first};
    h->files.openFile();
    h->text->setSelectedText(u"edited, "_s);

    QString path = dir->filePath(u"other"_s);
    if (kind == u"folder")
        QVERIFY(QDir(dir->path()).mkdir(u"other"_s));
    else if (kind == u"fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (kind == u"device")
        path = u"/dev/zero"_s;
    h->dialog.fileAnswers = {path};
    // The edits are let go for the file that then fails to open.
    h->messageBox.answers = {MessageBox::Answer::No, MessageBox::Answer::Ok};
    h->files.openFile();

    QCOMPARE(h->messageBox.asked.size(), 2);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.last();
    QCOMPARE(asked.prompt, u"\"%1\" could not be opened:\n%2"_s.arg(path, reason));
    QCOMPARE(asked.title, u"VX Open..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::Ok);
    QCOMPARE(asked.icon, MessageBox::Icon::Stop);
    QCOMPARE(h->text->documentText(), u"edited, kept"_s);
    QVERIFY(h->text->isModified());
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + first);
    QCOMPARE(h->files.currentFileName(), first);
}

void FileCommandsTest::openOfAnEmptyFileGivesAnEmptyDocument()
{
    const QString path = dir->filePath(u"empty.vls"_s);
    QVERIFY(writeBytes(path, {}));
    h->text->setDocumentText(u"old"_s);
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QCOMPARE(h->text->documentText(), QString());
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(h->files.currentFileName(), path);
}

void FileCommandsTest::openTellsOfACopyLeftByAnInterruptedSave_data()
{
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<QString>("named");
    const QString finished = u"npc.scp.backup-Ab12Cd"_s;
    QTest::newRow("a finished copy") << QStringList{finished} << finished;
    QTest::newRow("the newest of two")
        << QStringList{u"npc.scp.backup-Old000"_s, finished} << finished;
    QTest::newRow("an unfinished copy") << QStringList{finished + u".unfinished"_s} << QString();
    QTest::newRow("a copy of another file")
        << QStringList{u"npc.scp2.backup-Ab12Cd"_s, u"other.scp.backup-Ab12Cd"_s} << QString();
    QTest::newRow("not a copy's name")
        << QStringList{u"npc.scp.backup-Ab12C"_s, u"npc.scp.backup-Ab12Cd~"_s} << QString();
}

// Nothing is restored or deleted: the user decides what to do with the copy.
void FileCommandsTest::openTellsOfACopyLeftByAnInterruptedSave()
{
    QFETCH(QStringList, copies);
    QFETCH(QString, named);
    const QString path = dir->filePath(u"npc.scp"_s);
    QVERIFY(writeBytes(path, "new text up to here, old text"));
    const QDateTime newest(QDate(2024, 3, 5), QTime(14, 7, 9));
    for (qsizetype i = 0; i < copies.size(); ++i) {
        const QString copy = dir->filePath(copies[i]);
        QVERIFY(writeBytes(copy, "old text"));
        const qint64 seconds = newest.toSecsSinceEpoch() - 3600 * (copies.size() - 1 - i);
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(copy).constData(), times, 0), 0);
    }
    h->messageBox.answers = {MessageBox::Answer::Ok};
    h->files.openPath(path);

    QCOMPARE(h->text->documentText(), u"new text up to here, old text"_s);
    QCOMPARE(h->files.currentFileName(), path);
    QCOMPARE(h->messageBox.asked.size(), named.isEmpty() ? 0 : 1);
    if (!named.isEmpty()) {
        const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
        QCOMPARE(asked.prompt, u"The last save of \u201c%1\u201d was interrupted.\nThe copy "
                               u"\u201c%2\u201d, from 2024-03-05 14:07:09, holds the text from "
                               u"before that save."_s.arg(path, dir->filePath(named)));
        QCOMPARE(asked.title, u"VX Open..."_s);
        QCOMPARE(asked.buttons, MessageBox::Buttons::Ok);
        QCOMPARE(asked.icon, MessageBox::Icon::Warning);
    }
    for (const QString& copy : std::as_const(copies))
        QCOMPARE(readBytes(dir->filePath(copy)), "old text"_ba);
}

void FileCommandsTest::saveBeforeAnyFileRunsSaveAs()
{
    const QString path = dir->filePath(u"new.vls"_s);
    h->text->setDocumentText(u"abc"_s);
    h->dialog.fileAnswers = {path};
    h->files.save();
    QCOMPARE(h->dialog.shown.size(), 1);
    QCOMPARE(h->dialog.shown[0].kind, FakeCommonDialog::Shown::Kind::Save);
    QCOMPARE(readBytes(path), "abc\r\n"_ba);
    QCOMPARE(h->window.windowTitle(), u"Vexlon"_s + path);
    QCOMPARE(h->files.currentFileName(), path);
}

void FileCommandsTest::saveAfterOpenWritesBackWithoutDialog()
{
    const QString path = dir->filePath(u"a.scp"_s);
    QVERIFY(writeBytes(path, "one"));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->text->setDocumentText(u"one\r\ntwo"_s);
    h->files.save();
    QCOMPARE(h->dialog.shown.size(), 1);
    QCOMPARE(readBytes(path), "one\r\ntwo\r\n"_ba);
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(h->files.currentFileName(), path);
}

void FileCommandsTest::saveAsAfterOpenChangesCaptionAndTarget()
{
    const QString opened = dir->filePath(u"a.scp"_s);
    const QString saved = dir->filePath(u"b.scp"_s);
    QVERIFY(writeBytes(opened, "a"));
    h->dialog.fileAnswers = {opened, saved};
    h->files.openFile();
    h->files.saveAs();
    QCOMPARE(h->window.windowTitle(), u"Vexlon"_s + saved);
    QCOMPARE(h->files.currentFileName(), saved);
    h->text->setDocumentText(u"b"_s);
    h->files.save();
    QCOMPARE(readBytes(saved), "b\r\n"_ba);
    QCOMPARE(readBytes(opened), "a"_ba);
}

// Cancel after an earlier dialog returned a name must not reuse that name.
void FileCommandsTest::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Open") << u"Open"_s;
    QTest::newRow("Save As") << u"SaveAs"_s;
    QTest::newRow("Save without a name") << u"Save"_s;
}

void FileCommandsTest::cancelChangesNothing()
{
    QFETCH(QString, command);
    const QString path = dir->filePath(u"chosen.vls"_s);
    QVERIFY(writeBytes(path, "on disk"));
    h->dialog.fileAnswers = {path, std::nullopt};
    QVERIFY(
        h->dialog.showOpen().has_value()); // an earlier dialog, of another command, chose a name
    h->text->setDocumentText(u"in the editor"_s);

    if (command == u"Open")
        h->files.openFile();
    else if (command == u"SaveAs")
        h->files.saveAs();
    else
        h->files.save();

    QCOMPARE(h->text->documentText(), u"in the editor"_s);
    QCOMPARE(readBytes(path), "on disk"_ba);
    QCOMPARE(h->window.windowTitle(), initialCaption);
    QCOMPARE(h->files.currentFileName(), QString());
    QVERIFY(h->messageBox.asked.isEmpty());
}

void FileCommandsTest::chosenNameUsedWithoutAddingAnExtension()
{
    const QString path = dir->filePath(u"script"_s);
    h->text->setDocumentText(u"x"_s);
    h->dialog.fileAnswers = {path};
    h->files.saveAs();
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{u"script"_s});
    QCOMPARE(h->files.currentFileName(), path);
}

void FileCommandsTest::formattingIsNotSaved()
{
    const QString path = dir->filePath(u"bold.vls"_s);
    h->text->setDocumentText(u"plain bold"_s);
    h->text->setSelectionStart(6);
    h->text->setSelectionLength(4);
    h->text->changeSelectionFormat({.bold = true});
    h->dialog.fileAnswers = {path, path};
    h->files.saveAs();
    QCOMPARE(readBytes(path), "plain bold\r\n"_ba);
    h->files.openFile();
    h->text->setSelectionStart(6);
    h->text->setSelectionLength(4);
    QCOMPARE(h->text->selectionFormat().bold, std::optional<bool>(false));
}

void FileCommandsTest::openAndSaveKeepEveryByteValue_data()
{
    QTest::addColumn<int>("byte");
    for (int byte = 0; byte < 256; ++byte)
        QTest::addRow("0x%02X", byte) << byte;
}

void FileCommandsTest::openAndSaveKeepEveryByteValue()
{
    QFETCH(int, byte);
    const QByteArray bytes = "a"_ba + char(byte) + "b\r\n"_ba;
    const QString path = dir->filePath(u"byte.bin"_s);
    QVERIFY(writeBytes(path, bytes));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->files.save();
    QCOMPARE(readBytes(path), savedFormOf(bytes));
    QVERIFY(h->messageBox.asked.isEmpty());
}

// A file saved once by the program comes back unchanged from every later open
// and save.
void FileCommandsTest::openAndSaveDoNotGrowTheFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("no line end") << "abc"_ba
                                 << "abc\r\n"_ba;
    QTest::newRow("ends with CR LF") << "abc\r\n"_ba
                                     << "abc\r\n"_ba;
    QTest::newRow("empty") << QByteArray() << "\r\n"_ba;
    QTest::newRow("only CR LF") << "\r\n"_ba
                                << "\r\n"_ba;
    QTest::newRow("LF line ends") << "a\nb\n"_ba
                                  << "a\r\nb\r\n"_ba;
    QTest::newRow("lone CR line ends") << "a\rb"_ba
                                       << "a\r\nb\r\n"_ba;
    QTest::newRow("empty last lines") << "a\r\n\r\n\r\n"_ba
                                      << "a\r\n\r\n\r\n"_ba;
    QTest::newRow("UTF-8 byte-order mark") << "\xEF\xBB\xBFx=1"_ba
                                           << "\xEF\xBB\xBFx=1\r\n"_ba;
    QTest::newRow("binary") << QByteArray("\x00\x1A\xFF\r\x81\n\x9D\x00", 8)
                            << QByteArray("\x00\x1A\xFF\r\n\x81\r\n\x9D\x00\r\n", 12);
}

void FileCommandsTest::openAndSaveDoNotGrowTheFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    const QString path = dir->filePath(u"cycle.scp"_s);
    QVERIFY(writeBytes(path, bytes));
    for (int cycle = 1; cycle <= 3; ++cycle) {
        h->dialog.fileAnswers = {path};
        h->files.openFile();
        h->files.save();
        QCOMPARE(readBytes(path), saved);
    }
}

void FileCommandsTest::realScriptsComeBackByteForByte_data()
{
    QTest::addColumn<QString>("source");
    const QDir corpus(qEnvironmentVariable("VEXLON_TEST_DATA") + u"/corpus"_s);
    const QStringList names = corpus.entryList({u"*.scp"_s}, QDir::Files);
    QVERIFY2(names.size() >= 4, qPrintable(u"no scripts in "_s + corpus.path()));
    for (const QString& name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void FileCommandsTest::realScriptsComeBackByteForByte()
{
    QFETCH(QString, source);
    const QByteArray original = readBytes(source);
    const QString saved = dir->filePath(u"saved.scp"_s);
    h->dialog.fileAnswers = {source, saved};
    h->files.openFile();
    h->files.saveAs();
    QCOMPARE(readBytes(saved), savedFormOf(original));
    QCOMPARE(readBytes(source), original);
}

void FileCommandsTest::failedSaveIsReportedAndChangesNothing_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Save As") << true;
    QTest::newRow("Save") << false;
}

// The folder the file should go into is a plain file: no write can succeed,
// whoever runs the test.
void FileCommandsTest::failedSaveIsReportedAndChangesNothing()
{
    QFETCH(bool, saveAs);
    QVERIFY(QDir(dir->path()).mkdir(u"sub"_s));
    const QString opened = dir->filePath(u"sub/opened.vls"_s);
    QVERIFY(writeBytes(opened, "text"));
    const QString notAFolder = dir->filePath(u"plain"_s);
    QVERIFY(writeBytes(notAFolder, "x"));
    const QString target = saveAs ? notAFolder + u"/script.vls"_s : opened;
    h->dialog.fileAnswers = {opened, target};
    h->files.openFile();
    if (!saveAs) {
        // The opened file's folder has become a plain file since.
        QVERIFY(QDir(dir->filePath(u"sub"_s)).removeRecursively());
        QVERIFY(writeBytes(dir->filePath(u"sub"_s), "x"));
    }
    h->messageBox.answers = {MessageBox::Answer::Ok};
    if (saveAs)
        h->files.saveAs();
    else
        h->files.save();

    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QVERIFY2(asked.prompt.contains(target), qPrintable(asked.prompt));
    QVERIFY2(asked.prompt.contains(u"Not a directory"), qPrintable(asked.prompt));
    QCOMPARE(asked.buttons, MessageBox::Buttons::Ok);
    QCOMPARE(asked.icon, MessageBox::Icon::Stop);
    QCOMPARE(h->text->documentText(), u"text"_s);
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + opened);
    QCOMPARE(h->files.currentFileName(), opened);
    QCOMPARE(h->process.endCalls, 0);
}

void FileCommandsTest::saveRefusedByTheSystemIsReportedAndChangesNothing_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("Save, no permission") << false << EACCES << u"Permission denied"_s;
    QTest::newRow("Save, read-only file system") << false << EROFS << u"Read-only file system"_s;
    QTest::newRow("Save As, no permission") << true << EACCES << u"Permission denied"_s;
    QTest::newRow("Save As, read-only file system") << true << EROFS << u"Read-only file system"_s;
}

// The system refuses the write itself, as it does for a read-only file or
// file system, whoever runs the test.
void FileCommandsTest::saveRefusedByTheSystemIsReportedAndChangesNothing()
{
    QFETCH(bool, saveAs);
    QFETCH(int, error);
    QFETCH(QString, reason);
    int writes = 0;
    const auto refused = [&writes, error](int, const char*, qint64) -> qint64 {
        ++writes;
        errno = error;
        return -1;
    };
    FileCommands files(*h->text, h->dialog, h->messageBox, h->process, h->progress,
                       captionShownIn(h->window), SafeFileWriter(refused));
    const QString opened = dir->filePath(u"locked.vls"_s);
    QVERIFY(writeBytes(opened, "locked"));
    h->dialog.fileAnswers = {opened};
    files.openFile();
    h->text->setSelectedText(u"changed, "_s);
    const QString target = saveAs ? dir->filePath(u"other.vls"_s) : opened;
    h->dialog.fileAnswers = {target};
    h->messageBox.answers = {MessageBox::Answer::Ok};

    QVERIFY(!(saveAs ? files.saveAs() : files.save()));

    QCOMPARE(writes, 1);
    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QCOMPARE(asked.prompt, u"\"%1\" could not be saved:\n%2\n\nThe document is still open here, "
                           u"unsaved."_s.arg(target, reason));
    QCOMPARE(asked.title, u"VX Save..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::Ok);
    QCOMPARE(asked.icon, MessageBox::Icon::Stop);
    QCOMPARE(readBytes(opened), "locked"_ba);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"locked.vls"_s});
    QCOMPARE(h->text->documentText(), u"changed, locked"_s);
    QVERIFY(h->text->isModified());
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + opened);
    QCOMPARE(files.currentFileName(), opened);
}

void FileCommandsTest::saveKeepsThePermissionBits()
{
    const QString path = dir->filePath(u"shared.scp"_s);
    QVERIFY(writeBytes(path, "x"));
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser
                             | QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup;
    QVERIFY(QFile::setPermissions(path, permissions));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->files.save();
    QCOMPARE(readBytes(path), "x\r\n"_ba);
    QCOMPARE(QFile::permissions(path), permissions);
}

void FileCommandsTest::unstorableCharactersNeedConsent_data()
{
    QTest::addColumn<bool>("saveAs");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Save, Yes") << false << true;
    QTest::newRow("Save, No") << false << false;
    QTest::newRow("Save As, Yes") << true << true;
    QTest::newRow("Save As, No") << true << false;
}

void FileCommandsTest::unstorableCharactersNeedConsent()
{
    QFETCH(bool, saveAs);
    QFETCH(bool, yes);
    const QString opened = dir->filePath(u"a.vls"_s);
    const QString other = dir->filePath(u"b.vls"_s);
    QVERIFY(writeBytes(opened, "old"));
    h->dialog.fileAnswers = {opened, other};
    h->files.openFile();
    h->text->setDocumentText(u"caf\u00E9\r\nx\u2192y \u4E2D\u20AC"_s);
    h->messageBox.answers = {yes ? MessageBox::Answer::Yes : MessageBox::Answer::No};
    if (saveAs)
        h->files.saveAs();
    else
        h->files.save();

    const QString target = saveAs ? other : opened;
    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QVERIFY2(asked.prompt.contains(u"2 characters"), qPrintable(asked.prompt));
    QVERIFY2(asked.prompt.contains(u"line 2, column 2"), qPrintable(asked.prompt));
    QVERIFY2(asked.prompt.contains(target), qPrintable(asked.prompt));
    QCOMPARE(asked.buttons, MessageBox::Buttons::YesNo);
    QCOMPARE(readBytes(opened), yes && !saveAs ? "caf\xE9\r\nx?y ?\x80\r\n"_ba : "old"_ba);
    QCOMPARE(QFile::exists(other), yes && saveAs);
    if (yes && saveAs)
        QCOMPARE(readBytes(other), "caf\xE9\r\nx?y ?\x80\r\n"_ba);
    const QString name = yes && saveAs ? other : opened;
    QCOMPARE(h->files.currentFileName(), name);
    QCOMPARE(h->text->documentText(), u"caf\u00E9\r\nx\u2192y \u4E2D\u20AC"_s);
}

// Modified means: the text differs from what was last opened, started afresh or saved.
void FileCommandsTest::documentIsModifiedByEditsOnlyUntilSaved()
{
    QVERIFY(QDir(dir->path()).mkdir(u"sub"_s));
    const QString path = dir->filePath(u"sub/m.vls"_s);
    QVERIFY(writeBytes(path, "text"));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QVERIFY(!h->text->isModified());
    h->text->setSelectionLength(2);
    h->text->changeSelectionFormat({.bold = true});
    QVERIFY2(!h->text->isModified(), "formatting is not kept in the file");

    h->text->setSelectedText(u"ne"_s);
    QVERIFY(h->text->isModified());
    h->text->changeSelectionFormat({.bold = false});
    QVERIFY(h->text->isModified());

    // The file's folder gone for a moment: even root cannot save there.
    QVERIFY(QDir(dir->path()).rename(u"sub"_s, u"away"_s));
    h->messageBox.answers = {MessageBox::Answer::Ok};
    QVERIFY(!h->files.save());
    QVERIFY2(h->text->isModified(), "a failed save leaves the edits unsaved");
    QVERIFY(QDir(dir->path()).rename(u"away"_s, u"sub"_s));
    QVERIFY(h->files.save());
    QVERIFY(!h->text->isModified());

    h->text->setSelectedText(u"x"_s);
    h->messageBox.answers = {MessageBox::Answer::Yes};
    h->files.newFile();
    QVERIFY(!h->text->isModified());
}

void FileCommandsTest::exitWithoutEditsEndsAtOnce()
{
    h->text->setDocumentText(u"never edited"_s);
    h->files.exit();
    QCOMPARE(h->process.endCalls, 1);
    QVERIFY(h->messageBox.asked.isEmpty());
    QVERIFY(h->dialog.shown.isEmpty());
}

// Exit and Open, with edits not yet saved, first ask whether to save them.
void FileCommandsTest::editsAreSettledFirst_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<MessageBox::Answer>("answer");
    // The Save As dialog's answer, where it shows: a name, or cancelled.
    QTest::addColumn<bool>("saveAsChoosesAName");
    QTest::addColumn<bool>("saved");
    // Exit ends the program, Open shows its dialog and opens the next file.
    QTest::addColumn<bool>("goesOn");
    using A = MessageBox::Answer;
    for (const bool open : {false, true}) {
        const char* command = open ? "Open" : "Exit";
        QTest::addRow("%s: file, Yes saves, goes on", command)
            << open << true << A::Yes << false << true << true;
        QTest::addRow("%s: file, No goes on unsaved", command)
            << open << true << A::No << false << false << true;
        QTest::addRow("%s: file, Cancel stays", command)
            << open << true << A::Cancel << false << false << false;
        QTest::addRow("%s: untitled, Yes runs Save As", command)
            << open << false << A::Yes << true << true << true;
        QTest::addRow("%s: untitled, Yes, Save As cancelled", command)
            << open << false << A::Yes << false << false << false;
        QTest::addRow("%s: untitled, No goes on unsaved", command)
            << open << false << A::No << false << false << true;
    }
}

void FileCommandsTest::editsAreSettledFirst()
{
    QFETCH(bool, open);
    QFETCH(bool, hasFile);
    QFETCH(MessageBox::Answer, answer);
    QFETCH(bool, saveAsChoosesAName);
    QFETCH(bool, saved);
    QFETCH(bool, goesOn);
    const QString path = dir->filePath(u"edited.scp"_s);
    const QString next = dir->filePath(u"next.scp"_s);
    QVERIFY(writeBytes(next, "next"));
    if (hasFile) {
        QVERIFY(writeBytes(path, "old"));
        h->dialog.fileAnswers = {path};
        h->files.openFile();
    }
    h->text->setSelectedText(u"new "_s);
    h->messageBox.answers = {answer};
    if (!hasFile && answer == MessageBox::Answer::Yes)
        h->dialog.fileAnswers = {saveAsChoosesAName ? std::optional(path) : std::nullopt};
    if (open && goesOn)
        h->dialog.fileAnswers.push_back(next);
    const qsizetype dialogsBefore = h->dialog.shown.size();

    if (open)
        h->files.openFile();
    else
        h->files.exit();

    QCOMPARE(h->messageBox.asked.size(), 1);
    const FakeMessageBox::Asked& asked = h->messageBox.asked.first();
    QCOMPARE(asked.prompt, u"Save changes to %1?"_s.arg(hasFile ? path : u"Untitled"_s));
    QCOMPARE(asked.title, open ? u"VX Open..."_s : u"VX Exit..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::YesNoCancel);
    QCOMPARE(asked.icon, MessageBox::Icon::Question);
    const QString edited = hasFile ? u"new old"_s : u"new "_s;
    QCOMPARE(readBytes(path), saved     ? edited.toLatin1() + "\r\n"
                              : hasFile ? "old"_ba
                                        : "<unreadable>"_ba);
    QVERIFY(h->dialog.fileAnswers.empty());
    if (!open) {
        QCOMPARE(h->process.endCalls, goesOn ? 1 : 0);
        QCOMPARE(h->text->documentText(), edited);
        return;
    }
    QCOMPARE(h->text->documentText(), goesOn ? u"next"_s : edited);
    QCOMPARE(h->files.currentFileName(), goesOn ? next : hasFile ? path : QString());
    // No open dialog after Cancel, nor after a save that did not happen.
    const bool openDialogShown =
        h->dialog.shown.size() > dialogsBefore
        && h->dialog.shown.last().kind == FakeCommonDialog::Shown::Kind::Open;
    QCOMPARE(openDialogShown, goesOn);
}

// Exit closes every window itself once the user has answered: the window's
// own close must not ask a second time. A close of its own asks as Exit would.
void FileCommandsTest::closingTheWindowAsksOnlyWhenExitHasNot()
{
    h->text->setSelectedText(u"unsaved"_s);
    h->messageBox.answers = {MessageBox::Answer::Cancel};
    QVERIFY(!h->files.mayCloseWindow());
    h->messageBox.answers = {MessageBox::Answer::No};
    QVERIFY(h->files.mayCloseWindow());
    QCOMPARE(h->messageBox.asked.size(), 2);

    h->messageBox.answers = {MessageBox::Answer::No};
    h->files.exit();
    QCOMPARE(h->process.endCalls, 1);
    QVERIFY(h->files.mayCloseWindow());
    QCOMPARE(h->messageBox.asked.size(), 3);
}

void FileCommandsTest::openWithoutEditsAsksNothing()
{
    const QString path = dir->filePath(u"a.scp"_s);
    QVERIFY(writeBytes(path, "a"));
    h->text->setDocumentText(u"never edited"_s);
    h->text->setModified(false);
    h->dialog.fileAnswers = {path, path};
    h->files.openFile();
    h->files.openFile();
    QVERIFY(h->messageBox.asked.isEmpty());
    QCOMPARE(h->text->documentText(), u"a"_s);
}

// A script of several reads' worth, twice over for Open.
QByteArray largeScript()
{
    QByteArray bytes;
    while (bytes.size() < 3 * (1 << 20))
        bytes += "ON=@Click\r\n\tSAY Bonjour, caf\xE9 \x80\r\n";
    return bytes;
}

void FileCommandsTest::longOpenAndSaveShowProgress()
{
    const QByteArray bytes = largeScript();
    const QString path = dir->filePath(u"large.scp"_s);
    QVERIFY(writeBytes(path, bytes));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QCOMPARE(h->progress.begun.size(), 1);
    QCOMPARE(h->progress.begun[0].title, u"VX Open..."_s);
    QCOMPARE(h->progress.begun[0].total, 2 * bytes.size());
    QCOMPARE(h->progress.lastDone, 2 * bytes.size());
    QCOMPARE(h->progress.ended, 1);
    const QString megabytes = QString::number(double(bytes.size()) / 1e6, 'f', 1);
    QCOMPARE(h->progress.texts.first(),
             u"Reading \u201Clarge.scp\u201D\n0.3 MB of %1 MB"_s.arg(megabytes));
    QCOMPARE(h->progress.texts.last(),
             u"Opening \u201Clarge.scp\u201D\n%1 MB of %1 MB"_s.arg(megabytes));

    h->text->setSelectionStart(0);
    h->text->setSelectedText(u"x"_s);
    QVERIFY(h->files.save());
    QCOMPARE(h->progress.begun.size(), 2);
    QCOMPARE(h->progress.begun[1].title, u"VX Save..."_s);
    QCOMPARE(h->progress.begun[1].total, bytes.size() + 1);
    QCOMPARE(h->progress.lastDone, bytes.size() + 1);
    QCOMPARE(h->progress.ended, 2);
    QVERIFY(h->progress.texts.last().startsWith(u"Saving \u201Clarge.scp\u201D\n"_s));
    QCOMPARE(readBytes(path), "x" + bytes);
}

void FileCommandsTest::cancelledOpenLeavesThePreviousDocument_data()
{
    QTest::addColumn<qint64>("cancelAt");
    QTest::newRow("while reading") << qint64(1);
    QTest::newRow("while filling the editor") << qint64(3 * (1 << 20) + 1);
    QTest::newRow("at the last piece") << qint64(2 * largeScript().size());
}

void FileCommandsTest::cancelledOpenLeavesThePreviousDocument()
{
    QFETCH(qint64, cancelAt);
    const QString first = dir->filePath(u"first.vls"_s);
    QVERIFY(writeBytes(first, "kept\r\n"));
    h->dialog.fileAnswers = {first};
    h->files.openFile();
    h->text->setSelectionStart(2);
    h->text->setSelectedText(u"--"_s);
    const QString large = dir->filePath(u"large.scp"_s);
    QVERIFY(writeBytes(large, largeScript()));

    h->progress.cancelAt = cancelAt;
    h->files.openPath(large);
    QCOMPARE(h->text->documentText(), u"ke--pt\r\n"_s);
    QVERIFY(h->text->isModified());
    QCOMPARE(h->files.currentFileName(), first);
    QCOMPARE(h->window.windowTitle(), u"Vexlon Scriptor   "_s + first);
    QCOMPARE(h->progress.ended, 2);
    QVERIFY(h->messageBox.asked.isEmpty());
    // The document still belongs to its file.
    h->progress.cancelAt = -1;
    QVERIFY(h->files.save());
    QCOMPARE(readBytes(first), "ke--pt\r\n"_ba);
}

void FileCommandsTest::cancelledSaveLeavesTheFileAndTheEdits()
{
    const QByteArray bytes = largeScript();
    for (const bool inPlace : {false, true}) {
        const QString path = dir->filePath(inPlace ? u"linked.scp"_s : u"large.scp"_s);
        QVERIFY(writeBytes(path, bytes));
        // A second name makes the save go in place.
        if (inPlace)
            QCOMPARE(::link(QFile::encodeName(path).constData(),
                            QFile::encodeName(path + u".link"_s).constData()),
                     0);
        h->files.openPath(path);
        h->text->setSelectionStart(0);
        h->text->setSelectedText(u"edit "_s);
        h->progress.cancelAt = 2 << 20;
        QVERIFY(!h->files.save());
        h->progress.cancelAt = -1;
        QCOMPARE(readBytes(path), bytes);
        QVERIFY(h->text->isModified());
        QVERIFY(h->messageBox.asked.isEmpty());
        // No temporary file, no copy of the old content left behind.
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), inPlace ? 3 : 1);
    }
}

void FileCommandsTest::openWithoutMemoryForTheTextIsRefused()
{
    FakeEditorControl text;
    FileCommands files(text, h->dialog, h->messageBox, h->process, h->progress,
                       captionShownIn(h->window));
    text.setDocumentText(u"kept"_s);
    text.noMemory = true;
    const QString path = dir->filePath(u"a.scp"_s);
    QVERIFY(writeBytes(path, "new"));
    h->messageBox.answers = {MessageBox::Answer::Ok};
    files.openPath(path);
    QCOMPARE(text.documentText(), u"kept"_s);
    QCOMPARE(files.currentFileName(), QString());
    QCOMPARE(h->messageBox.asked.size(), 1);
    QCOMPARE(h->messageBox.asked[0].prompt,
             u"\"%1\" could not be opened:\nThere is not enough memory to open it."_s.arg(path));
}

QTEST_MAIN(FileCommandsTest)
#include "tst_filecommands.moc"
