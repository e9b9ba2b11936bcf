#include "FileCommandsHarness.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString corpusFile(const QString& name)
{
    return qEnvironmentVariable("VEXLON_TEST_DATA") + u"/corpus/"_s + name;
}

} // namespace

// Scripts are saved in the encoding they were opened in: UTF-8 scripts stay
// UTF-8, their byte-order mark kept, and everything else stays Windows-1252.
class FileEncodingsTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void editedScriptKeepsItsEncoding_data();
    void editedScriptKeepsItsEncoding();
    void utf8ScriptShowsItsCharacters();
    void newStartsAWindows1252Document();
    void saveAsKeepsTheEncoding();
    void textTooLargeForTheEditorIsRefused_data();
    void textTooLargeForTheEditorIsRefused();

private:
    std::unique_ptr<FileCommandsHarness> h;
    std::unique_ptr<QTemporaryDir> dir;
};

void FileEncodingsTest::init()
{
    h = std::make_unique<FileCommandsHarness>();
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void FileEncodingsTest::editedScriptKeepsItsEncoding_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("typedAs");
    // Real scripts, and two made up to sit on the edge of the rules.
    const QString typed = u"\u00E9t\u00E9 \u20AC"_s;
    const QByteArray utf8 = typed.toUtf8();
    const QByteArray latin = "\xE9t\xE9 \x80"_ba;
    QTest::newRow("UTF-8 with a mark")
        << corpusFile(u"e_npcs_pack_instincts.scp"_s) << QByteArray() << utf8;
    QTest::newRow("UTF-8 without a mark")
        << corpusFile(u"region_language_csy.scp"_s) << QByteArray() << utf8;
    QTest::newRow("Windows-1252") << corpusFile(u"region_language_eng.scp"_s) << QByteArray()
                                  << latin;
    QTest::newRow("plain ASCII is Windows-1252")
        << corpusFile(u"e_npc_generic_event.scp"_s) << QByteArray() << latin;
    QTest::newRow("UTF-8 but one bad sequence")
        << QString() << "Invit\xC3\xA9\n\xE9t\xC3\xA9\n"_ba << latin;
    QTest::newRow("a mark, then one bad sequence")
        << QString() << "\xEF\xBB\xBFInvit\xC3\xA9\n\xE9\n"_ba << latin;
    QTest::newRow("a mark and nothing else") << QString() << "\xEF\xBB\xBF"_ba << utf8;
}

// Opened, typed into at the end with text beyond ASCII, saved: the bytes
// are the file's own followed by the typed text, in the file's encoding.
void FileEncodingsTest::editedScriptKeepsItsEncoding()
{
    QFETCH(QString, source);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, typedAs);
    if (!source.isEmpty())
        bytes = readBytes(source);
    QVERIFY(!bytes.isEmpty());
    const QString path = dir->filePath(u"script.scp"_s);
    QVERIFY(writeBytes(path, bytes));

    h->dialog.fileAnswers = {path};
    h->files.openFile();
    h->text->setSelectionStart(h->text->endPosition());
    h->text->setSelectedText(u"\u00E9t\u00E9 \u20AC"_s);
    QVERIFY(h->files.save());

    QCOMPARE(readBytes(path), savedFormOf(bytes + typedAs));
    QVERIFY(h->messageBox.asked.isEmpty());
}

void FileEncodingsTest::utf8ScriptShowsItsCharacters()
{
    const QString path = dir->filePath(u"language_fra.scp"_s);
    QVERIFY(writeBytes(path, "\xEF\xBB\xBFInvit\xC3\xA9=\xE4\xB8\xAD\xF0\x9F\x98\x80\n"_ba));
    h->dialog.fileAnswers = {path};
    h->files.openFile();
    QCOMPARE(h->text->documentText(), u"Invit\u00E9=\u4E2D\U0001F600\r\n"_s);

    // Characters no single-byte code page has are stored without a question.
    h->text->setSelectionStart(0);
    h->text->setSelectedText(u"\u03A9"_s);
    QVERIFY(h->files.save());
    QVERIFY(h->messageBox.asked.isEmpty());
    QCOMPARE(readBytes(path),
             "\xEF\xBB\xBF\xCE\xA9Invit\xC3\xA9=\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n"_ba);
}

void FileEncodingsTest::newStartsAWindows1252Document()
{
    const QString utf8 = dir->filePath(u"utf8.scp"_s);
    QVERIFY(writeBytes(utf8, "caf\xC3\xA9"_ba));
    h->dialog.fileAnswers = {utf8};
    h->files.openFile();
    QCOMPARE(h->files.encoding(), ScriptFileFormat::Encoding::Utf8);

    h->messageBox.answers = {MessageBox::Answer::Yes};
    h->files.newFile();
    QCOMPARE(h->files.encoding(), ScriptFileFormat::Encoding::Windows1252);
    h->text->setSelectedText(u"\u00E9"_s);
    const QString saved = dir->filePath(u"new.scp"_s);
    h->dialog.fileAnswers = {saved};
    QVERIFY(h->files.saveAs());
    QCOMPARE(readBytes(saved), "\xE9\r\n"_ba);
}

void FileEncodingsTest::saveAsKeepsTheEncoding()
{
    const QString source = dir->filePath(u"marked.scp"_s);
    QVERIFY(writeBytes(source, "\xEF\xBB\xBFx\r\n"_ba));
    const QString copy = dir->filePath(u"copy.scp"_s);
    h->dialog.fileAnswers = {source, copy};
    h->files.openFile();
    h->text->setSelectedText(u"\u00E9"_s);
    QVERIFY(h->files.saveAs());
    QCOMPARE(readBytes(copy), "\xEF\xBB\xBF\xC3\xA9x\r\n"_ba);
}

void FileEncodingsTest::textTooLargeForTheEditorIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // What the refusal says of the sizes; empty: the file opens.
    QTest::addColumn<QString>("sizes");
    // The editor below takes at most 3 MB of text.
    QTest::newRow("euro signs up to the limit") << QByteArray(1000000, '\x80') << QString();
    QTest::newRow("euro signs past it")
        << QByteArray(1100000, '\x80') << u"its 1.1 MB would take 3.3 MB in the editor"_s;
    QTest::newRow("Latin-1 letters past it")
        << QByteArray(1600000, '\xE9') << u"its 1.6 MB would take 3.2 MB in the editor"_s;
    QTest::newRow("UTF-8 no larger than the file")
        << QString(1400000, QChar(0xE9)).toUtf8() << QString();
}

void FileEncodingsTest::textTooLargeForTheEditorIsRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, sizes);
    QWidget window;
    auto* text = new ScriptEditor(&window);
    FakeCommonDialog dialog;
    FakeMessageBox messageBox;
    FakeProcessControl process;
    FakeProgress progress;
    FileCommands files(*text, dialog, messageBox, process, progress, captionShownIn(window),
                       SafeFileWriter(), [] { return qint64(3000000); });
    text->setDocumentText(u"kept"_s);
    const QString path = dir->filePath(u"large.scp"_s);
    QVERIFY(writeBytes(path, bytes));
    messageBox.answers = {MessageBox::Answer::Ok};
    files.openPath(path);
    if (sizes.isEmpty()) {
        QCOMPARE(files.currentFileName(), path);
        QVERIFY(messageBox.asked.isEmpty());
        return;
    }
    QCOMPARE(files.currentFileName(), QString());
    QCOMPARE(text->documentText(), u"kept"_s);
    QCOMPARE(messageBox.asked.size(), 1);
    QCOMPARE(messageBox.asked[0].prompt,
             u"\"%1\" could not be opened:\nIt is too large to open here: %2, which can take at "
             u"most 3.0 MB with the memory now free."_s.arg(path, sizes));
}

QTEST_MAIN(FileEncodingsTest)
#include "tst_fileencodings.moc"
