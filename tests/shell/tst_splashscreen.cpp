#include "shell/MainWindow.h"
#include "shell/Program.h"
#include "shell/SplashScreen.h"
#include "shell/Version.h"
#include "support/FakeServices.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSplashScreen : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void loadCreatesTheMainWindowWithoutLoadingIt();
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

    std::unique_ptr<Program> program;
    QPointer<SplashScreen> splash;
};

void TestSplashScreen::init()
{
    program = std::make_unique<Program>([] { return FakeServices().take(); });
    splash = new SplashScreen;
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash.data()));
}

void TestSplashScreen::cleanup()
{
    delete splash;
    program.reset();
}

void TestSplashScreen::click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void TestSplashScreen::loadCreatesTheMainWindowWithoutLoadingIt()
{
    MainWindow* main = Program::existingMainWindow();
    QVERIFY(main);
    QVERIFY(!main->isLoaded());
    QVERIFY(!main->isVisible());
    QCOMPARE(splash->tickCount(), 0);
    QVERIFY(splash->timer().isActive());
    QCOMPARE(splash->timer().interval(), 1000);
}

void TestSplashScreen::showsCaptionVersionAndPicture()
{
    QCOMPARE(splash->windowTitle(), u"         Vexlon Script Editor Loading..."_s);
    QCOMPARE(splash->windowTitle().size(), 40);
    QVERIFY(splash->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // A tool window keeps out of the taskbar.
    QCOMPARE(splash->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    QCOMPARE(splash->size(), QSize(224, 199));

    auto* label = splash->findChild<QLabel*>(u"Label1"_s);
    QVERIFY(label);
    QCOMPARE(label->text(), u"   Vexlon Scriptor Version - 1.0.1"_s);
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
                             << programVersion.revision << u"1.0.1"_s;
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
    MainWindow* main = Program::existingMainWindow();
    splash->onTick();
    QCOMPARE(splash->tickCount(), 1);
    QVERIFY(main->isLoaded());
    QVERIFY(main->isVisible());
    QVERIFY(!main->isEnabled());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->timer().isActive());
    QCOMPARE(splash->timer().interval(), 3000);

    splash->onTick();
    QVERIFY(main->isEnabled());
    QVERIFY(main->isVisible());
    QTRY_VERIFY(splash.isNull());
}

void TestSplashScreen::clickBeforeTheFirstTickOnlyLoadsTheMainWindow()
{
    MainWindow* main = Program::existingMainWindow();
    click(splash, QPoint(3, 3));
    QVERIFY(main->isLoaded());
    QVERIFY(!main->isVisible());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->timer().isActive());

    splash->onTick();
    QVERIFY(main->isVisible());
    QVERIFY(!main->isEnabled());
}

void TestSplashScreen::clickWhileTheMainWindowIsVisibleHandsOverAtOnce()
{
    MainWindow* main = Program::existingMainWindow();
    splash->onTick();
    click(splash, QPoint(3, splash->height() - 3));
    QVERIFY(main->isEnabled());
    QVERIFY(main->isVisible());
    QVERIFY(!splash->timer().isActive());
    QTRY_VERIFY(splash.isNull());
}

void TestSplashScreen::clicksOnPictureOrLabelDoNothing()
{
    MainWindow* main = Program::existingMainWindow();
    splash->onTick();
    click(splash->findChild<QLabel*>(u"Picture1"_s), QPoint(20, 20));
    click(splash->findChild<QLabel*>(u"Label1"_s), QPoint(20, 5));
    QCoreApplication::processEvents();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(!main->isEnabled());
}

void TestSplashScreen::closingTheSplashEarlyStillLeavesAUsableMainWindow()
{
    MainWindow* main = Program::existingMainWindow();
    splash->close();
    QVERIFY(main->isVisible());
    QVERIFY(main->isEnabled());
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(TestSplashScreen)
#include "tst_splashscreen.moc"
