#include "platform/WindowProgramEnvironment.h"

#include <QGuiApplication>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWindowProgramEnvironment : public QObject {
    Q_OBJECT

private slots:
    void namesThePlatformThisProgramRunsOn();
};

// Here the platform came from the environment; with it gone (as when
// -platform chose it), a started program is still told which one it is, and
// gets the rest of the environment as it is.
void TestWindowProgramEnvironment::namesThePlatformThisProgramRunsOn()
{
    QCOMPARE(QGuiApplication::platformName(), u"offscreen"_s);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const auto restore = qScopeGuard([&] {
        qputenv("QT_QPA_PLATFORM", platform);
        qunsetenv("VEXLON_PASSED_ON");
    });
    qunsetenv("QT_QPA_PLATFORM");
    qputenv("VEXLON_PASSED_ON", "yes");

    const QProcessEnvironment environment = windowProgramEnvironment();

    QCOMPARE(environment.value(u"QT_QPA_PLATFORM"_s), u"offscreen"_s);
    QCOMPARE(environment.value(u"VEXLON_PASSED_ON"_s), u"yes"_s);
    QCOMPARE(environment.contains(u"DISPLAY"_s), qEnvironmentVariableIsSet("DISPLAY"));
}

QTEST_MAIN(TestWindowProgramEnvironment)

#include "tst_windowprogramenvironment.moc"
