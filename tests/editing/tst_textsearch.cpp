#include "editing/TextSearch.h"
#include "editor/ScriptEditor.h"

#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

class TestTextSearch : public QObject {
    Q_OBJECT
private slots:
    void searchSelectsTheFirstOccurrenceFromTheSelectionStart_data();
    void searchSelectsTheFirstOccurrenceFromTheSelectionStart();
    void searchingAgainStepsThroughEveryOccurrence();
    void emptySearchTextChangesNothing();
    void matchIsScrolledIntoView();
    void positionsCountCharactersNotBytes();
};

void TestTextSearch::searchSelectsTheFirstOccurrenceFromTheSelectionStart_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("foundStart");
    QTest::addColumn<int>("foundLength");

    QTest::newRow("after the caret") << u"abc abc"_s << 1 << 0 << u"abc"_s << 4 << 3;
    QTest::newRow("at the caret") << u"xabc"_s << 1 << 0 << u"abc"_s << 1 << 3;
    QTest::newRow("first of several") << u"ab ab ab"_s << 0 << 0 << u"ab"_s << 0 << 2;
    // A selection that is an occurrence already (the last match) steps on to the next.
    QTest::newRow("selection is a match: the next one")
        << u"abc abc"_s << 0 << 3 << u"abc"_s << 4 << 3;
    QTest::newRow("selection is the last match") << u"abc abc"_s << 4 << 3 << u"abc"_s << 7 << 0;
    // One step past a match's first character is inside a surrogate pair.
    QTest::newRow("selected match beyond the Basic Multilingual Plane")
        << u"\U0001F600 \U0001F600"_s << 0 << 2 << u"\U0001F600"_s << 3 << 2;
    QTest::newRow("overlapping matches step by one") << u"aaa"_s << 0 << 2 << u"aa"_s << 1 << 2;
    QTest::newRow("selection holds more than the match")
        << u"abc abc"_s << 0 << 4 << u"abc"_s << 0 << 3;
    QTest::newRow("selection differs in case") << u"ABC abc"_s << 0 << 3 << u"abc"_s << 4 << 3;
    QTest::newRow("selected match across a line break")
        << u"ab\r\ncd ab\r\ncd"_s << 1 << 3 << u"b\r\nc"_s << 7 << 3;
    QTest::newRow("from the start of the selection") << u"aXa"_s << 1 << 2 << u"a"_s << 2 << 1;
    QTest::newRow("ends at the end of the document") << u"xx abc"_s << 0 << 0 << u"abc"_s << 3 << 3;
    QTest::newRow("only occurrence before the caret")
        << u"abc xyz"_s << 4 << 0 << u"abc"_s << 7 << 0;
    QTest::newRow("caret at the end") << u"abc"_s << 3 << 0 << u"abc"_s << 3 << 0;
    QTest::newRow("case differs") << u"abc"_s << 0 << 0 << u"ABC"_s << 3 << 0;
    QTest::newRow("longer than the rest") << u"abcdef"_s << 4 << 0 << u"efg"_s << 6 << 0;
    QTest::newRow("empty document") << u""_s << 0 << 0 << u"a"_s << 0 << 0;
    QTest::newRow("blanks are not trimmed") << u"ab  b"_s << 0 << 0 << u" b "_s << 5 << 0;
    // Each line break is one position of the editor.
    QTest::newRow("after line breaks") << u"l1\r\nl2\r\nfind"_s << 0 << 0 << u"find"_s << 6 << 4;
    QTest::newRow("across a line break") << u"ab\r\ncd"_s << 0 << 0 << u"b\r\nc"_s << 1 << 3;
    QTest::newRow("LF is a line break") << u"ab\r\ncd"_s << 0 << 0 << u"b\nc"_s << 1 << 3;
    QTest::newRow("no match moves to the end past lines")
        << u"one\r\ntwo\r\n"_s << 2 << 3 << u"zzz"_s << 8 << 0;
    QTest::newRow("not a prefix of the match") << u"abab"_s << 1 << 0 << u"aba"_s << 4 << 0;
}

void TestTextSearch::searchSelectsTheFirstOccurrenceFromTheSelectionStart()
{
    QFETCH(QString, document);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, search);
    QFETCH(int, foundStart);
    QFETCH(int, foundLength);
    ScriptEditor editor;
    editor.setDocumentText(document);
    editor.setSelectionStart(start);
    editor.setSelectionLength(length);

    QVERIFY(TextSearch::selectNextOccurrence(editor, search));

    QCOMPARE(editor.selectionStart(), foundStart);
    QCOMPARE(editor.selectionLength(), foundLength);
    if (foundLength > 0)
        QCOMPARE(editor.selectedText(),
                 QString(search).replace(u"\r\n"_s, u"\n"_s).replace(u'\n', u"\r\n"_s));
    QCOMPARE(editor.documentText(), document);
}

void TestTextSearch::searchingAgainStepsThroughEveryOccurrence()
{
    ScriptEditor editor;
    editor.setDocumentText(u"ONTRIGGER=STEP\r\nONTRIGGER=TIMER\r\n\r\nONTRIGGER=HEAR"_s);
    editor.setSelectionStart(0);
    QList<int> visited;
    for (int search = 0; search < 4; ++search) {
        QVERIFY(TextSearch::selectNextOccurrence(editor, u"ONTRIGGER="));
        visited << editor.selectionStart();
    }
    QCOMPARE(visited, (QList<int>{0, 15, 32, 46}));
    QCOMPARE(editor.selectionLength(), 0);
}

void TestTextSearch::emptySearchTextChangesNothing()
{
    ScriptEditor editor;
    editor.setDocumentText(u"abc"_s);
    editor.setSelectionStart(1);
    editor.setSelectionLength(1);

    QVERIFY(!TextSearch::selectNextOccurrence(editor, u""));

    QCOMPARE(editor.selectionStart(), 1);
    QCOMPARE(editor.selectionLength(), 1);
}

void TestTextSearch::matchIsScrolledIntoView()
{
    ScriptEditor editor;
    editor.resize(300, 200);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QString document;
    for (int line = 0; line < 2000; ++line)
        document += u"line %1\r\n"_s.arg(line);
    editor.setDocumentText(document + u"TARGET"_s);
    editor.setSelectionStart(0);
    QCOMPARE(editor.verticalScrollBar()->value(), 0);

    QVERIFY(TextSearch::selectNextOccurrence(editor, u"TARGET"));

    QCOMPARE(editor.selectedText(), u"TARGET"_s);
    QVERIFY(editor.viewport()->rect().contains(editor.caretRect()));
}

// The text is searched as UTF-8, but a match is selected in characters:
// accented letters, the euro sign and a character beyond the Basic
// Multilingual Plane (two UTF-16 units) before it shift nothing.
void TestTextSearch::positionsCountCharactersNotBytes()
{
    ScriptEditor editor;
    editor.setDocumentText(u"caf\u00e9 \u20ac \U0001F600\r\nna\u00efve caf\u00e9"_s);
    editor.setSelectionStart(0);

    QVERIFY(TextSearch::selectNextOccurrence(editor, u"caf\u00e9"));
    QCOMPARE(editor.selectionStart(), 0);
    QCOMPARE(editor.selectionLength(), 4);
    QVERIFY(TextSearch::selectNextOccurrence(editor, u"caf\u00e9"));
    QCOMPARE(editor.selectionStart(), 16);
    QCOMPARE(editor.selectionLength(), 4);
    QCOMPARE(editor.selectedText(), u"caf\u00e9"_s);

    editor.setSelectionStart(0);
    QVERIFY(TextSearch::selectNextOccurrence(editor, u"\U0001F600\r\nna\u00efve"));
    QCOMPARE(editor.selectionStart(), 7);
    QCOMPARE(editor.selectionLength(), 8);
}

QTEST_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
