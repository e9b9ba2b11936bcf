#include "platform/SingleWindow.h"
#include "support/TopLevelWindows.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A secondary window that counts how often one is made.
class Probe : public QWidget {
public:
    explicit Probe(QString caption)
    {
        ++made;
        setWindowTitle(caption);
    }
    static inline int made = 0;
};

} // namespace

class TestSingleWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstCallMakesAnOwnerlessWindowAndShowsIt();
    void laterCallsBringTheSameWindowBack();
    void closingDestroysTheWindowAndTheNextCallMakesAFreshOne();

private:
    QPointer<Probe> slot_;
};

void TestSingleWindow::init() { Probe::made = 0; }

void TestSingleWindow::cleanup() { delete slot_; }

void TestSingleWindow::firstCallMakesAnOwnerlessWindowAndShowsIt()
{
    Probe& shown = showSingleWindow(slot_, u"first"_s);

    QCOMPARE(slot_.data(), &shown);
    QCOMPARE(Probe::made, 1);
    QCOMPARE(shown.windowTitle(), u"first"_s);
    QVERIFY(shown.isVisible());
    QVERIFY(shown.isWindow());
    QCOMPARE(shown.parentWidget(), nullptr);
    QVERIFY(!shown.isModal());
    QVERIFY(QTest::qWaitForWindowActive(&shown));
}

// Hidden, as if it had fallen behind the main window, or still on screen:
// the window comes back as it was, and no second one is made.
void TestSingleWindow::laterCallsBringTheSameWindowBack()
{
    Probe& first = showSingleWindow(slot_, u"first"_s);
    first.hide();

    Probe& again = showSingleWindow(slot_, u"second"_s);
    QCOMPARE(&again, &first);
    QVERIFY(again.isVisible());
    QCOMPARE(again.windowTitle(), u"first"_s);
    QCOMPARE(&showSingleWindow(slot_, u"third"_s), &first);
    QCOMPARE(Probe::made, 1);
}

void TestSingleWindow::closingDestroysTheWindowAndTheNextCallMakesAFreshOne()
{
    QPointer<Probe> first = &showSingleWindow(slot_, u"first"_s);

    QVERIFY(first->close());
    destroyClosedWindows();
    QVERIFY(first.isNull());
    QVERIFY(slot_.isNull());

    Probe& fresh = showSingleWindow(slot_, u"second"_s);
    QCOMPARE(Probe::made, 2);
    QCOMPARE(fresh.windowTitle(), u"second"_s);
    QVERIFY(fresh.isVisible());
}

QTEST_MAIN(TestSingleWindow)
#include "tst_singlewindow.moc"
