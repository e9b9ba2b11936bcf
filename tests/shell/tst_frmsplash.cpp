#include "shell/Form1.h"
#include "shell/FrmSplash.h"
#include "shell/Program.h"
#include "shell/Version.h"
#include "support/FakeServices.h"

#include <QLabel>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFrmSplash : public QObject {
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
    QPointer<FrmSplash> splash;
};

void TestFrmSplash::init()
{
    program = std::make_unique<Program>([] { return FakeServices().take(); });
    splash = new FrmSplash;
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash.data()));
}

void TestFrmSplash::cleanup()
{
    delete splash;
    program.reset();
}

void TestFrmSplash::click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void TestFrmSplash::loadCreatesTheMainWindowWithoutLoadingIt()
{
    Form1* main = Program::existingForm1();
    QVERIFY(main);
    QVERIFY(!main->isLoaded());
    QVERIFY(!main->isVisible());
    QCOMPARE(splash->TickCount(), 0);
    QVERIFY(splash->Timer1().isActive());
    QCOMPARE(splash->Timer1().interval(), 1000);
}

void TestFrmSplash::showsCaptionVersionAndPicture()
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

void TestFrmSplash::versionIsWrittenAsPlainNumbers_data()
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

void TestFrmSplash::versionIsWrittenAsPlainNumbers()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(int, revision);
    QFETCH(QString, text);
    QCOMPARE(versionText({major, minor, revision}), text);
}

void TestFrmSplash::ticksHandOverToTheMainWindow()
{
    Form1* main = Program::existingForm1();
    splash->Timer1_Timer();
    QCOMPARE(splash->TickCount(), 1);
    QVERIFY(main->isLoaded());
    QVERIFY(main->isVisible());
    QVERIFY(!main->isEnabled());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->Timer1().isActive());
    QCOMPARE(splash->Timer1().interval(), 3000);

    splash->Timer1_Timer();
    QVERIFY(main->isEnabled());
    QVERIFY(main->isVisible());
    QTRY_VERIFY(splash.isNull());
}

void TestFrmSplash::clickBeforeTheFirstTickOnlyLoadsTheMainWindow()
{
    Form1* main = Program::existingForm1();
    click(splash, QPoint(3, 3));
    QVERIFY(main->isLoaded());
    QVERIFY(!main->isVisible());
    QVERIFY(splash->isVisible());
    QVERIFY(splash->Timer1().isActive());

    splash->Timer1_Timer();
    QVERIFY(main->isVisible());
    QVERIFY(!main->isEnabled());
}

void TestFrmSplash::clickWhileTheMainWindowIsVisibleHandsOverAtOnce()
{
    Form1* main = Program::existingForm1();
    splash->Timer1_Timer();
    click(splash, QPoint(3, splash->height() - 3));
    QVERIFY(main->isEnabled());
    QVERIFY(main->isVisible());
    QVERIFY(!splash->Timer1().isActive());
    QTRY_VERIFY(splash.isNull());
}

void TestFrmSplash::clicksOnPictureOrLabelDoNothing()
{
    Form1* main = Program::existingForm1();
    splash->Timer1_Timer();
    click(splash->findChild<QLabel*>(u"Picture1"_s), QPoint(20, 20));
    click(splash->findChild<QLabel*>(u"Label1"_s), QPoint(20, 5));
    QCoreApplication::processEvents();
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    QVERIFY(!main->isEnabled());
}

void TestFrmSplash::closingTheSplashEarlyStillLeavesAUsableMainWindow()
{
    Form1* main = Program::existingForm1();
    splash->close();
    QVERIFY(main->isVisible());
    QVERIFY(main->isEnabled());
    QTRY_VERIFY(splash.isNull());
}

QTEST_MAIN(TestFrmSplash)
#include "tst_frmsplash.moc"
