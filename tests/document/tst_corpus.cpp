#include "FileCommandsHarness.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Every real script of the shared corpus, opened and saved by the file
// commands, comes back as its own bytes with line ends written as CR LF and a
// final CR LF added where there was none. The corpus is not part of the
// repository: without it the test is skipped.
class CorpusTest : public QObject {
    Q_OBJECT
private slots:
    void everyScriptComesBackByteForByte();
};

void CorpusTest::everyScriptComesBackByteForByte()
{
    const QString corpus = qEnvironmentVariable("VEXLON_CORPUS");
    if (corpus.isEmpty() || !QFileInfo(corpus).isDir())
        QSKIP(qPrintable(u"no corpus of real scripts at \"%1\""_s.arg(corpus)));

    QTemporaryDir dir;
    const QString saved = dir.filePath(u"saved.scp"_s);
    FileCommandsHarness h;
    QStringList wrong;
    int checked = 0;
    QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        h.dialog.fileAnswers = {source, saved};
        h.files.openFile();
        h.files.saveAs();
        if (h.files.currentFileName() != saved
            || readBytes(saved) != savedFormOf(readBytes(source)))
            wrong << source;
        QFile::remove(saved);
        ++checked;
    }
    QVERIFY2(checked > 0, "the corpus holds no files");
    QVERIFY2(wrong.isEmpty(), qPrintable(u"%1 of %2 scripts changed, first %3"_s.arg(wrong.size())
                                             .arg(checked)
                                             .arg(wrong.value(0))));
    QVERIFY(h.messageBox.asked.isEmpty());
    qInfo("%d scripts checked", checked);
}

QTEST_MAIN(CorpusTest)
#include "tst_corpus.moc"
