#include "editor/LineBreaks.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestLineBreaks : public QObject {
    Q_OBJECT
private slots:
    void editorBreaksBecomeCrLf_data();
    void editorBreaksBecomeCrLf();
    void everyLineEndBecomesOneLf_data();
    void everyLineEndBecomesOneLf();
};

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
