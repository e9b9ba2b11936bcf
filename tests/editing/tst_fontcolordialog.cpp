#include "platform/FontColorDialog.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestFontColorDialog : public QObject {
    Q_OBJECT
private slots:
    void okWithoutChangeGivesBackWhatCameIn_data();
    void okWithoutChangeGivesBackWhatCameIn();
    void dialogShowsTheStyleOfTheText_data();
    void dialogShowsTheStyleOfTheText();
    void changedFontGoesOut();
    void colourButtonChoosesTheColour();
};

void TestFontColorDialog::okWithoutChangeGivesBackWhatCameIn_data()
{
    QTest::addColumn<FontChoice>("initial");
    QTest::newRow("bold red") << FontChoice{u"DejaVu Sans"_s, 12, true, false, false, false,
                                            QColor(255, 0, 0)};
    QTest::newRow("all effects") << FontChoice{u"DejaVu Serif"_s,       20, false, true, true, true,
                                               QColor(0x12, 0x34, 0x56)};
    // Qt's dialog lists whole sizes and installed faces only.
    QTest::newRow("fractional size")
        << FontChoice{u"DejaVu Sans Mono"_s, 8.25f, false, false, false, true, QColor(0, 0, 0)};
    QTest::newRow("generic face, bold")
        << FontChoice{u"monospace"_s, 9, true, false, false, false, QColor(0, 0, 0)};
    QTest::newRow("face not installed")
        << FontChoice{u"No Such Face"_s, 10, false, false, true, false, QColor(1, 2, 3)};
}

void TestFontColorDialog::okWithoutChangeGivesBackWhatCameIn()
{
    QFETCH(FontChoice, initial);
    FontColorDialog dialog(initial);
    QCOMPARE(dialog.choice(), initial);
}

void TestFontColorDialog::dialogShowsTheStyleOfTheText_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    for (const char* face : {"DejaVu Sans", "DejaVu Sans Mono", "DejaVu Serif", "monospace"}) {
        QTest::addRow("%s, upright", face) << QString::fromLatin1(face) << false << false;
        QTest::addRow("%s, bold", face) << QString::fromLatin1(face) << true << false;
        QTest::addRow("%s, italic", face) << QString::fromLatin1(face) << false << true;
        QTest::addRow("%s, bold italic", face) << QString::fromLatin1(face) << true << true;
    }
}

// Left to itself Qt's dialog would show an upright face as its first listed
// style, an oblique one.
void TestFontColorDialog::dialogShowsTheStyleOfTheText()
{
    QFETCH(QString, face);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    FontColorDialog dialog(FontChoice{face, 10, bold, italic, false, false, QColor(0, 0, 0)});
    auto* fonts = dialog.findChild<QFontDialog*>();
    QVERIFY(fonts);
    if (face != u"monospace")
        QCOMPARE(fonts->currentFont().family(), face);
    QCOMPARE(fonts->currentFont().bold(), bold);
    QCOMPARE(fonts->currentFont().italic(), italic);
    QVERIFY(!fonts->currentFont().styleName().contains(u"Condensed"_s));
}

void TestFontColorDialog::changedFontGoesOut()
{
    FontColorDialog dialog(
        FontChoice{u"DejaVu Sans"_s, 8.25f, false, false, false, false, QColor(9, 9, 9)});
    auto* fonts = dialog.findChild<QFontDialog*>();
    QVERIFY(fonts);
    QFont other(u"DejaVu Serif"_s);
    other.setPointSize(14);
    other.setBold(true);
    other.setUnderline(true);
    fonts->setCurrentFont(other);

    const FontChoice expected{u"DejaVu Serif"_s, 14, true, false, false, true, QColor(9, 9, 9)};
    QCOMPARE(dialog.choice(), expected);
}

// The colour sits in the same dialog as the font: its button opens a colour
// chooser, and the chosen colour goes out with the font.
void TestFontColorDialog::colourButtonChoosesTheColour()
{
    FontColorDialog dialog(
        FontChoice{u"DejaVu Sans"_s, 10, false, false, false, false, QColor(0, 0, 0)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* button = dialog.findChild<QPushButton*>(u"colorButton"_s);
    QVERIFY(button);
    QVERIFY(button->isVisible());

    bool chooserShown = false;
    QTimer::singleShot(0, &dialog, [&chooserShown] {
        auto* chooser = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
        if (!chooser)
            return;
        chooserShown = true;
        chooser->setCurrentColor(QColor(0, 128, 255));
        chooser->accept();
    });
    button->click();

    QVERIFY(chooserShown);
    QCOMPARE(dialog.choice().color, QColor(0, 128, 255));
    QCOMPARE(button->text(), u"#0080FF"_s);
}

QTEST_MAIN(TestFontColorDialog)
#include "tst_fontcolordialog.moc"
