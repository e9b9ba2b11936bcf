#include "editor/AccessibleScriptEditor.h"
#include "editor/EditorAccessibility.h"
#include "editor/ScriptEditor.h"

#include <QAccessible>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// "é", "€" and U+1F600 take two, three and four bytes in the engine, and
// one, one and two units in the editor's positions:
//
//   h é l l o \n w ö r l d   € \n U+1F600 x
//   0 1 2 3 4 5  6 7 8 9 10 11 12 13 14-15 16, 17 in all
const QString sample = u"héllo\nwörld €\n\U0001F600x"_s;
const QString emoji = u"\U0001F600"_s;

// The text events the editor sent, copied: Qt's events live only as long
// as the call that sends them.
struct Heard {
    QAccessible::Event type;
    int position = -1;
    QString text;
    int end = -1;

    bool operator==(const Heard&) const = default;
};

std::vector<Heard> heard;

void listen(QAccessibleEvent* event)
{
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto* inserted = static_cast<QAccessibleTextInsertEvent*>(event);
        heard.push_back({event->type(), inserted->changePosition(), inserted->textInserted(), -1});
        break;
    }
    case QAccessible::TextRemoved: {
        const auto* removed = static_cast<QAccessibleTextRemoveEvent*>(event);
        heard.push_back({event->type(), removed->changePosition(), removed->textRemoved(), -1});
        break;
    }
    case QAccessible::TextCaretMoved: {
        const auto* moved = static_cast<QAccessibleTextCursorEvent*>(event);
        heard.push_back({event->type(), moved->cursorPosition(), {}, -1});
        break;
    }
    case QAccessible::TextSelectionChanged: {
        const auto* selected = static_cast<QAccessibleTextSelectionEvent*>(event);
        heard.push_back({event->type(), selected->selectionStart(), {}, selected->selectionEnd()});
        break;
    }
    default:
        break;
    }
}

Heard inserted(int position, const QString& text)
{
    return {QAccessible::TextInserted, position, text, -1};
}
Heard removed(int position, const QString& text)
{
    return {QAccessible::TextRemoved, position, text, -1};
}
Heard caretAt(int position) { return {QAccessible::TextCaretMoved, position, {}, -1}; }
Heard selected(int start, int end) { return {QAccessible::TextSelectionChanged, start, {}, end}; }

// What QCOMPARE prints of them.
char* toString(const Heard& event)
{
    return qstrdup(QStringLiteral("%1(%2, \"%3\", %4)")
                       .arg(QString::fromLatin1(qAccessibleEventString(event.type)))
                       .arg(event.position)
                       .arg(event.text)
                       .arg(event.end)
                       .toUtf8()
                       .constData());
}

char* toString(const std::vector<Heard>& events)
{
    QByteArray text = "{";
    for (const Heard& event : events) {
        char* one = toString(event);
        text += (text.size() > 1 ? " " : "") + QByteArray(one);
        delete[] one;
    }
    return qstrdup(text + "}");
}

} // namespace

class TestEditorAccessibility : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void theEditorAnswersWithItsOwnInterface();

    void characterCountIsInEditorPositions_data();
    void characterCountIsInEditorPositions();
    void textIsReadInEditorPositions_data();
    void textIsReadInEditorPositions();
    void caretAndSelectionReadInEditorPositions();
    void caretAndSelectionAreSetInEditorPositions();
    void textAroundAnOffset_data();
    void textAroundAnOffset();
    void wordsAreThoseOfQtsPlainTextField_data();
    void wordsAreThoseOfQtsPlainTextField();
    void charactersAreFoundOnScreen();
    void attributesDescribeARunOfOneFormat();

    void editingKeepsFormattingAndTheModifiedState();

    void changesAreToldWithEditorPositions();
    void changesAreToldOnceMade();
    void caretAndSelectionMovesAreTold();
    void nothingIsToldWhileNoOneListens();

private:
    QAccessibleTextInterface* text() const;
    // The engine tells of caret moves as it paints.
    void showBox();
    void startListening();
    // Lets the editor finish telling of a change, as it does when idle.
    static void settle();

    ScriptEditor* box = nullptr;
};

void TestEditorAccessibility::init()
{
    box = new ScriptEditor;
    box->setDocumentText(sample);
    box->resize(400, 300);
}

void TestEditorAccessibility::cleanup()
{
    QAccessible::setActive(false);
    EditorAccessibility::setListener(nullptr);
    heard.clear();
    delete box;
    box = nullptr;
}

QAccessibleTextInterface* TestEditorAccessibility::text() const
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    return accessible ? accessible->textInterface() : nullptr;
}

void TestEditorAccessibility::settle() { QCoreApplication::processEvents(); }

void TestEditorAccessibility::showBox()
{
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
}

void TestEditorAccessibility::startListening()
{
    settle();
    EditorAccessibility::setListener(listen);
    QAccessible::setActive(true);
    settle();
    heard.clear();
}

void TestEditorAccessibility::theEditorAnswersWithItsOwnInterface()
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
    QVERIFY(dynamic_cast<AccessibleScriptEditor*>(accessible));
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->textInterface());
    QVERIFY(accessible->editableTextInterface());
    const QAccessible::State state = accessible->state();
    QVERIFY(state.editable);
    QVERIFY(state.multiLine);
    QVERIFY(state.selectableText);

    // Every editor, not just the first one made.
    ScriptEditor second;
    QVERIFY(dynamic_cast<AccessibleScriptEditor*>(QAccessible::queryAccessibleInterface(&second)));

    // The engine's own factory is there, and still answers for its other widgets.
    QsciScintillaBase engine;
    QAccessibleInterface* engines = QAccessible::queryAccessibleInterface(&engine);
    QVERIFY(engines);
    QVERIFY(engines->textInterface());
    QVERIFY(!dynamic_cast<AccessibleScriptEditor*>(engines));
}

void TestEditorAccessibility::characterCountIsInEditorPositions_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("count");
    QTest::newRow("multi-byte characters") << sample << 17;
    QTest::newRow("one per line break") << u"a\r\nb\rc\n"_s << 6;
    QTest::newRow("empty") << QString() << 0;
}

void TestEditorAccessibility::characterCountIsInEditorPositions()
{
    QFETCH(QString, document);
    QFETCH(int, count);
    box->setDocumentText(document);
    QCOMPARE(text()->characterCount(), count);
}

void TestEditorAccessibility::textIsReadInEditorPositions_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("read");
    QTest::newRow("all") << 0 << 17 << sample;
    QTest::newRow("first line") << 0 << 5 << u"héllo"_s;
    QTest::newRow("a line break") << 5 << 6 << u"\n"_s;
    QTest::newRow("second line") << 6 << 13 << u"wörld €"_s;
    QTest::newRow("across a line break") << 12 << 16 << u"€\n"_s + emoji;
    QTest::newRow("beyond U+FFFF") << 14 << 16 << emoji;
    QTest::newRow("after it") << 16 << 17 << u"x"_s;
    QTest::newRow("half of it is all of it") << 15 << 16 << emoji;
    QTest::newRow("-1 is the end") << 14 << -1 << emoji + u"x"_s;
    QTest::newRow("cut at the end") << 16 << 99 << u"x"_s;
    QTest::newRow("empty") << 3 << 3 << QString();
}

void TestEditorAccessibility::textIsReadInEditorPositions()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, read);
    QCOMPARE(text()->text(from, to), read);
}

void TestEditorAccessibility::caretAndSelectionReadInEditorPositions()
{
    box->setSelectionStart(14);
    box->setSelectionLength(3);
    QCOMPARE(text()->selectionCount(), 1);
    int start = -1;
    int end = -1;
    text()->selection(0, &start, &end);
    QCOMPARE(start, 14);
    QCOMPARE(end, 17);
    QCOMPARE(text()->cursorPosition(), 17);
    // There is only one.
    text()->selection(1, &start, &end);
    QCOMPARE(start, 0);
    QCOMPARE(end, 0);

    box->setSelectionStart(16);
    QCOMPARE(text()->selectionCount(), 0);
    QCOMPARE(text()->cursorPosition(), 16);
}

void TestEditorAccessibility::caretAndSelectionAreSetInEditorPositions()
{
    text()->setSelection(0, 6, 11);
    QCOMPARE(box->selectedText(), u"wörld"_s);
    QCOMPARE(box->selectionStart(), 6);
    QCOMPARE(box->selectionLength(), 5);

    // Either way round.
    text()->setSelection(0, 16, 12);
    QCOMPARE(box->selectedText(), u"€\r\n"_s + emoji);

    text()->removeSelection(0);
    QCOMPARE(box->selectionLength(), 0);
    QCOMPARE(box->selectionStart(), 16);

    text()->addSelection(14, 16);
    QCOMPARE(box->selectedText(), emoji);

    text()->setCursorPosition(13);
    QCOMPARE(box->selectionStart(), 13);
    QCOMPARE(box->selectionLength(), 0);
    QCOMPARE(text()->cursorPosition(), 13);

    // Half a character beyond U+FFFF is its start, not the start of the text.
    text()->setCursorPosition(15);
    QCOMPARE(text()->cursorPosition(), 14);
    text()->setSelection(0, 15, 17);
    QCOMPARE(box->selectedText(), emoji + u"x"_s);

    text()->setCursorPosition(99);
    QCOMPARE(text()->cursorPosition(), 17);
}

void TestEditorAccessibility::textAroundAnOffset_data()
{
    // -1, 0, 1: the piece before, at or after the offset.
    QTest::addColumn<int>("where");
    QTest::addColumn<int>("boundary");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("read");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");

    constexpr int before = -1;
    constexpr int at = 0;
    constexpr int after = 1;
    constexpr int character = QAccessible::CharBoundary;
    constexpr int word = QAccessible::WordBoundary;
    constexpr int line = QAccessible::LineBoundary;
    constexpr int whole = QAccessible::NoBoundary;

    QTest::newRow("character at é") << at << character << 1 << u"é"_s << 1 << 2;
    QTest::newRow("character at U+1F600") << at << character << 14 << emoji << 14 << 16;
    QTest::newRow("character at its second half") << at << character << 15 << emoji << 14 << 16;
    QTest::newRow("character before x") << before << character << 16 << emoji << 14 << 16;
    QTest::newRow("character after a line break") << after << character << 13 << emoji << 14 << 16;
    QTest::newRow("character at the end") << at << character << 17 << QString() << -1 << -1;
    QTest::newRow("character before the end") << before << character << 17 << u"x"_s << 16 << 17;
    QTest::newRow("character before the start")
        << before << character << 0 << QString() << -1 << -1;

    QTest::newRow("word inside") << at << word << 8 << u"wörld"_s << 6 << 11;
    QTest::newRow("word at its start") << at << word << 6 << u"wörld"_s << 6 << 11;
    QTest::newRow("word with é") << at << word << 2 << u"héllo"_s << 0 << 5;
    QTest::newRow("word at a line break") << at << word << 5 << u"\n"_s << 5 << 6;
    QTest::newRow("word before one on the next line") << before << word << 7 << u"\n"_s << 5 << 6;
    QTest::newRow("word after the last on a line") << after << word << 1 << u"\n"_s << 5 << 6;
    QTest::newRow("word after the first line") << after << word << 5 << u"wörld"_s << 6 << 11;

    QTest::newRow("line with its break") << at << line << 8 << u"wörld €\n"_s << 6 << 14;
    QTest::newRow("line at its break") << at << line << 13 << u"wörld €\n"_s << 6 << 14;
    QTest::newRow("line before") << before << line << 8 << u"héllo\n"_s << 0 << 6;
    QTest::newRow("line after") << after << line << 8 << emoji + u"x"_s << 14 << 17;
    QTest::newRow("last line at the end") << at << line << 17 << emoji + u"x"_s << 14 << 17;
    QTest::newRow("-1 is the end") << at << line << -1 << emoji + u"x"_s << 14 << 17;
    QTest::newRow("no line after the last") << after << line << 15 << QString() << -1 << -1;
    QTest::newRow("no line before the first") << before << line << 3 << QString() << -1 << -1;

    QTest::newRow("whole text") << at << whole << 9 << sample << 0 << 17;
    QTest::newRow("nothing before the whole") << before << whole << 9 << QString() << -1 << -1;
    QTest::newRow("offset past the end") << at << character << 18 << QString() << -1 << -1;
}

void TestEditorAccessibility::textAroundAnOffset()
{
    QFETCH(int, where);
    QFETCH(int, boundary);
    QFETCH(int, offset);
    QFETCH(QString, read);
    QFETCH(int, start);
    QFETCH(int, end);
    const auto type = static_cast<QAccessible::TextBoundaryType>(boundary);
    int from = -2;
    int to = -2;
    const QString found = where < 0   ? text()->textBeforeOffset(offset, type, &from, &to)
                          : where > 0 ? text()->textAfterOffset(offset, type, &from, &to)
                                      : text()->textAtOffset(offset, type, &from, &to);
    QCOMPARE(found, read);
    QCOMPARE(from, start);
    QCOMPARE(to, end);
}

void TestEditorAccessibility::wordsAreThoseOfQtsPlainTextField_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("currency sign after a number") << u"costs 5€ now"_s;
    QTest::newRow("typographic quotes") << u"say “quoted” now"_s;
    QTest::newRow("ASCII punctuation and double blanks") << u"a, b.c  d(e) \"f\""_s;
    QTest::newRow("tabs and an apostrophe") << u"\tset it's\t= 3;"_s;
}

// A screen reader asking for the word at each offset hears what Qt's own
// plain text field tells it for the same line.
void TestEditorAccessibility::wordsAreThoseOfQtsPlainTextField()
{
    QFETCH(QString, line);
    box->setDocumentText(u"first line\n"_s + line + u"\nlast"_s);
    QPlainTextEdit field(line);
    QAccessibleInterface* reference = QAccessible::queryAccessibleInterface(&field);
    QVERIFY(reference && reference->textInterface());
    constexpr int lineStart = 11;
    for (int offset = 0; offset < line.size(); ++offset) {
        int start = -2;
        int end = -2;
        const QString expected = reference->textInterface()->textAtOffset(
            offset, QAccessible::WordBoundary, &start, &end);
        int from = -2;
        int to = -2;
        const QString found =
            text()->textAtOffset(lineStart + offset, QAccessible::WordBoundary, &from, &to);
        QCOMPARE(found, expected);
        QCOMPARE(from, lineStart + start);
        QCOMPARE(to, lineStart + end);
    }
}

void TestEditorAccessibility::charactersAreFoundOnScreen()
{
    showBox();
    // On each line, including after characters of two, three and four bytes.
    for (const int offset : {0, 1, 2, 6, 7, 12, 14, 16}) {
        const QRect rect = text()->characterRect(offset);
        QVERIFY2(rect.isValid(), QByteArray::number(offset));
        QCOMPARE(text()->offsetAtPoint(rect.center()), offset);
    }
    // Side by side on a line, one below the other across lines.
    QCOMPARE(text()->characterRect(2).left(), text()->characterRect(1).right() + 1);
    QCOMPARE(text()->characterRect(16).left(), text()->characterRect(14).right() + 1);
    QCOMPARE(text()->characterRect(6).left(), text()->characterRect(0).left());
    QVERIFY(text()->characterRect(6).top() > text()->characterRect(0).top());
    QVERIFY(text()->characterRect(5).isValid());
    QCOMPARE(text()->characterRect(17), QRect());
}

void TestEditorAccessibility::attributesDescribeARunOfOneFormat()
{
    box->setSelectionStart(6);
    box->setSelectionLength(5);
    QCOMPARE(box->changeSelectionFormat({.bold = true}), EditorControl::FormatResult::Written);
    QCOMPARE(box->changeSelectionFormat({.strikeout = true}), EditorControl::FormatResult::Written);

    int start = -1;
    int end = -1;
    const QString bold = text()->attributes(8, &start, &end);
    QCOMPARE(start, 6);
    QCOMPARE(end, 11);
    QVERIFY2(bold.contains(u"font-weight:bold;"_s), qPrintable(bold));
    QVERIFY2(bold.contains(u"text-line-through-type:single;"_s), qPrintable(bold));

    const QString plain = text()->attributes(12, &start, &end);
    QCOMPARE(start, 11);
    QCOMPARE(end, 13);
    QVERIFY2(plain.contains(u"font-weight:normal;"_s), qPrintable(plain));
    QVERIFY2(!plain.contains(u"line-through"_s), qPrintable(plain));
}

void TestEditorAccessibility::editingKeepsFormattingAndTheModifiedState()
{
    auto* editable = QAccessible::queryAccessibleInterface(box)->editableTextInterface();
    box->setSelectionStart(6);
    box->setSelectionLength(5);
    QCOMPARE(box->changeSelectionFormat({.bold = true}), EditorControl::FormatResult::Written);
    box->setModified(false);

    // Inside bold text, inserted text is bold too.
    editable->insertText(8, u"ZZ"_s);
    QCOMPARE(box->documentText(), u"héllo\r\nwöZZrld €\r\n"_s + emoji + u"x"_s);
    QVERIFY(box->isModified());
    box->setSelectionStart(8);
    box->setSelectionLength(2);
    QCOMPARE(box->selectionFormat().bold, std::optional(true));

    editable->deleteText(0, 6);
    QCOMPARE(box->documentText(), u"wöZZrld €\r\n"_s + emoji + u"x"_s);

    // Half of the character beyond U+FFFF stands for all of it.
    editable->replaceText(11, 12, u"a\nb"_s);
    QCOMPARE(box->documentText(), u"wöZZrld €\r\na\r\nbx"_s);
}

void TestEditorAccessibility::changesAreToldWithEditorPositions()
{
    startListening();

    box->setSelectionStart(16);
    QTest::keyClick(box, Qt::Key_Backspace);
    settle();
    QCOMPARE(heard, std::vector{removed(14, emoji)});

    heard.clear();
    // As a keyboard with these keys types them.
    for (const QString& typed : {u"é"_s, u"€"_s})
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, typed, Qt::NoModifier);
    settle();
    QCOMPARE(heard, (std::vector{inserted(14, u"é"_s), inserted(15, u"€"_s)}));

    // Replacing across a line break: out first, then in.
    heard.clear();
    box->setSelectionStart(4);
    box->setSelectionLength(3);
    box->setSelectedText(u"O\r\nW"_s);
    settle();
    QCOMPARE(heard, (std::vector{removed(4, u"o\nw"_s), inserted(4, u"O\nW"_s)}));

    // Through the interface as well.
    heard.clear();
    QAccessible::queryAccessibleInterface(box)->editableTextInterface()->replaceText(1, 2, u"e"_s);
    settle();
    QCOMPARE(heard, (std::vector{removed(1, u"é"_s), inserted(1, u"e"_s)}));
    QCOMPARE(box->documentText(), u"hellO\r\nWörld €\r\né€x"_s);
}

void TestEditorAccessibility::changesAreToldOnceMade()
{
    startListening();
    // What a screen reader reads back as it hears of each change.
    static std::vector<QString> readBack;
    readBack.clear();
    EditorAccessibility::setListener([](QAccessibleEvent* event) {
        if (event->type() == QAccessible::TextInserted || event->type() == QAccessible::TextRemoved)
            readBack.push_back(QAccessible::queryAccessibleInterface(event->object())
                                   ->textInterface()
                                   ->text(0, -1));
    });

    box->setSelectionStart(16);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_A);
    box->setSelectionStart(0);
    box->setSelectionLength(6);
    box->setSelectedText(u"B"_s);
    settle();
    QCOMPARE(readBack, (std::vector{u"héllo\nwörld €\nx"_s, u"héllo\nwörld €\nax"_s,
                                    u"wörld €\nax"_s, u"Bwörld €\nax"_s}));
}

void TestEditorAccessibility::caretAndSelectionMovesAreTold()
{
    showBox();
    startListening();

    box->setSelectionStart(16);
    QTRY_COMPARE(heard, std::vector{caretAt(16)});

    heard.clear();
    text()->setSelection(0, 6, 11);
    QTRY_COMPARE(heard, (std::vector{selected(6, 11), caretAt(11)}));

    heard.clear();
    box->setSelectionLength(8);
    QTRY_COMPARE(heard, (std::vector{selected(6, 14), caretAt(14)}));

    heard.clear();
    // The caret stays where it was, at the end of the selection.
    QTest::keyClick(box, Qt::Key_Right);
    QTRY_COMPARE(heard, std::vector{selected(14, 14)});

    // Past a character beyond U+FFFF: two units on.
    heard.clear();
    QTest::keyClick(box, Qt::Key_Right);
    QTRY_COMPARE(heard, std::vector{caretAt(16)});

    // Typing tells of the text before the caret moves past it.
    heard.clear();
    QTest::keyClick(box, Qt::Key_A);
    QTRY_COMPARE(heard, (std::vector{inserted(16, u"a"_s), caretAt(17)}));
}

void TestEditorAccessibility::nothingIsToldWhileNoOneListens()
{
    // The listener would hear whatever the editor sends; with no screen
    // reader there it sends nothing.
    showBox();
    settle();
    EditorAccessibility::setListener(listen);
    QSignalSpy updates(box, &QsciScintillaBase::SCN_UPDATEUI);
    box->setSelectionStart(16);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, u"ab"_s);
    box->setSelectionStart(2);
    box->setSelectionLength(3);
    // The engine has told of the moves, and the editor let them pass.
    QTRY_VERIFY(!updates.isEmpty());
    settle();
    QCOMPARE(heard, std::vector<Heard>{});
}

QTEST_MAIN(TestEditorAccessibility)
#include "tst_editoraccessibility.moc"
