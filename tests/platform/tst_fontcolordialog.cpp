#include "platform/FontColorDialog.h"

#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// Parts of Qt's font dialog, in the order it makes them.
QListView* fontList(QDialog& dialog, int which) // 0 faces, 1 styles, 2 sizes
{
    return dialog.findChild<QFontDialog*>()->findChildren<QListView*>().value(which);
}

QLineEdit* fontEdit(QDialog& dialog, int which) // 0 face, 1 style, 2 size
{
    return dialog.findChild<QFontDialog*>()->findChildren<QLineEdit*>().value(which);
}

QLineEdit* sample(QDialog& dialog)
{
    for (auto* edit : dialog.findChildren<QLineEdit*>()) {
        if (qobject_cast<QGroupBox*>(edit->parentWidget()))
            return edit;
    }
    return nullptr;
}

QStringList listed(QListView* list)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        texts << list->model()->index(row, 0).data().toString();
    return texts;
}

// Picks an entry as a click on it would.
bool pick(QListView* list, const QString& text)
{
    const int row = int(listed(list).indexOf(text));
    if (row < 0)
        return false;
    list->setCurrentIndex(list->model()->index(row, 0));
    return true;
}

} // namespace

class TestFontColorDialog : public QObject {
    Q_OBJECT
private slots:
    void okWithoutChangeGivesBackWhatCameIn_data();
    void okWithoutChangeGivesBackWhatCameIn();
    void dialogShowsTheStyleOfTheText_data();
    void dialogShowsTheStyleOfTheText();
    void changedFontGoesOut();
    void colourButtonChoosesTheColour();
    void keysCloseTheWholeDialog_data();
    void keysCloseTheWholeDialog();
    void sizeTypedThenEnterGoesOut();
    void newFaceKeepsTheChosenStyle_data();
    void newFaceKeepsTheChosenStyle();
    void stylesTheFaceCanDrawAreOffered_data();
    void stylesTheFaceCanDrawAreOffered();
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
    QVERIFY(sample(dialog));
    QCOMPARE(sample(dialog)->palette().color(QPalette::Text), QColor(0, 128, 255));
}

// Esc cancels and Enter is OK from every part of the dialog, at once: Qt's
// embedded dialog must neither hide itself nor swallow the key.
void TestFontColorDialog::keysCloseTheWholeDialog_data()
{
    QTest::addColumn<bool>("inList"); // else a text box
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    const std::pair<const char*, int> keys[] = {
        {"Esc", Qt::Key_Escape}, {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}};
    for (const auto& [name, key] : keys) {
        const int result = key == Qt::Key_Escape ? QDialog::Rejected : QDialog::Accepted;
        QTest::addRow("%s in the face box", name) << false << 0 << key << result;
        QTest::addRow("%s in the size box", name) << false << 2 << key << result;
        QTest::addRow("%s in the face list", name) << true << 0 << key << result;
        QTest::addRow("%s in the style list", name) << true << 1 << key << result;
        QTest::addRow("%s in the size list", name) << true << 2 << key << result;
    }
}

void TestFontColorDialog::keysCloseTheWholeDialog()
{
    QFETCH(bool, inList);
    QFETCH(int, part);
    QFETCH(int, key);
    QFETCH(int, result);
    FontColorDialog dialog(
        FontChoice{u"DejaVu Sans"_s, 10, false, false, false, false, QColor(0, 0, 0)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QWidget* target = inList ? static_cast<QWidget*>(fontList(dialog, part))
                             : static_cast<QWidget*>(fontEdit(dialog, part));
    QVERIFY(target);
    target->setFocus();
    const auto modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;

    QTest::keyClick(target, Qt::Key(key), modifiers);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QVERIFY(!dialog.findChild<QFontDialog*>()->isHidden());
}

void TestFontColorDialog::sizeTypedThenEnterGoesOut()
{
    FontColorDialog dialog(
        FontChoice{u"DejaVu Sans"_s, 10, false, false, false, false, QColor(0, 0, 0)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QLineEdit* size = fontEdit(dialog, 2);
    QVERIFY(size);
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, u"17"_s);
    QTest::keyClick(size, Qt::Key_Return);

    QCOMPARE(dialog.result(), QDialog::Accepted);
    QCOMPARE(dialog.choice().size, 17.0f);
}

void TestFontColorDialog::newFaceKeepsTheChosenStyle_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QStringList>("newFaces");
    QTest::addColumn<QString>("shown");

    QTest::newRow("same style") << u"DejaVu Serif"_s << u"Bold"_s
                                << QStringList{u"Liberation Sans"_s} << u"Bold"_s;
    QTest::newRow("italic as the new face calls it")
        << u"DejaVu Serif"_s << u"Bold Italic"_s << QStringList{u"DejaVu Sans"_s}
        << u"Bold Oblique"_s;
    QTest::newRow("regular under its other name")
        << u"Liberation Sans"_s << u"Regular"_s << QStringList{u"DejaVu Serif"_s} << u"Book"_s;
    QTest::newRow("style the new face lacks: its regular one")
        << u"DejaVu Serif"_s << u"Condensed Italic"_s << QStringList{u"Liberation Serif"_s}
        << u"Regular"_s;
    QTest::newRow("kept through a face that lacks it")
        << u"DejaVu Serif"_s << u"Condensed Italic"_s
        << QStringList{u"Liberation Serif"_s, u"DejaVu Sans"_s} << u"Condensed Oblique"_s;
    QTest::newRow("drawn bold, then a face with its own")
        << u"Monospace"_s << u"Bold"_s << QStringList{u"DejaVu Sans Mono"_s} << u"Bold"_s;
    QTest::newRow("own bold, then a face drawn bold")
        << u"DejaVu Sans"_s << u"Bold"_s << QStringList{u"Monospace"_s} << u"Bold"_s;
}

void TestFontColorDialog::newFaceKeepsTheChosenStyle()
{
    QFETCH(QString, face);
    QFETCH(QString, style);
    QFETCH(QStringList, newFaces);
    QFETCH(QString, shown);
    FontColorDialog dialog(FontChoice{face, 10, false, false, false, false, QColor(0, 0, 0)});
    QListView* faces = fontList(dialog, 0);
    QListView* styles = fontList(dialog, 1);
    QVERIFY(faces && styles);
    QVERIFY(pick(styles, style));

    for (const QString& newFace : newFaces)
        QVERIFY(pick(faces, newFace));

    QCOMPARE(styles->currentIndex().data().toString(), shown);
    const FontChoice choice = dialog.choice();
    QCOMPARE(choice.name, newFaces.last());
    QCOMPARE(choice.bold, shown.contains(u"Bold"_s));
    QCOMPARE(choice.italic, shown.contains(u"Oblique"_s) || shown.contains(u"Italic"_s));
}

// Qt draws bold and italic for a scalable face that has no such style in its
// files: the dialog offers them, and the sample shows them.
void TestFontColorDialog::stylesTheFaceCanDrawAreOffered_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("style");
    for (const char* face : {"Monospace", "Sans Serif", "DejaVu Sans Mono"}) {
        QTest::addRow("%s, bold", face) << QString::fromLatin1(face) << u"Bold"_s;
        QTest::addRow("%s, bold italic", face)
            << QString::fromLatin1(face)
            << (QFontDatabase::styles(QString::fromLatin1(face)).contains(u"Bold Oblique"_s)
                    ? u"Bold Oblique"_s
                    : u"Bold Italic"_s);
    }
}

void TestFontColorDialog::stylesTheFaceCanDrawAreOffered()
{
    QFETCH(QString, face);
    QFETCH(QString, style);
    FontColorDialog dialog(FontChoice{face, 12, false, false, false, false, QColor(0, 0, 0)});
    QListView* styles = fontList(dialog, 1);
    QVERIFY(styles);
    QStringList offered = listed(styles);
    QCOMPARE(offered.count(style), 1);
    QCOMPARE(offered.removeDuplicates(), 0);

    QVERIFY(pick(styles, style));

    const FontChoice choice = dialog.choice();
    QCOMPARE(choice.name, face);
    QVERIFY(choice.bold);
    QCOMPARE(choice.italic, style.contains(u"Italic"_s) || style.contains(u"Oblique"_s));
    QVERIFY(listed(fontList(dialog, 2)).contains(u"12"_s));
    QCOMPARE(fontList(dialog, 2)->currentIndex().data().toString(), u"12"_s);
    QCOMPARE(choice.size, 12.0f);
    const QFontInfo drawn(sample(dialog)->font());
    QVERIFY(drawn.bold());
    QCOMPARE(drawn.italic(), choice.italic);
}

QTEST_MAIN(TestFontColorDialog)
#include "tst_fontcolordialog.moc"
