#include "editor/ScriptEditor.h"

#include <QClipboard>
#include <QDrag>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

class TestScriptEditor : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void documentTextKeepsEveryCharacter();
    void documentTextHasCrLfBetweenLines_data();
    void documentTextHasCrLfBetweenLines();
    void writingDocumentTextDropsFormatting();

    void selectionLengthIsCutShortAtTheEnd_data();
    void selectionLengthIsCutShortAtTheEnd();
    void selectionStartIsKeptInsideTheText();
    void selectedTextShowsLineBreaksAsCrLf();
    void positionsCountUtf16UnitsNotBytes();
    void writingSelectedTextReplacesInsertsOrDeletes_data();
    void writingSelectedTextReplacesInsertsOrDeletes();

    void attributesReadMixedOnlyWhenTheyDiffer();
    void everyAttributeReadsMixedAcrossADifference_data();
    void everyAttributeReadsMixedAcrossADifference();
    void selectionFontReadsAllSevenWhenShared();
    void changeKeepsWhatItLeavesUnsetPerCharacter();
    void attributeWrittenWithoutSelectionAppliesToTypedText();
    void selectionOfOnlyLineBreaksReadsTheCaretFormat();
    void controlFontNameIsTheBaseFace();
    void settingDocumentTextLeavesItUnmodified_data();
    void settingDocumentTextLeavesItUnmodified();
    void fullStyleTableKeepsTheStylesOfTheChangeInProgress_data();
    void fullStyleTableKeepsTheStylesOfTheChangeInProgress();
    void fullStyleTableKeepsTheFormatChosenForTypedText();
    void deletedTextFreesItsFormats();
    void widgetClipboardPathsCarryPlainTextOnly();
    void clipboardKeysCarryEveryCharacter_data();
    void clipboardKeysCarryEveryCharacter();
    void clipboardKeysWithNothingToCarryChangeNothing_data();
    void clipboardKeysWithNothingToCarryChangeNothing();
    void dropCarriesEveryCharacter();
    void dragOffersEveryCharacter();

private:
    void select(int start, int length);
    int colourEachCharacter();
    QColor colourAt(int position);
    ScriptEditor* box = nullptr;
};

void TestScriptEditor::init() { box = new ScriptEditor; }

void TestScriptEditor::cleanup()
{
    delete box;
    box = nullptr;
}

void TestScriptEditor::select(int start, int length)
{
    box->setSelectionStart(start);
    box->setSelectionLength(length);
}

void TestScriptEditor::documentTextKeepsEveryCharacter()
{
    // U+0001..U+00FF except the two that are line ends, plus NUL: a file in a
    // single-byte code page may hold any of them.
    QString text;
    text.append(QChar(0));
    for (char16_t c = 1; c <= 0xff; ++c)
        if (c != u'\r' && c != u'\n')
            text.append(QChar(c));
    box->setDocumentText(text);
    QCOMPARE(box->documentText(), text);
}

void TestScriptEditor::documentTextHasCrLfBetweenLines_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\r\nb"_s;
    QTest::newRow("LF") << u"a\nb"_s << u"a\r\nb"_s;
    QTest::newRow("CR") << u"a\rb"_s << u"a\r\nb"_s;
    QTest::newRow("final line end kept") << u"a\n"_s << u"a\r\n"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("only line ends") << u"\r\n\n\r"_s << u"\r\n\r\n\r\n"_s;
}

void TestScriptEditor::documentTextHasCrLfBetweenLines()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    box->setDocumentText(written);
    QCOMPARE(box->documentText(), read);
}

void TestScriptEditor::writingDocumentTextDropsFormatting()
{
    box->setDocumentText(u"abc"_s);
    select(0, 3);
    box->changeSelectionFormat({.bold = true});
    box->changeSelectionFormat({.color = Qt::red});
    box->setDocumentText(u"xyz"_s);
    select(0, 3);
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    QCOMPARE(box->selectionFormat().color, std::optional(box->palette().color(QPalette::Text)));
}

void TestScriptEditor::selectionLengthIsCutShortAtTheEnd_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("selectedLength");
    QTest::addColumn<QString>("selected");
    QTest::newRow("inside") << 1 << 2 << 2 << u"bc"_s;
    QTest::newRow("to the end") << 3 << 2 << 2 << u"de"_s;
    QTest::newRow("past the end") << 3 << 10 << 2 << u"de"_s;
    QTest::newRow("at the end") << 5 << 3 << 0 << QString();
    QTest::newRow("zero") << 2 << 0 << 0 << QString();
    QTest::newRow("huge") << 0 << std::numeric_limits<int>::max() << 5 << u"abcde"_s;
}

void TestScriptEditor::selectionLengthIsCutShortAtTheEnd()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(int, selectedLength);
    QFETCH(QString, selected);
    box->setDocumentText(u"abcde"_s);
    select(start, length);
    QCOMPARE(box->selectionStart(), start);
    QCOMPARE(box->selectionLength(), selectedLength);
    QCOMPARE(box->selectedText(), selected);
}

void TestScriptEditor::selectionStartIsKeptInsideTheText()
{
    box->setDocumentText(u"abc"_s);
    box->setSelectionStart(99);
    QCOMPARE(box->selectionStart(), 3);
    box->setSelectionStart(-4);
    QCOMPARE(box->selectionStart(), 0);
    QCOMPARE(box->selectedText(), QString());
}

// The engine holds UTF-8; positions still count UTF-16 units, one per line
// break, whatever the characters before them take in bytes.
void TestScriptEditor::positionsCountUtf16UnitsNotBytes()
{
    box->setDocumentText(u"\u00e9\u20ac\U0001F600\r\nx\u00ff"_s);
    QCOMPARE(box->endPosition(), 7);
    select(2, 2);
    QCOMPARE(box->selectedText(), u"\U0001F600"_s);
    select(1, 5);
    QCOMPARE(box->selectedText(), u"\u20ac\U0001F600\r\nx"_s);
    QCOMPARE(box->selectionStart(), 1);
    QCOMPARE(box->selectionLength(), 5);
    // Between the two halves of a surrogate pair: the character's start.
    box->setSelectionStart(3);
    QCOMPARE(box->selectionStart(), 2);
    box->setSelectionStart(7);
    box->setSelectedText(u"\u00e0"_s);
    QCOMPARE(box->documentText(), u"\u00e9\u20ac\U0001F600\r\nx\u00ff\u00e0"_s);
}

void TestScriptEditor::selectedTextShowsLineBreaksAsCrLf()
{
    box->setDocumentText(u"ab\r\ncd\r\nef"_s);
    // Positions count one character for each line break.
    select(1, 6);
    QCOMPARE(box->selectedText(), u"b\r\ncd\r\ne"_s);
}

void TestScriptEditor::writingSelectedTextReplacesInsertsOrDeletes_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("document");
    QTest::newRow("insert at caret") << 2 << 0 << u"XY"_s << u"abXYcd\r\nef"_s;
    QTest::newRow("replace selection") << 1 << 2 << u"X"_s << u"aXd\r\nef"_s;
    QTest::newRow("replace across lines") << 1 << 5 << u"X"_s << u"aXf"_s;
    QTest::newRow("delete") << 1 << 2 << QString() << u"ad\r\nef"_s;
    QTest::newRow("empty over nothing") << 3 << 0 << QString() << u"abcd\r\nef"_s;
    QTest::newRow("CR LF written") << 4 << 0 << u"1\r\n2"_s << u"abcd1\r\n2\r\nef"_s;
}

void TestScriptEditor::writingSelectedTextReplacesInsertsOrDeletes()
{
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, written);
    QFETCH(QString, document);
    box->setDocumentText(u"abcd\r\nef"_s);
    select(start, length);
    box->setSelectedText(written);
    QCOMPARE(box->documentText(), document);
    QCOMPARE(box->selectedText(), QString());
}

void TestScriptEditor::attributesReadMixedOnlyWhenTheyDiffer()
{
    box->setDocumentText(u"plain BOLD plain"_s);
    select(6, 4);
    box->changeSelectionFormat({.bold = true});
    QCOMPARE(box->selectionFormat().bold, std::optional(true));
    select(0, 5);
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    select(3, 6); // spans plain and bold
    QCOMPARE(box->selectionFormat().bold, std::nullopt);
    // The other attributes are still uniform across the same selection.
    QCOMPARE(box->selectionFormat().italic, std::optional(false));
    QVERIFY(box->selectionFormat().name.has_value());
    QVERIFY(box->selectionFormat().size.has_value());
}

void TestScriptEditor::everyAttributeReadsMixedAcrossADifference_data()
{
    QTest::addColumn<int>("attribute");
    for (int i = 0; i < 7; ++i)
        QTest::newRow(qPrintable(QString::number(i))) << i;
}

void TestScriptEditor::everyAttributeReadsMixedAcrossADifference()
{
    QFETCH(int, attribute);
    box->setDocumentText(u"aaaa\nbbbb"_s);
    select(0, 4);
    switch (attribute) {
    case 0:
        box->changeSelectionFormat({.name = u"Liberation Serif"_s});
        break;
    case 1:
        box->changeSelectionFormat({.size = box->selectionFormat().size.value() + 5});
        break;
    case 2:
        box->changeSelectionFormat({.bold = true});
        break;
    case 3:
        box->changeSelectionFormat({.italic = true});
        break;
    case 4:
        box->changeSelectionFormat({.strikeout = true});
        break;
    case 5:
        box->changeSelectionFormat({.underline = true});
        break;
    case 6:
        box->changeSelectionFormat({.color = QColor(200, 10, 20)});
        break;
    }
    select(2, 5);
    const SelectionFormat read = box->selectionFormat();
    const bool mixed[] = {
        !read.name,      !read.size,      !read.bold,  !read.italic,
        !read.strikeout, !read.underline, !read.color,
    };
    for (int i = 0; i < 7; ++i)
        QCOMPARE(mixed[i], i == attribute);
    QCOMPARE(read.font(), std::nullopt);
}

void TestScriptEditor::selectionFontReadsAllSevenWhenShared()
{
    box->setDocumentText(u"aaaa\nbbbb"_s);
    select(0, 9);
    QCOMPARE(box->changeSelectionFormat({.name = u"Liberation Serif"_s,
                                         .size = 17,
                                         .bold = true,
                                         .strikeout = true,
                                         .color = QColor(200, 10, 20)}),
             EditorControl::FormatResult::Written);
    select(2, 5);

    const FontChoice shared{u"Liberation Serif"_s, 17, true, false, true, false,
                            QColor(200, 10, 20)};
    QCOMPARE(box->selectionFormat().font(), std::optional(shared));
}

// "BOLD" is bold at 20 pt beside plain text at the base size. A change of
// colour, with a size of 0, keeps each character's weight and size.
void TestScriptEditor::changeKeepsWhatItLeavesUnsetPerCharacter()
{
    box->setDocumentText(u"plain BOLD"_s);
    select(6, 4);
    box->changeSelectionFormat({.size = 20, .bold = true});
    select(0, 10);
    const std::optional<float> baseSize = float(box->font().pointSizeF());

    QCOMPARE(box->changeSelectionFormat({.size = 0, .color = QColor(0, 0, 255, 100)}),
             EditorControl::FormatResult::Written);

    const SelectionFormat all = box->selectionFormat();
    QCOMPARE(all.bold, std::nullopt);
    QCOMPARE(all.size, std::nullopt);
    QCOMPARE(all.color, std::optional(QColor(0, 0, 255)));
    select(0, 5);
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    QCOMPARE(box->selectionFormat().size, baseSize);
    select(6, 4);
    QCOMPARE(box->selectionFormat().bold, std::optional(true));
    QCOMPARE(box->selectionFormat().size, std::optional(20.0F));
}

void TestScriptEditor::attributeWrittenWithoutSelectionAppliesToTypedText()
{
    box->setDocumentText(u"ab"_s);
    box->setSelectionStart(1);
    box->changeSelectionFormat({.underline = true});
    box->changeSelectionFormat({.color = QColor(0, 128, 0)});
    QCOMPARE(box->selectionFormat().underline, std::optional(true));
    box->setSelectedText(u"X"_s);
    select(1, 1);
    QCOMPARE(box->selectedText(), u"X"_s);
    QCOMPARE(box->selectionFormat().underline, std::optional(true));
    QCOMPARE(box->selectionFormat().color, std::optional(QColor(0, 128, 0)));
    select(0, 1);
    QCOMPARE(box->selectionFormat().underline, std::optional(false));
}

void TestScriptEditor::selectionOfOnlyLineBreaksReadsTheCaretFormat()
{
    box->setDocumentText(u"\n\n"_s);
    select(0, 2);
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    QVERIFY(box->selectionFormat().size.has_value());
}

void TestScriptEditor::controlFontNameIsTheBaseFace()
{
    box->setDocumentText(u"abc"_s);
    const QString base = box->controlFontName();
    QVERIFY(!base.isEmpty());
    select(0, 3);
    QCOMPARE(box->selectionFormat().name, std::optional(base));
    box->changeSelectionFormat({.name = u"Liberation Serif"_s});
    QCOMPARE(box->controlFontName(), base);
}

void TestScriptEditor::widgetClipboardPathsCarryPlainTextOnly()
{
    box->setDocumentText(u"one\r\ntwo"_s);
    select(0, 7);
    box->changeSelectionFormat({.bold = true});
    box->copy(); // what Ctrl+Insert and a drag start from
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    QCOMPARE(copied->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(copied->text(), u"one\ntwo"_s);

    // With no plain text on offer, the selection stays: nothing is pasted over it.
    auto* rich = new QMimeData;
    rich->setHtml(u"<b>rich</b>"_s);
    auto* emptyText = new QMimeData;
    emptyText->setText(QString());
    for (QMimeData* offer : {rich, emptyText, static_cast<QMimeData*>(nullptr)}) {
        if (offer)
            QGuiApplication::clipboard()->setMimeData(offer);
        else
            QGuiApplication::clipboard()->clear();
        select(4, 3);
        box->paste(); // what Shift+Insert and a middle click do
        QCOMPARE(box->documentText(), u"one\r\ntwo"_s);
        QCOMPARE(box->selectedText(), u"two"_s);
    }

    QGuiApplication::clipboard()->setText(u"A\nB"_s);
    box->setSelectionStart(3);
    box->paste();
    QCOMPARE(box->documentText(), u"oneA\r\nB\r\ntwo"_s);
}

namespace {

QColor colourNumber(int number) { return QColor(number % 256, number / 256, 200); }

} // namespace

// Gives each character of the document a colour of its own until the editor
// has no style left for one more; returns how many it coloured.
int TestScriptEditor::colourEachCharacter()
{
    const int end = box->endPosition();
    int coloured = 0;
    for (; coloured < end; ++coloured) {
        select(coloured, 1);
        if (box->changeSelectionFormat({.color = colourNumber(coloured)})
            != EditorControl::FormatResult::Written)
            break;
    }
    return coloured;
}

QColor TestScriptEditor::colourAt(int position)
{
    select(position, 1);
    return box->selectionFormat().color.value_or(QColor());
}

void TestScriptEditor::settingDocumentTextLeavesItUnmodified_data()
{
    QTest::addColumn<bool>("inPieces");
    QTest::addColumn<int>("before");
    // before: 0 typed text, 1 marked modified, 2 formatted and typed, 3 as loaded
    for (const bool inPieces : {false, true}) {
        const char* way = inPieces ? "in pieces" : "whole";
        QTest::addRow("%s, after typing", way) << inPieces << 0;
        QTest::addRow("%s, after setModified(true)", way) << inPieces << 1;
        QTest::addRow("%s, after formatting and typing", way) << inPieces << 2;
        QTest::addRow("%s, unmodified before", way) << inPieces << 3;
    }
}

void TestScriptEditor::settingDocumentTextLeavesItUnmodified()
{
    QFETCH(bool, inPieces);
    QFETCH(int, before);
    box->setDocumentText(u"old text"_s);
    switch (before) {
    case 0:
        QTest::keyClick(box, Qt::Key_A);
        break;
    case 1:
        box->setModified(true);
        break;
    case 2:
        select(0, 3);
        box->changeSelectionFormat({.bold = true});
        box->setSelectionStart(3);
        box->changeSelectionFormat({.strikeout = true});
        QTest::keyClicks(box, u"xyz"_s);
        break;
    default:
        break;
    }
    QCOMPARE(box->isModified(), before != 3);

    const QString text = u"new\r\ntext\u0000with NUL"_s;
    if (inPieces) {
        const QByteArray utf8 = QString(text).replace(u"\r\n"_s, u"\n"_s).toUtf8();
        QVERIFY(box->loadDocument(utf8.size(), [&utf8](const auto& onPiece) {
            onPiece(QByteArrayView(utf8).first(5));
            onPiece(QByteArrayView(utf8).sliced(5));
            return true;
        }));
    } else {
        box->setDocumentText(text);
    }
    QCOMPARE(box->documentText(), text);
    QVERIFY(!box->isModified());
    QTest::keyClick(box, Qt::Key_B);
    QVERIFY(box->isModified());
}

void TestScriptEditor::fullStyleTableKeepsTheStylesOfTheChangeInProgress_data()
{
    QTest::addColumn<int>("unused");
    // How many styles no character uses when the change begins: with one, the
    // change takes it for its first new combination and must not free it
    // again for the second.
    QTest::newRow("one unused style") << 1;
    QTest::newRow("two unused styles") << 2;
    QTest::newRow("three unused styles") << 3;
}

// Bold over two characters of different colours needs two new combinations.
// Either each character keeps its own colour, now bold, or the command fails
// and nothing changes.
void TestScriptEditor::fullStyleTableKeepsTheStylesOfTheChangeInProgress()
{
    QFETCH(int, unused);
    box->setDocumentText(QString(300, u'x'));
    const int coloured = colourEachCharacter();
    QVERIFY(coloured > 200 && coloured < 300);
    // The first characters take the colour of the next: their styles go unused.
    for (int position = 0; position < unused; ++position) {
        select(position, 1);
        QCOMPARE(box->changeSelectionFormat({.color = colourNumber(unused)}),
                 EditorControl::FormatResult::Written);
    }

    const int first = coloured - 2;
    select(first, 2);
    const bool changed =
        box->changeSelectionFormat({.bold = true}) == EditorControl::FormatResult::Written;

    for (int position : {first, first + 1}) {
        QCOMPARE(colourAt(position), colourNumber(position));
        QCOMPARE(box->selectionFormat().bold, std::optional(changed));
    }
    select(0, 1);
    QCOMPARE(box->selectionFormat().color, std::optional(colourNumber(unused)));
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    if (unused >= 2)
        QVERIFY(changed);
}

// The format chosen with nothing selected waits for the text typed at the
// caret; a style reclaimed for another change meanwhile must not be it.
void TestScriptEditor::fullStyleTableKeepsTheFormatChosenForTypedText()
{
    box->setDocumentText(QString(300, u'x'));
    const int coloured = colourEachCharacter();
    QVERIFY(coloured > 200 && coloured < 300);
    const int caret = 290;
    // A style freed for the caret's colour, then one for the change after it.
    select(0, 1);
    QCOMPARE(box->changeSelectionFormat({.color = colourNumber(2)}),
             EditorControl::FormatResult::Written);
    box->setSelectionStart(caret);
    QCOMPARE(box->changeSelectionFormat({.color = Qt::green}),
             EditorControl::FormatResult::Written);
    select(1, 1);
    QCOMPARE(box->changeSelectionFormat({.color = colourNumber(2)}),
             EditorControl::FormatResult::Written);

    // The character before the caret, selected up to the caret, in a new colour.
    select(caret - 1, 1);
    QCOMPARE(box->changeSelectionFormat({.color = Qt::magenta}),
             EditorControl::FormatResult::Written);
    box->setSelectionStart(caret);
    QCOMPARE(box->selectionFormat().color, std::optional(QColor(Qt::green)));
    box->setSelectedText(u"Z"_s);

    QCOMPARE(colourAt(caret), QColor(Qt::green));
    QCOMPARE(colourAt(caret - 1), QColor(Qt::magenta));
}

// Each character its own colour: more combinations than the editor shows at
// once. A change that needs one more changes nothing; once the text that used
// them is gone, the combinations are free again.
void TestScriptEditor::deletedTextFreesItsFormats()
{
    box->setDocumentText(QString(300, u'x'));
    const int coloured = colourEachCharacter();
    QVERIFY(coloured > 200 && coloured < 300);
    select(0, coloured);
    QCOMPARE(box->changeSelectionFormat({.bold = true}), EditorControl::FormatResult::NoRoom);
    QCOMPARE(box->selectionFormat().bold, std::optional(false));
    QCOMPARE(colourAt(7), colourNumber(7));

    select(0, 300);
    box->setSelectedText(u"fresh"_s);
    select(0, 5);
    QCOMPARE(box->changeSelectionFormat({.bold = true}), EditorControl::FormatResult::Written);
    QCOMPARE(box->selectionFormat().bold, std::optional(true));
}

namespace {

// Control characters a script file in a single-byte code page may hold,
// NUL among them, on two lines.
const QString controls = u"a\u0000b\u0001\t\u001b\r\n\u007f\u0000\u0000c"_s;

} // namespace

void TestScriptEditor::clipboardKeysCarryEveryCharacter_data()
{
    QTest::addColumn<QKeyCombination>("take");
    QTest::addColumn<bool>("cuts");
    QTest::addColumn<QKeyCombination>("paste");
    QTest::newRow("Ctrl+C, Ctrl+V") << (Qt::CTRL | Qt::Key_C) << false << (Qt::CTRL | Qt::Key_V);
    QTest::newRow("Ctrl+Insert, Shift+Insert")
        << (Qt::CTRL | Qt::Key_Insert) << false << (Qt::SHIFT | Qt::Key_Insert);
    QTest::newRow("Ctrl+X, Ctrl+V") << (Qt::CTRL | Qt::Key_X) << true << (Qt::CTRL | Qt::Key_V);
    QTest::newRow("Shift+Delete, Shift+Insert")
        << (Qt::SHIFT | Qt::Key_Delete) << true << (Qt::SHIFT | Qt::Key_Insert);
}

// What the keys place is what Edit > Copy places (one plain text format,
// every character, LF between lines), and a paste puts every character back
// in place of the selection.
void TestScriptEditor::clipboardKeysCarryEveryCharacter()
{
    QFETCH(QKeyCombination, take);
    QFETCH(bool, cuts);
    QFETCH(QKeyCombination, paste);
    const QString document = u"[xy]<"_s + controls + u">"_s;
    box->setDocumentText(document);
    // The line break is one position.
    const int length = int(controls.size()) - 1;
    select(5, length);
    QTest::keyClick(box, take.key(), take.keyboardModifiers());

    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    QVERIFY(held);
    QCOMPARE(held->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(held->text(), u"a\u0000b\u0001\t\u001b\n\u007f\u0000\u0000c"_s);
    const QString left = cuts ? u"[xy]<>"_s : document;
    QCOMPARE(box->documentText(), left);

    const int target = 1;
    select(target, 2);
    QTest::keyClick(box, paste.key(), paste.keyboardModifiers());
    QString expected = left;
    expected.replace(target, 2, controls);
    QCOMPARE(box->documentText(), expected);
    QCOMPARE(box->selectionStart(), target + length);
    QCOMPARE(box->selectionLength(), 0);
}

void TestScriptEditor::clipboardKeysWithNothingToCarryChangeNothing_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::newRow("Ctrl+Insert") << (Qt::CTRL | Qt::Key_Insert);
    QTest::newRow("Shift+Delete") << (Qt::SHIFT | Qt::Key_Delete);
    QTest::newRow("Ctrl+C") << (Qt::CTRL | Qt::Key_C);
    QTest::newRow("Ctrl+X") << (Qt::CTRL | Qt::Key_X);
}

void TestScriptEditor::clipboardKeysWithNothingToCarryChangeNothing()
{
    QFETCH(QKeyCombination, key);
    QGuiApplication::clipboard()->setText(u"kept\u0000"_s);
    box->setDocumentText(u"abc"_s);
    box->setSelectionStart(1);
    QTest::keyClick(box, key.key(), key.keyboardModifiers());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"kept\u0000"_s);
    QCOMPARE(box->documentText(), u"abc"_s);

    // A paste with no plain text on offer leaves the selection.
    auto* rich = new QMimeData;
    rich->setHtml(u"<b>rich</b>"_s);
    QGuiApplication::clipboard()->setMimeData(rich);
    select(1, 1);
    QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(box->documentText(), u"abc"_s);
    QCOMPARE(box->selectedText(), u"b"_s);
}

// Text dropped from another program lands whole where it is dropped.
void TestScriptEditor::dropCarriesEveryCharacter()
{
    box->resize(400, 200);
    box->setDocumentText(u"[]"_s);
    QMimeData offered;
    offered.setText(u"a\u0000b\u0001\nc"_s);
    const QPoint at(int(box->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, 1L)),
                    int(box->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, 1L))
                        + 2);
    QWidget* viewport = box->viewport();
    QDragEnterEvent enter(at, Qt::CopyAction, &offered, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &offered, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QCOMPARE(box->documentText(), u"[a\u0000b\u0001\r\nc]"_s);
    QVERIFY(box->isModified());
}

// A drag from the editor offers the selection whole, as Edit > Copy would.
void TestScriptEditor::dragOffersEveryCharacter()
{
    box->resize(400, 200);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
    box->setDocumentText(u"[a\u0000b\u0001\r\nc]"_s);
    select(1, 6);
    const auto pointAt = [this](long offset) {
        return QPoint(
            int(box->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, offset)),
            int(box->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, offset)) + 2);
    };
    const QPoint from = pointAt(2) + QPoint(2, 0);
    QWidget* viewport = box->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(viewport, from + QPoint(QApplication::startDragDistance() + 30, 40));
    const auto drags = box->findChildren<QDrag*>();
    QVERIFY(!drags.isEmpty());
    QCOMPARE(drags.constLast()->mimeData()->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(drags.constLast()->mimeData()->text(), u"a\u0000b\u0001\nc"_s);
}

QTEST_MAIN(TestScriptEditor)
#include "tst_scripteditor.moc"
