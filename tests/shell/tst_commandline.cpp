#include "shell/CommandLine.h"

#include "platform/FileName.h"

#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void readsWhatToDo_data();
    void readsWhatToDo();
    void namesAreTheBytesGiven_data();
    void namesAreTheBytesGiven();
};

void TestCommandLine::readsWhatToDo_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode"); // -1: the program runs
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("nothing") << QStringList{} << -1 << u""_s << u""_s << u""_s;
    QTest::newRow("relative file, from the working folder")
        << QStringList{u"scripts/npc.scp"_s} << -1 << u"/home/admin/scripts/npc.scp"_s << u""_s
        << u""_s;
    QTest::newRow("absolute file") << QStringList{u"/srv/world/../world/a.vls"_s} << -1
                                   << u"/srv/world/a.vls"_s << u""_s << u""_s;
    QTest::newRow("more files: the first, and a note")
        << QStringList{u"a.scp"_s, u"b.scp"_s, u"c d.scp"_s} << -1 << u"/home/admin/a.scp"_s
        << u""_s << u"vexlon: opening only \"a.scp\"; ignored: \"b.scp\", \"c d.scp\"\n"_s;
    QTest::newRow("a file named like an option, after --")
        << QStringList{u"--"_s, u"--odd.scp"_s} << -1 << u"/home/admin/--odd.scp"_s << u""_s
        << u""_s;
    const QString version = u"vexlon "_s + QStringLiteral(VEXLON_PROJECT_VERSION) + u"\n"_s;
    QTest::newRow("version") << QStringList{u"--version"_s} << 0 << u""_s << version << u""_s;
    QTest::newRow("version before a file")
        << QStringList{u"-v"_s, u"a.scp"_s} << 0 << u""_s << version << u""_s;
    // Qt's standard options, which QApplication takes for itself.
    QTest::newRow("Qt's display, then a file") << QStringList{u"-display"_s, u":1"_s, u"x.scp"_s}
                                               << -1 << u"/home/admin/x.scp"_s << u""_s << u""_s;
    QTest::newRow("Qt's platform alone")
        << QStringList{u"-platform"_s, u"offscreen"_s} << -1 << u""_s << u""_s << u""_s;
    QTest::newRow("Qt's options in their other forms")
        << QStringList{u"--style=fusion"_s, u"-reverse"_s, u"a.scp"_s, u"-qwindowgeometry"_s,
                       u"640x480+0+0"_s}
        << -1 << u"/home/admin/a.scp"_s << u""_s << u""_s;
    QTest::newRow("version after a Qt option")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--version"_s} << 0 << u""_s << version
        << u""_s;
    QTest::newRow("unknown option") << QStringList{u"--bogus"_s, u"a.scp"_s} << 1 << u""_s << u""_s
                                    << u"vexlon: Unknown option 'bogus'.\nTry 'vexlon --help'.\n"_s;
}

void TestCommandLine::readsWhatToDo()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, file);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QString printed;
    QString errors;
    QTextStream outStream(&printed);
    QTextStream errStream(&errors);

    const CommandLine line = parseCommandLine(QStringList{u"/usr/bin/vexlon"_s} + arguments,
                                              u"/home/admin"_s, outStream, errStream);

    QCOMPARE(line.exitCode.value_or(-1), exitCode);
    QCOMPARE(line.file, file);
    QCOMPARE(printed, out);
    QCOMPARE(errors, err);
}

// Names that are not UTF-8 (here Latin-1) come through as the same bytes.
void TestCommandLine::namesAreTheBytesGiven_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::newRow("UTF-8") << "caf\xC3\xA9.scp"_ba;
    QTest::newRow("Latin-1") << "caf\xE9.scp"_ba;
    QTest::newRow("Latin-1 folder and name") << "/srv/d\xE9p\xF4t/\xE9t\xE9.scp"_ba;
}

void TestCommandLine::namesAreTheBytesGiven()
{
    QFETCH(QByteArray, name);
    const char* argv[] = {"vexlon", name.constData()};
    QString printed;
    QTextStream stream(&printed);

    const CommandLine line =
        parseCommandLine(argumentsFrom(2, argv), u"/home/admin"_s, stream, stream);

    QVERIFY(!line.exitCode);
    const QByteArray expected = name.startsWith('/') ? name : "/home/admin/" + name;
    QCOMPARE(encodeFileName(line.file), expected);
    QCOMPARE(printed, u""_s);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
