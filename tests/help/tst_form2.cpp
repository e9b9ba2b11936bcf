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
    void windowAndControlsHaveTheirPlaces_data();
    void windowAndControlsHaveTheirPlaces();
    void windowLooksAsDesigned();
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

void TestForm2::windowAndControlsHaveTheirPlaces_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");

    QTest::newRow("Label1") << u"Label1"_s << twipsRect(0, 0, 4575, 1215);
    QTest::newRow("Command1") << u"Command1"_s << twipsRect(0, 1200, 855, 375);
    QTest::newRow("Picture1") << u"Picture1"_s << twipsRect(870, 1200, 4545, 375);
}

void TestForm2::windowAndControlsHaveTheirPlaces()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    Form2 window;
    auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
}

void TestForm2::windowLooksAsDesigned()
{
    Form2 window;
    QCOMPARE(window.windowTitle(), u"Vexlon Script Editor"_s);
    QCOMPARE(window.geometry(), twipsRect(1680, 1695, 4515, 1575));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(
        !(window.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(window.Command1->text(), u"Alright!"_s);
    QVERIFY(!window.Command1->isDefault() && !window.Command1->autoDefault());
    QCOMPARE(window.Picture1->pixmap().size(), QSize(358, 28));
    QCOMPARE(window.Label1->font().pointSizeF(), 11.25);
    QCOMPARE(window.Label1->font().weight(), QFont::Normal);
    QCOMPARE(window.Label1->focusPolicy(), Qt::NoFocus);

    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTRY_COMPARE(window.focusWidget(), window.Command1);
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
