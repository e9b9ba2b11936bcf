#include "shell/MainWindow.h"
#include "shell/MenuCommands.h"
#include "support/FakeServices.h"
#include "support/FakeTriggerHelp.h"
#include "support/TopLevelWindows.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's items that show a window of their own: Find and About
// in this process, Triggers Explained through the help browser program.
class TestSecondaryWindows : public QObject {
    Q_OBJECT

private slots:
    void itemKeepsOneModelessWindowUntilClosed_data();
    void itemKeepsOneModelessWindowUntilClosed();
    void triggersExplainedAsksTheHelpEachTime();
    void windowsCloseWithTheMainWindow();
};

void TestSecondaryWindows::itemKeepsOneModelessWindowUntilClosed_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::newRow("Find") << u"Find"_s << u"Form3"_s;
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

// Whether to start the help browser or raise its window is the help's own
// business: the item asks it each time, and no window of this process shows.
void TestSecondaryWindows::triggersExplainedAsksTheHelpEachTime()
{
    MainWindow mainWindow(FakeServices().take());
    const auto help = fakeTriggerHelp(mainWindow.commands());

    mainWindow.menuItem(u"TExplain")->trigger();
    mainWindow.menuItem(u"TExplain")->trigger();

    QCOMPARE(help->shows, 2);
    QVERIFY(windowsNamed(u"Form4"_s).isEmpty());
}

void TestSecondaryWindows::windowsCloseWithTheMainWindow()
{
    auto mainWindow = std::make_unique<MainWindow>(FakeServices().take());
    const auto help = fakeTriggerHelp(mainWindow->commands());
    QList<QPointer<QWidget>> shown;
    for (const auto& [item, window] :
         {std::pair{u"Find"_s, u"Form3"_s}, {u"mnuHelpAbt"_s, u"Form2"_s}}) {
        mainWindow->menuItem(item)->trigger();
        QCOMPARE(windowsNamed(window).size(), 1);
        shown << windowsNamed(window).constFirst();
    }
    mainWindow->menuItem(u"TExplain")->trigger();

    mainWindow.reset();

    for (const QPointer<QWidget>& window : shown)
        QVERIFY(!window);
    QVERIFY(help->destroyed);
}

QTEST_MAIN(TestSecondaryWindows)

#include "tst_secondarywindows.moc"
