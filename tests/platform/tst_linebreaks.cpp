#include "platform/LineBreaks.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestLineBreaks : public QObject {
    Q_OBJECT
private slots:
    void linesEndAtEachLineBreak_data();
    void linesEndAtEachLineBreak();
    void walkStopsWhenTold();
    void editorBreaksBecomeCrLf_data();
    void editorBreaksBecomeCrLf();
    void everyLineEndBecomesOneLf_data();
    void everyLineEndBecomesOneLf();
};

void TestLineBreaks::linesEndAtEachLineBreak_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("editorSeparatorsEndLines");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty text") << QString() << false << QStringList{u""_s};
    QTest::newRow("no line break") << u"ab"_s << false << QStringList{u"ab"_s};
    QTest::newRow("CR LF") << u"a\r\nb"_s << false << QStringList{u"a"_s, u"b"_s};
    QTest::newRow("lone LF and lone CR")
        << u"a\nb\rc"_s << false << QStringList{u"a"_s, u"b"_s, u"c"_s};
    QTest::newRow("lone CR at the very end") << u"a\r"_s << false << QStringList{u"a"_s, u""_s};
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << false << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("LF CR") << u"a\n\rb"_s << false << QStringList{u"a"_s, u""_s, u"b"_s};
    QTest::newRow("only line breaks")
        << u"\r\n\n\r"_s << false << QStringList{u""_s, u""_s, u""_s, u""_s};
    QTest::newRow("editor separators as text")
        << u"a\u2028b\u2029c"_s << false << QStringList{u"a\u2028b\u2029c"_s};
    QTest::newRow("editor separators end lines")
        << u"a\u2028b\u2029c\r\n"_s << true << QStringList{u"a"_s, u"b"_s, u"c"_s, u""_s};
}

// Over text, and over the same text as bytes where every character is one.
void TestLineBreaks::linesEndAtEachLineBreak()
{
    QFETCH(QString, text);
    QFETCH(bool, editorSeparatorsEndLines);
    QFETCH(QStringList, lines);
    const auto separators = editorSeparatorsEndLines ? LineBreaks::EditorSeparators::EndLines
                                                     : LineBreaks::EditorSeparators::AreText;
    QStringList found;
    QList<bool> ended;
    QVERIFY(LineBreaks::forEachLine(
        text,
        [&](QStringView line, bool lineEnded) {
            found << line.toString();
            ended << lineEnded;
        },
        separators));
    QCOMPARE(found, lines);
    QList<bool> expectedEnded(lines.size(), true);
    expectedEnded.last() = false;
    QCOMPARE(ended, expectedEnded);

    if (editorSeparatorsEndLines || text.contains(QChar::LineSeparator))
        return;
    const QByteArray bytes = text.toLatin1();
    found.clear();
    LineBreaks::forEachLine(bytes,
                            [&](QByteArrayView line, bool) { found << QString::fromLatin1(line); });
    QCOMPARE(found, lines);
}

void TestLineBreaks::walkStopsWhenTold()
{
    QStringList visited;
    const bool finished = LineBreaks::forEachLine(u"a\nb\nc", [&visited](QStringView line, bool) {
        visited << line.toString();
        return line != u"b";
    });
    QVERIFY(!finished);
    QCOMPARE(visited, (QStringList{u"a"_s, u"b"_s}));
}

void TestLineBreaks::editorBreaksBecomeCrLf_data()
{
    QTest::addColumn<QString>("editorText");
    QTest::addColumn<QString>("documentText");
    QTest::newRow("none") << u"abc"_s << u"abc"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("between blocks") << u"a\u2029b"_s << u"a\r\nb"_s;
    QTest::newRow("line separator") << u"a\u2028b"_s << u"a\r\nb"_s;
    QTest::newRow("leading and trailing") << u"\u2029a\u2029"_s << u"\r\na\r\n"_s;
    QTest::newRow("empty lines") << u"\u2029\u2029"_s << u"\r\n\r\n"_s;
    QTest::newRow("no-break space kept") << u"a\u00a0b"_s << u"a\u00a0b"_s;
}

void TestLineBreaks::editorBreaksBecomeCrLf()
{
    QFETCH(QString, editorText);
    QFETCH(QString, documentText);
    QCOMPARE(withCrLfLineBreaks(editorText), documentText);
}

void TestLineBreaks::everyLineEndBecomesOneLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("lone LF") << u"a\nb"_s << u"a\nb"_s;
    QTest::newRow("lone CR") << u"a\rb"_s << u"a\nb"_s;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << u"a\n\nb"_s;
    QTest::newRow("CR CR LF") << u"a\r\r\nb"_s << u"a\n\nb"_s;
    QTest::newRow("trailing CR") << u"a\r"_s << u"a\n"_s;
    QTest::newRow("mixed") << u"1\r\n2\n3\r4"_s << u"1\n2\n3\n4"_s;
}

void TestLineBreaks::everyLineEndBecomesOneLf()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(withLfLineBreaks(text), expected);
}

QTEST_GUILESS_MAIN(TestLineBreaks)
#include "tst_linebreaks.moc"
