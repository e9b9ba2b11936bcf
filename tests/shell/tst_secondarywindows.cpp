#include "shell/MainWindow.h"
#include "support/FakeServices.h"
#include "support/TopLevelWindows.h"
#include "support/WebEngineProcesses.h"
#include "support/WebEngineTestMain.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's items that show a window of their own: Find, Triggers
// Explained and About.
namespace {

constexpr int LoadTimeout = 30000;

} // namespace

class TestSecondaryWindows : public QObject {
    Q_OBJECT

private slots:
    // Runs first, before any help window has started the web engine.
    void webEngineStartsWithTheFirstHelpWindow();
    void itemKeepsOneModelessWindowUntilClosed_data();
    void itemKeepsOneModelessWindowUntilClosed();
    void windowsCloseWithTheMainWindow();
};

void TestSecondaryWindows::webEngineStartsWithTheFirstHelpWindow()
{
    MainWindow window(FakeServices().take());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(webEngineProcesses(), 0);

    window.menuItem(u"TExplain")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(webEngineProcesses() > 0, LoadTimeout);
}

void TestSecondaryWindows::itemKeepsOneModelessWindowUntilClosed_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::newRow("Find") << u"Find"_s << u"Form3"_s;
    QTest::newRow("Triggers Explained") << u"TExplain"_s << u"Form4"_s;
    QTest::newRow("About") << u"mnuHelpAbt"_s << u"Form2"_s;
}

void TestSecondaryWindows::itemKeepsOneModelessWindowUntilClosed()
{
    QFETCH(QString, item);
    QFETCH(QString, window);
    MainWindow mainWindow(FakeServices().take());

    mainWindow.menuItem(item)->trigger();
    QCOMPARE(windowsNamed(window).size(), 1);
    QPointer<QWidget> first = windowsNamed(window).constFirst();
    QVERIFY(first->isVisible());
    QCOMPARE(first->parentWidget(), nullptr);
    QVERIFY(!first->isModal());

    mainWindow.menuItem(item)->trigger();
    QCOMPARE(windowsNamed(window), QList<QWidget*>{first.data()});

    first->close();
    destroyClosedWindows();
    QVERIFY(!first);
    mainWindow.menuItem(item)->trigger();
    QCOMPARE(windowsNamed(window).size(), 1);
}

void TestSecondaryWindows::windowsCloseWithTheMainWindow()
{
    auto mainWindow = std::make_unique<MainWindow>(FakeServices().take());
    QList<QPointer<QWidget>> shown;
    for (const auto& [item, window] : {std::pair{u"Find"_s, u"Form3"_s},
                                       {u"TExplain"_s, u"Form4"_s},
                                       {u"mnuHelpAbt"_s, u"Form2"_s}}) {
        mainWindow->menuItem(item)->trigger();
        QCOMPARE(windowsNamed(window).size(), 1);
        shown << windowsNamed(window).constFirst();
    }

    mainWindow.reset();

    for (const QPointer<QWidget>& window : shown)
        QVERIFY(!window);
}

VEXLON_WEB_ENGINE_TEST_MAIN(TestSecondaryWindows)

#include "tst_secondarywindows.moc"
