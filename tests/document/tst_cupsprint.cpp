#include "platform/QtPrinter.h"

#include <QPrinterInfo>
#include <QtTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

// Prints through a real CUPS queue: a print server of the test's own, on a
// socket in a temporary folder, with one queue, set as default, that turns
// each job into a PDF file (the cups-pdf backend writes it to ~/PDF).
class TestCupsPrint : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void documentReachesTheDefaultQueue();

private:
    bool run(const QString& program, const QStringList& arguments);

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
    QVERIFY(
        run(lpadmin, {u"-p"_s, u"VexlonTestPdf"_s, u"-E"_s, u"-v"_s, u"cups-pdf:/"_s, u"-P"_s, ppd,
                      // Converted with poppler's cairo renderer, the
                      // text stays readable in the queue's PDF file.
                      u"-o"_s, u"pdftops-renderer-default=pdftocairo"_s}));
    QVERIFY(run(lpadmin, {u"-d"_s, u"VexlonTestPdf"_s}));
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
    QCOMPARE(QPrinterInfo::defaultPrinter().printerName(), u"VexlonTestPdf"_s);
    // cups-pdf names its files after the job, which carries the program's name.
    QDir output(QDir::home().filePath(u"PDF"_s), u"*Vexlon*Script*Editor*.pdf"_s);
    for (const QString& old : output.entryList(QDir::Files))
        output.remove(old);

    QStringList lines;
    for (int i = 1; i <= 5; ++i)
        lines << u"ONTRIGGER=HEAR line %1"_s.arg(i);
    const FontChoice font{u"DejaVu Sans"_s, 12, true, false, false, false, QColor(Qt::black)};
    QVERIFY(QtPrinter().printDocument(font, lines.join(u"\r\n"_s)));

    QString pdf;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            output.refresh();
            const QStringList found = output.entryList(QDir::Files);
            pdf = found.isEmpty() ? QString() : output.filePath(found.first());
            return !pdf.isEmpty() && QFileInfo(pdf).size() > 0;
        }(),
        30000);
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
    QFile::remove(pdf);
}

QTEST_MAIN(TestCupsPrint)
#include "tst_cupsprint.moc"
