#include "help/AboutBox.h"
#include "help/ProductSite.h"
#include "platform/SingleWindow.h"
#include "platform/Twips.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString projectVersion = QString::fromLatin1(VEXLON_PROJECT_VERSION);

QRect twipsRect(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

QList<AboutBox*> aboutBoxes()
{
    QList<AboutBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<AboutBox*>(window))
            boxes << box;
    }
    return boxes;
}

} // namespace

class TestAboutBox : public QObject {
    Q_OBJECT

private slots:
    void firstLineShowsTheVersionInFull_data();
    void firstLineShowsTheVersionInFull();
    void aboutTextIsFourLinesEndingInTheProductSite();
    void opensInPlaceWithTheButtonFocused();
    void shownOnceKeepsOneModelessWindow();
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
    QCOMPARE(window->geometry(), twipsRect(1680, 1695, 4515, 1575));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->banner->pixmap().size(), QSize(358, 28));
    QTRY_COMPARE(window->focusWidget(), window->alrightButton);

    QTest::keyClick(window->focusWidget(), Qt::Key_Space);
    QTRY_VERIFY(!alive);
}

// As the main window shows it: at most one box at a time.
void TestAboutBox::shownOnceKeepsOneModelessWindow()
{
    QPointer<AboutBox> slot;
    const auto closeAtEnd = qScopeGuard([&] { delete slot; });

    showSingleWindow(slot);
    QCOMPARE(aboutBoxes().size(), 1);
    QPointer<AboutBox> first = aboutBoxes().constFirst();
    QVERIFY(first->isVisible());
    QCOMPARE(first->parentWidget(), nullptr);
    QVERIFY(!first->isModal());

    // Shown again, the same window comes to the front without composing its text again.
    first->textLabel->setText(u"left as it was"_s);
    showSingleWindow(slot);
    QCOMPARE(aboutBoxes(), QList<AboutBox*>{first.data()});
    QCOMPARE(first->textLabel->text(), u"left as it was"_s);

    // "Alright!" destroys it; showing it again composes a new one.
    QTest::mouseClick(first->alrightButton, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(aboutBoxes().isEmpty());
    showSingleWindow(slot);
    QCOMPARE(aboutBoxes().size(), 1);
    QVERIFY(aboutBoxes().constFirst()->textLabel->text().startsWith(u"Vexlon Script Editor - "_s
                                                                    + projectVersion + u'\n'));
}

QTEST_MAIN(TestAboutBox)
#include "tst_aboutbox.moc"
