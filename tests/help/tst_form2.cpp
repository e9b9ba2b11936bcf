#include "help/Form2.h"
#include "help/ProductSite.h"
#include "platform/Twips.h"
#include "shell/Form1.h"
#include "shell/Program.h"
#include "support/FakeServices.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return {pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
            pixelsFromTwips(height)};
}

QList<Form2*> aboutBoxes()
{
    QList<Form2*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<Form2*>(window))
            boxes << box;
    }
    return boxes;
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void firstLineShowsTheVersionInFull_data();
    void firstLineShowsTheVersionInFull();
    void aboutTextIsFourLinesEndingInTheProductSite();
    void opensInPlaceWithTheButtonFocused();
    void aboutCommandKeepsOneModelessWindow();
};

void TestForm2::firstLineShowsTheVersionInFull_data()
{
    QTest::addColumn<Version>("version");
    QTest::addColumn<QString>("firstLine");

    QTest::newRow("the program's own") << programVersion << u"Vexlon Script Editor - 1.0.1"_s;
    QTest::newRow("two-digit revision") << Version{1, 0, 12} << u"Vexlon Script Editor - 1.0.12"_s;
    QTest::newRow("several digits each")
        << Version{10, 200, 3000} << u"Vexlon Script Editor - 10.200.3000"_s;
    QTest::newRow("zeros") << Version{0, 0, 0} << u"Vexlon Script Editor - 0.0.0"_s;
}

void TestForm2::firstLineShowsTheVersionInFull()
{
    QFETCH(Version, version);
    QFETCH(QString, firstLine);
    QCOMPARE(Form2::aboutText(version).section(u"\r\n"_s, 0, 0), firstLine);
}

void TestForm2::aboutTextIsFourLinesEndingInTheProductSite()
{
    const QString text = Form2::aboutText(programVersion);
    const QStringList lines = text.split(u"\r\n"_s);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[1], u"A Trigger/Script Utility."_s);
    QVERIFY(lines[2].startsWith(u"Copyright"_s));
    QCOMPARE(lines[3], ProductWebHost.toString() + u"/vexlon"_s);
    // The host is reserved: it can never be somebody else's server.
    QVERIFY(QUrl(u"http://"_s + lines[3]).host().endsWith(u".example"_s));
    QCOMPARE(text.count(u"\r\n"_s), 3);
    QCOMPARE(text.count(u'\n'), 3);

    // The label shows each part on a line of its own, with no CR left to draw.
    Form2 window;
    QCOMPARE(window.Label1->text().split(u'\n'), lines);
}

// The label cannot take the focus, so the button has it: Space closes the box.
void TestForm2::opensInPlaceWithTheButtonFocused()
{
    auto* window = new Form2;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<Form2> alive = window;
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->geometry(), twipsRect(1680, 1695, 4515, 1575));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QCOMPARE(window->Picture1->pixmap().size(), QSize(358, 28));
    QTRY_COMPARE(window->focusWidget(), window->Command1);

    QTest::keyClick(window->focusWidget(), Qt::Key_Space);
    QTRY_VERIFY(!alive);
}

void TestForm2::aboutCommandKeepsOneModelessWindow()
{
    Program program([] { return FakeServices().take(); });
    Form1& form1 = Program::form1();

    form1.mnuHelpAbt_Click();
    QCOMPARE(aboutBoxes().size(), 1);
    QPointer<Form2> first = aboutBoxes().constFirst();
    QVERIFY(first->isVisible());
    QCOMPARE(first->parentWidget(), nullptr);
    QVERIFY(!first->isModal());

    // Shown again, the same window comes to the front without composing its text again.
    first->Label1->setText(u"left as it was"_s);
    form1.mnuHelpAbt_Click();
    QCOMPARE(aboutBoxes(), QList<Form2*>{first.data()});
    QCOMPARE(first->Label1->text(), u"left as it was"_s);

    // "Alright!" destroys it; the next About command composes a new one.
    QTest::mouseClick(first->Command1, Qt::LeftButton);
    QTRY_VERIFY(!first);
    QVERIFY(aboutBoxes().isEmpty());
    form1.mnuHelpAbt_Click();
    QCOMPARE(aboutBoxes().size(), 1);
    QVERIFY(
        aboutBoxes().constFirst()->Label1->text().startsWith(u"Vexlon Script Editor - 1.0.1\n"_s));
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
