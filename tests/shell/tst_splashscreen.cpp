#include "help/Version.h"
#include "shell/MainWindow.h"
#include "shell/SplashScreen.h"
#include "support/FakeServices.h"

#include <QClipboard>
#include <QLabel>
#include <QTest>

using namespace Qt::StringLiterals;

class TestSplashScreen : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsWithoutLoadingTheMainWindow();
    void handOverLeavesTheClipboardAlone();
    void showsCaptionVersionAndPicture();
    void versionIsWrittenAsPlainNumbers_data();
    void versionIsWrittenAsPlainNumbers();
    void ticksHandOverToTheMainWindow();
    void clickBeforeTheFirstTickOnlyLoadsTheMainWindow();
    void clickWhileTheMainWindowIsVisibleHandsOverAtOnce();
    void clicksOnPictureOrLabelDoNothing();
    void closingTheSplashEarlyStillLeavesAUsableMainWindow();

private:
    void click(QWidget* widget, QPoint at);

    std::unique_ptr<MainWindow> mainWindow;
    QPointer<SplashScreen> splash;
};

void TestSplashScreen::init()
{
    mainWindow = std::make_unique<MainWindow>(FakeServices().take());
    splash = new SplashScreen(*mainWindow);
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash.data()));
}

void TestSplashScreen::cleanup()
{
    delete splash;
    mainWindow.reset();
}

void TestSplashScreen::click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void TestSplashScreen::startsWithoutLoadingTheMainWindow()
{
    QVERIFY(!mainWindow->isLoaded());
    QVERIFY(!mainWindow->isVisible());
    QCOMPARE(splash->tickCount(), 0);
    QVERIFY(splash->timer().isActive());
    QCOMPARE(splash->timer().interval(), 1000);
}

// The main window's load step runs with the first tick, not when the window
// or the splash is made; neither it nor the hand-over touches the clipboard,
// which may hold what the user copied elsewhere to paste into the script.
void TestSplashScreen::handOverLeavesTheClipboardAlone()
{
    delete splash;
    mainWindow.reset();
    QGuiApplication::clipboard()->setText(u"from another program"_s);
    mainWindow = std::make_unique<MainWindow>(FakeServices().take());
    splash = new SplashScreen(*mainWindow);
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash.data()));
    QVERIFY(!mainWindow->isLoaded());

    splash->onTick();
    QVERIFY(mainWindow->isLoaded());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"from another program"_s);
    splash->onTick();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"from another program"_s);
}

void TestSplashScreen::showsCaptionVersionAndPicture()
{
    QCOMPARE(splash->windowTitle(), u"         Vexlon Script Editor Loading..."_s);
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // A tool window keeps out of the taskbar.
    QCOMPARE(splash->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(splash->size(), QSize(224, 199));

    auto* label = splash->findChild<QLabel*>(u"Label1"_s);
    QVERIFY(label);
    QCOMPARE(label->text(),
             u"   Vexlon Scriptor Version - "_s + QString::fromLatin1(VEXLON_PROJECT_VERSION));
    QCOMPARE(label->geometry(), QRect(12, 168, 202, 22));
    QVERIFY(label->font().bold());
    // The text fits the fixed label.
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());

    auto* picture = splash->findChild<QLabel*>(u"Picture1"_s);
    QVERIFY(picture);
    QCOMPARE(picture->geometry(), QRect(12, 9, 199, 151));
    QCOMPARE(picture->pixmap().size(), QSize(196, 148));
}

void TestSplashScreen::versionIsWrittenAsPlainNumbers_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<int>("revision");
    QTest::addColumn<QString>("text");
    QTest::newRow("program") << programVersion.major << programVersion.minor
                             << programVersion.revision
                             << QString::fromLatin1(VEXLON_PROJECT_VERSION);
    QTest::newRow("two digits") << 1 << 0 << 12 << u"1.0.12"_s;
    QTest::newRow("zeros") << 0 << 0 << 0 << u"0.0.0"_s;
}

void TestSplashScreen::versionIsWrittenAsPlainNumbers()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(versionText({major, minor, revision}), text);
}

void TestSplashScreen::ticksHandOverToTheMainWindow()
{
    splash->onTick();
    QCOMPARE(splash->tickCount(), 1);
    QVERIFY(mainWindow->isLoaded());
    QVERIFY(mainWindow->isVisible());
    QVERIFY(!mainWindow->isEnabled());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->timer().isActive());
    QCOMPARE(splash->timer().interval(), 3000);

    splash->onTick();
    QVERIFY(mainWindow->isEnabled());
    QVERIFY(mainWindow->isVisible());
    QTRY_VERIFY(splash.isNull());
}

void TestSplashScreen::clickBeforeTheFirstTickOnlyLoadsTheMainWindow()
{
    click(splash, QPoint(3, 3));
    QVERIFY(mainWindow->isLoaded());
    QVERIFY(!mainWindow->isVisible());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->timer().isActive());

    splash->onTick();
    QVERIFY(mainWindow->isVisible());
    QVERIFY(!mainWindow->isEnabled());
}

void TestSplashScreen::clickWhileTheMainWindowIsVisibleHandsOverAtOnce()
{
    splash->onTick();
    click(splash, QPoint(3, splash->height() - 3));
    QVERIFY(mainWindow->isEnabled());
    QVERIFY(mainWindow->isVisible());
    QVERIFY(!splash->timer().isActive());
    QTRY_VERIFY(splash.isNull());
}

void TestSplashScreen::clicksOnPictureOrLabelDoNothing()
{
    splash->onTick();
    click(splash->findChild<QLabel*>(u"Picture1"_s), QPoint(20, 20));
    click(splash->findChild<QLabel*>(u"Label1"_s), QPoint(20, 5));
    QCoreApplication::processEvents();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(!mainWindow->isEnabled());
}

void TestSplashScreen::closingTheSplashEarlyStillLeavesAUsableMainWindow()
{
    splash->close();
    QVERIFY(mainWindow->isVisible());
    QVERIFY(mainWindow->isEnabled());
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
