#include "help/AboutBox.h"
#include "help/ProductSite.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString projectVersion = QString::fromLatin1(VEXLON_PROJECT_VERSION);

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void firstLineShowsTheVersionInFull_data();
    void firstLineShowsTheVersionInFull();
    void aboutTextIsFourLinesEndingInTheProductSite();
    void opensInPlaceWithTheButtonFocused();
};

void TestAboutBox::firstLineShowsTheVersionInFull_data()
{
    QTest::addColumn<Version>("version");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("the program's own")
        << programVersion << u"Vexlon Script Editor - "_s + projectVersion;
    QTest::newRow("two-digit revision") << Version{1, 0, 12} << u"Vexlon Script Editor - 1.0.12"_s;
    QTest::newRow("several digits each")
        << Version{10, 200, 3000} << u"Vexlon Script Editor - 10.200.3000"_s;
    QTest::newRow("zeros") << Version{0, 0, 0} << u"Vexlon Script Editor - 0.0.0"_s;
}

void TestAboutBox::firstLineShowsTheVersionInFull()
{
    QFETCH(Version, version);
    QFETCH(QString, firstLine);
    QCOMPARE(AboutBox::aboutText(version).section(u"\r\n"_s, 0, 0), firstLine);
}

void TestAboutBox::aboutTextIsFourLinesEndingInTheProductSite()
{
    const QString text = AboutBox::aboutText(programVersion);
    const QStringList lines = text.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], u"A Trigger/Script Utility."_s);
    QVERIFY(lines[2].startsWith(u"Copyright"_s));
    QCOMPARE(lines[3], productWebHost.toString() + u"/vexlon"_s);
    // The host is reserved: it can never be somebody else's server.
    QVERIFY(QUrl(u"http://"_s + lines[3]).host().endsWith(u".example"_s));
    QCOMPARE(text.count(u'\n'), 3);

    // The label shows each part on a line of its own, with no CR left to draw.
    AboutBox window;
    QCOMPARE(window.textLabel->text().split(u'\n'), lines);
}

// The label cannot take the focus, so the button has it: Space closes the box.
void TestAboutBox::opensInPlaceWithTheButtonFocused()
{
    auto* window = new AboutBox;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<AboutBox> alive = window;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QVERIFY(!window->isModal());
    QCOMPARE(window->minimumSize(), window->maximumSize());
    // The button and every line of the text show whole; the banner runs
    // from beside the button to the box's edge, which clips it.
    QCOMPARE(window->banner->pixmap().size(), QSize(358, 28));
    QVERIFY(window->rect().contains(window->alrightButton->geometry()));
    QVERIFY(window->rect().contains(window->banner->geometry().topLeft()));
    QVERIFY(window->banner->geometry().left() > window->alrightButton->geometry().right());
    const QRect text = window->textLabel->geometry() & window->rect();
    QVERIFY(window->textLabel->fontMetrics()
                .boundingRect(text, Qt::TextWordWrap, window->textLabel->text())
                .width()
            <= text.width());
    QVERIFY(window->textLabel->sizeHint().height() <= window->textLabel->height());
    QTRY_COMPARE(window->focusWidget(), window->alrightButton);

    QTest::keyClick(window->focusWidget(), Qt::Key_Space);
    QTRY_VERIFY(!alive);
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
