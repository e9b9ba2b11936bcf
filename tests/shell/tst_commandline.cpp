#include "shell/CommandLine.h"

#include <QTextStream>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void readsWhatToDo_data();
    void readsWhatToDo();
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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
