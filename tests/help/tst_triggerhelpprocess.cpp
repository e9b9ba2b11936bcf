#include "help/TriggerHelpProcess.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using State = TriggerHelpProcess::State;

constexpr int StartTimeout = 10000;
// The real program starts the browser engine before it shows its window.
constexpr int BrowserStartTimeout = 60000;

bool processExists(qint64 pid) { return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH; }

// "pid (name) state ppid ...": the pids of the processes whose parent is
// parent and whose name starts with name.
QList<qint64> childProcesses(qint64 parent, const QByteArray& name)
{
    QList<qint64> children;
    for (const QString& pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(u"/proc/"_s + pid + u"/stat"_s);
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QByteArray shownName = line.mid(line.indexOf('(') + 1);
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.value(1).toLongLong() == parent && shownName.startsWith(name))
            children << pid.toLongLong();
    }
    return children;
}

} // namespace

class TestTriggerHelpProcess : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsTheProgramBesideTheEditor();
    void looksInTheFoldersInOrder_data();
    void looksInTheFoldersInOrder();
    void showAgainRaisesTheRunningWindow();
    void closedWindowIsStartedAgain();
    void programThatCannotShowIsReported_data();
    void programThatCannotShowIsReported();
    void programEndsWithTheEditor_data();
    void programEndsWithTheEditor();
    void realHelpBrowserShowsAndEndsWithTheEditor();

private:
    // The lines the stand-in wrote, and those starting with prefix.
    QList<QByteArray> logLines() const;
    QList<QByteArray> logLines(const QByteArray& prefix) const;
    qint64 standInPid() const;
    // A folder in the scratch folder, made empty.
    QString folder(const QString& name) const;

    std::unique_ptr<QTemporaryDir> scratch_;
    FakeMessageBox messageBox_;
};

void TestTriggerHelpProcess::init()
{
    scratch_ = std::make_unique<QTemporaryDir>();
    QVERIFY(scratch_->isValid());
    qputenv("VEXLON_STAND_IN_LOG", scratch_->filePath(u"log"_s).toLocal8Bit());
    qunsetenv("VEXLON_STAND_IN_MODE");
    messageBox_ = FakeMessageBox();
}

void TestTriggerHelpProcess::cleanup() { scratch_.reset(); }

QList<QByteArray> TestTriggerHelpProcess::logLines() const
{
    QFile log(scratch_->filePath(u"log"_s));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = log.readAll().split('\n');
    lines.removeLast();
    return lines;
}

QList<QByteArray> TestTriggerHelpProcess::logLines(const QByteArray& prefix) const
{
    QList<QByteArray> lines = logLines();
    lines.removeIf([&](const QByteArray& line) { return !line.startsWith(prefix); });
    return lines;
}

qint64 TestTriggerHelpProcess::standInPid() const
{
    return logLines("pid ").value(0).mid(4).toLongLong();
}

QString TestTriggerHelpProcess::folder(const QString& name) const
{
    const QString path = scratch_->filePath(name);
    QDir().mkpath(path);
    return path;
}

// With no folders given, the program beside the running one (here the test
// and the stand-in built beside it) is the one started, taking requests on
// its input.
void TestTriggerHelpProcess::startsTheProgramBesideTheEditor()
{
    TriggerHelpProcess help(messageBox_);
    QCOMPARE(help.state(), State::Closed);
    QVERIFY(logLines().isEmpty());

    help.show();

    QTRY_COMPARE_WITH_TIMEOUT(help.state(), State::Showing, StartTimeout);
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(u"vexlon-help"_s);
    QCOMPARE(logLines("started"),
             QList<QByteArray>{"started " + beside.toLocal8Bit() + " --follow-stdin"});
    QVERIFY(messageBox_.asked.isEmpty());
}

void TestTriggerHelpProcess::looksInTheFoldersInOrder_data()
{
    QTest::addColumn<bool>("inFirst");
    QTest::addColumn<bool>("inSecond");
    QTest::addColumn<int>("startedFrom");
    QTest::newRow("in both: the first") << true << true << 0;
    QTest::newRow("in the second only") << false << true << 1;
    QTest::newRow("in the first only") << true << false << 0;
}

void TestTriggerHelpProcess::looksInTheFoldersInOrder()
{
    QFETCH(bool, inFirst);
    QFETCH(bool, inSecond);
    QFETCH(int, startedFrom);
    const QString standIn = QDir(QCoreApplication::applicationDirPath()).filePath(u"vexlon-help"_s);
    const QStringList folders{folder(u"beside"_s), folder(u"installed"_s)};
    for (int i : {0, 1}) {
        if (i == 0 ? inFirst : inSecond)
            QVERIFY(QFile::link(standIn, QDir(folders[i]).filePath(u"vexlon-help"_s)));
    }
    TriggerHelpProcess help(messageBox_, folders);

    help.show();

    QTRY_COMPARE_WITH_TIMEOUT(help.state(), State::Showing, StartTimeout);
    const QString expected = QDir(folders[startedFrom]).filePath(u"vexlon-help"_s);
    QCOMPARE(logLines("started"),
             QList<QByteArray>{"started " + expected.toLocal8Bit() + " --follow-stdin"});
}

// One program at a time: while it runs, the command asks it for its window.
void TestTriggerHelpProcess::showAgainRaisesTheRunningWindow()
{
    TriggerHelpProcess help(messageBox_);
    help.show();
    QTRY_COMPARE_WITH_TIMEOUT(help.state(), State::Showing, StartTimeout);

    help.show();
    QTRY_COMPARE(logLines("read").size(), 1);
    help.show();
    QTRY_COMPARE(logLines("read").size(), 2);

    QCOMPARE(logLines("started").size(), 1);
    QCOMPARE(logLines("read"), (QList<QByteArray>{"read raise", "read raise"}));
    QCOMPARE(help.state(), State::Showing);
}

void TestTriggerHelpProcess::closedWindowIsStartedAgain()
{
    qputenv("VEXLON_STAND_IN_MODE", "close");
    TriggerHelpProcess help(messageBox_);
    help.show();
    QTRY_COMPARE_WITH_TIMEOUT(help.state(), State::Closed, StartTimeout);

    help.show();
    QTRY_COMPARE_WITH_TIMEOUT(logLines("started").size(), 2, StartTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(help.state(), State::Closed, StartTimeout);
    QVERIFY(messageBox_.asked.isEmpty());
}

void TestTriggerHelpProcess::programThatCannotShowIsReported_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("says");
    QTest::newRow("missing") << u"nothing"_s << QByteArray() << u"is not in"_s;
    QTest::newRow("not executable")
        << u"not executable"_s << QByteArray() << u"could not be started"_s;
    QTest::newRow("ends at once") << u"stand-in"_s << QByteArray("fail")
                                  << u"ended before its window opened (exit status 3)"_s;
    QTest::newRow("crashes at once")
        << u"stand-in"_s << QByteArray("crash") << u"ended before its window opened (it crashed)"_s;
}

// The command says so and the editor goes on; the next command tries again.
void TestTriggerHelpProcess::programThatCannotShowIsReported()
{
    QFETCH(QString, found);
    QFETCH(QByteArray, mode);
    QFETCH(QString, says);
    const QStringList folders{folder(u"beside"_s), folder(u"installed"_s)};
    const QString program = QDir(folders[1]).filePath(u"vexlon-help"_s);
    if (found == u"not executable") {
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    } else if (found == u"stand-in") {
        const QString standIn =
            QDir(QCoreApplication::applicationDirPath()).filePath(u"vexlon-help"_s);
        QVERIFY(QFile::link(standIn, program));
    }
    if (!mode.isEmpty())
        qputenv("VEXLON_STAND_IN_MODE", mode);
    messageBox_.answers = {MessageBox::Answer::Ok, MessageBox::Answer::Ok};
    TriggerHelpProcess help(messageBox_, folders);

    for (int attempt = 1; attempt <= 2; ++attempt) {
        help.show();
        QTRY_COMPARE_WITH_TIMEOUT(messageBox_.asked.size(), attempt, StartTimeout);
        QCOMPARE(help.state(), State::Closed);
    }

    const FakeMessageBox::Asked& asked = messageBox_.asked[0];
    QVERIFY2(asked.prompt.startsWith(u"The trigger help cannot be shown: "_s),
             qPrintable(asked.prompt));
    QVERIFY2(asked.prompt.contains(says), qPrintable(asked.prompt));
    if (found == u"nothing") {
        QVERIFY2(asked.prompt.contains(u"vexlon-help"_s), qPrintable(asked.prompt));
        for (const QString& where : folders)
            QVERIFY2(asked.prompt.contains(where), qPrintable(asked.prompt));
    } else {
        QVERIFY2(asked.prompt.contains(program), qPrintable(asked.prompt));
    }
    QCOMPARE(asked.title, u"VX Triggers Explained..."_s);
    QCOMPARE(asked.buttons, MessageBox::Buttons::Ok);
    QCOMPARE(messageBox_.asked[1].prompt, asked.prompt);
}

void TestTriggerHelpProcess::programEndsWithTheEditor_data()
{
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("endsByItself");
    QTest::newRow("ends when its input closes") << QByteArray() << true;
    QTest::newRow("ignores its input closing") << QByteArray("stubborn") << false;
}

// No help window outlives the editor, and the editor does not hang on one
// that will not end.
void TestTriggerHelpProcess::programEndsWithTheEditor()
{
    QFETCH(QByteArray, mode);
    QFETCH(bool, endsByItself);
    if (!mode.isEmpty())
        qputenv("VEXLON_STAND_IN_MODE", mode);
    auto help = std::make_unique<TriggerHelpProcess>(messageBox_);
    help->show();
    QTRY_COMPARE_WITH_TIMEOUT(help->state(), State::Showing, StartTimeout);
    const qint64 pid = standInPid();
    QVERIFY(pid > 0);
    QVERIFY(processExists(pid));

    QElapsedTimer ending;
    ending.start();
    help.reset();

    QVERIFY(!processExists(pid));
    QVERIFY(logLines().contains("input closed"));
    QVERIFY2(ending.elapsed() < (endsByItself ? 2000 : 8000),
             qPrintable(QString::number(ending.elapsed())));
}

// The real program, started as the editor starts it: it shows its window and
// raises it without starting another, and ends with the editor, its browser
// engine's processes too.
void TestTriggerHelpProcess::realHelpBrowserShowsAndEndsWithTheEditor()
{
    auto help = std::make_unique<TriggerHelpProcess>(
        messageBox_, QStringList{QStringLiteral(VEXLON_HELP_BROWSER_FOLDER)});
    help->show();
    QTRY_COMPARE_WITH_TIMEOUT(help->state(), State::Showing, BrowserStartTimeout);
    const QList<qint64> programs =
        childProcesses(QCoreApplication::applicationPid(), "vexlon-help");
    QCOMPARE(programs.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!childProcesses(programs[0], "QtWebEngine").isEmpty(),
                             BrowserStartTimeout);
    const QList<qint64> engine = childProcesses(programs[0], "QtWebEngine");

    help->show();
    QTest::qWait(200);
    QCOMPARE(help->state(), State::Showing);
    QCOMPARE(childProcesses(QCoreApplication::applicationPid(), "vexlon-help"), programs);

    help.reset();
    QVERIFY(!processExists(programs[0]));
    for (qint64 pid : engine)
        QTRY_VERIFY_WITH_TIMEOUT(!processExists(pid), StartTimeout);
    QVERIFY(messageBox_.asked.isEmpty());
}

QTEST_MAIN(TestTriggerHelpProcess)

#include "tst_triggerhelpprocess.moc"
