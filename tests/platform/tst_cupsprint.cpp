#include "platform/QtPrinter.h"

#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString queue = u"VexlonTestPdf"_s;

// Where the cups-pdf backend writes a job: the PDF folder in the home of the
// user who printed, as the password database has it, or its folder for
// users it cannot place.
QList<QDir> pdfFolders()
{
    // cups-pdf names its files after the job, which carries the program's name.
    const QString pattern = u"*Vexlon*Script*Editor*.pdf"_s;
    QList<QDir> folders{QDir(u"/var/spool/cups-pdf/ANONYMOUS"_s, pattern)};
    if (const passwd* user = ::getpwuid(::geteuid()))
        folders.prepend(QDir(QFile::decodeName(user->pw_dir) + u"/PDF"_s, pattern));
    return folders;
}

// Each PDF file there, with when it was last written. cups-pdf names a file
// after the job's title and number, and this test's print server numbers its
// jobs from 1 on every run: a job can overwrite the file of an earlier run.
QHash<QString, QDateTime> pdfFiles()
{
    QHash<QString, QDateTime> files;
    for (QDir folder : pdfFolders()) {
        folder.refresh();
        for (const QFileInfo& file : folder.entryInfoList(QDir::Files))
            files.insert(file.filePath(), file.lastModified());
    }
    return files;
}

} // namespace

// Prints through a real CUPS queue: a print server of the test's own, on a
// socket in a temporary folder, with one queue that turns each job into a PDF
// file. The test's own home folder and printer variables keep the user's
// printer choices (~/.cups/lpoptions, LPDEST, PRINTER) out of it.
class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void documentReachesTheDefaultQueue();

private:
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir home_;
    QTemporaryDir server_;
    QProcess cupsd_;
    QString socket_;
};

bool TestCupsPrint::run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"CUPS_SERVER"_s, socket_);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    return process.waitForFinished(20000) && process.exitStatus() == QProcess::NormalExit
           && process.exitCode() == 0;
}

void TestCupsPrint::initTestCase()
{
    // Before anything of CUPS reads them.
    QVERIFY(home_.isValid());
    qputenv("HOME", QFile::encodeName(home_.path()));
    qputenv("LPDEST", queue.toUtf8());
    qputenv("PRINTER", queue.toUtf8());
    if (::geteuid() != 0)
        QSKIP("the PDF queue's backend runs only for a print server started as root");
    const QString cupsd = QStandardPaths::findExecutable(u"cupsd"_s, {u"/usr/sbin"_s});
    const QString lpadmin = QStandardPaths::findExecutable(u"lpadmin"_s, {u"/usr/sbin"_s});
    const QString ppd = u"/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"_s;
    if (cupsd.isEmpty() || lpadmin.isEmpty() || !QFile::exists(ppd)
        || !QFile::exists(u"/usr/lib/cups/backend/cups-pdf"_s))
        QSKIP("cups and printer-driver-cups-pdf are not installed");

    QVERIFY(server_.isValid());
    // The server's helpers run as another user and must reach the spool.
    QFile::setPermissions(server_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                              | QFile::ReadOther | QFile::ExeOther
                                              | QFile::ReadGroup | QFile::ExeGroup);
    const QDir root(server_.path());
    for (const char* folder : {"conf", "spool/tmp", "cache", "state", "log"})
        QVERIFY(root.mkpath(QString::fromLatin1(folder)));
    socket_ = server_.filePath(u"cups.sock"_s);

    QFile conf(server_.filePath(u"conf/cupsd.conf"_s));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write("Listen " + socket_.toUtf8()
               + "\nLogLevel warn\nWebInterface No\nBrowsing No\n"
                 "DefaultAuthType None\n<Location />\nOrder allow,deny\nAllow all\n</Location>\n");
    conf.close();
    QFile files(server_.filePath(u"conf/cups-files.conf"_s));
    QVERIFY(files.open(QIODevice::WriteOnly));
    const QByteArray base = server_.path().toUtf8();
    files.write("ServerRoot " + base + "/conf\nRequestRoot " + base + "/spool\nTempDir " + base
                + "/spool/tmp\nCacheDir " + base + "/cache\nStateDir " + base + "/state\nErrorLog "
                + base + "/log/error_log\nAccessLog " + base + "/log/access_log\nPageLog " + base
                + "/log/page_log\nSystemGroup root\n");
    files.close();

    cupsd_.start(cupsd, {u"-f"_s, u"-c"_s, conf.fileName(), u"-s"_s, files.fileName()});
    QVERIFY(cupsd_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket_), 10000);
    QVERIFY(run(lpadmin, {u"-p"_s, queue, u"-E"_s, u"-v"_s, u"cups-pdf:/"_s, u"-P"_s, ppd,
                          // Converted with poppler's cairo renderer, the
                          // text stays readable in the queue's PDF file.
                          u"-o"_s, u"pdftops-renderer-default=pdftocairo"_s}));
    QVERIFY(run(lpadmin, {u"-d"_s, queue}));
    // Qt's print support asks the server named here; this must come before its first use.
    qputenv("CUPS_SERVER", socket_.toUtf8());
}

void TestCupsPrint::cleanupTestCase()
{
    if (cupsd_.state() != QProcess::NotRunning) {
        cupsd_.terminate();
        if (!cupsd_.waitForFinished(10000))
            cupsd_.kill();
    }
}

void TestCupsPrint::documentReachesTheDefaultQueue()
{
    QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), queue);
    const QHash<QString, QDateTime> before = pdfFiles();
    QStringList made;
    const auto removeMade = qScopeGuard([&made] {
        for (const QString& pdf : std::as_const(made))
            QFile::remove(pdf);
    });

    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << u"ONTRIGGER=HEAR line %1"_s.arg(i);
    const FontChoice font{u"DejaVu Sans"_s, 12, true, false, false, false, QColor(Qt::black)};
    QVERIFY(QtPrinter().printDocument(font, lines.join(u"\r\n"_s)));

    // A file is new when it was not there before, or has been written since.
    const auto findMade = [&] {
        made.clear();
        const QHash<QString, QDateTime> now = pdfFiles();
        for (auto pdf = now.cbegin(); pdf != now.cend(); ++pdf) {
            if (before.value(pdf.key()) != pdf.value())
                made << pdf.key();
        }
        return !made.isEmpty() && QFileInfo(made.first()).size() > 0;
    };
    QTRY_VERIFY_WITH_TIMEOUT(findMade(), 30000);
    QCOMPARE(made.size(), 1);
    const QString pdf = made.first();
    // The backend may still be writing: wait until pdftotext reads it whole.
    QString text;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QProcess pdftotext;
            pdftotext.start(u"pdftotext"_s, {pdf, u"-"_s});
            pdftotext.waitForFinished(20000);
            text = QString::fromUtf8(pdftotext.readAllStandardOutput());
            return text.contains(lines.last());
        }(),
        15000);
    for (const QString& line : lines)
        QVERIFY2(text.contains(line), qPrintable(text));
    QProcess pdffonts;
    pdffonts.start(u"pdffonts"_s, {pdf});
    QVERIFY(pdffonts.waitForFinished(20000));
    const QString fonts = QString::fromUtf8(pdffonts.readAllStandardOutput());
    QVERIFY2(fonts.contains(u"+DejaVuSans-Bold"_s), qPrintable(fonts));
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
