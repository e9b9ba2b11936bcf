#include "editor/ScriptEditor.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Text goes into and out of the engine, and its formats are read, in pieces
// of 64 KiB: these put characters of every width and line breaks astride a
// piece boundary, shifted byte by byte.
constexpr qsizetype piece = qsizetype(1) << 16;

QString astride(qsizetype shift)
{
    QString text(piece - shift, u'x');
    for (int i = 0; i < 3; ++i)
        text += u"\U0001F600\u20AC\u00E9\r\n\n\r"_s;
    return text + u"end"_s;
}

QString withCrLf(QString text)
{
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    return text.replace(u"\n"_s, u"\r\n"_s);
}

} // namespace

class LargeTextTest : public QObject {
    Q_OBJECT
private slots:
    void textAstrideAPieceComesBackWhole_data();
    void textAstrideAPieceComesBackWhole();
    void formatAstrideAPieceIsReadBack();
};

void LargeTextTest::textAstrideAPieceComesBackWhole_data()
{
    QTest::addColumn<qsizetype>("shift");
    QTest::addColumn<bool>("inPieces");
    for (qsizetype shift = 0; shift < 8; ++shift) {
        QTest::addRow("whole, shifted %lld", qlonglong(shift)) << shift << false;
        QTest::addRow("in pieces, shifted %lld", qlonglong(shift)) << shift << true;
    }
}

void LargeTextTest::textAstrideAPieceComesBackWhole()
{
    QFETCH(qsizetype, shift);
    QFETCH(bool, inPieces);
    const QString text = astride(shift);
    ScriptEditor editor;
    if (inPieces) {
        // Cut where a caller may: between characters and line breaks.
        editor.setDocumentText(text.size(), [&text](const auto& onPiece) {
            const qsizetype cut = piece - 3;
            onPiece(QStringView(text).first(cut));
            onPiece(QStringView(text).sliced(cut));
        });
    } else {
        editor.setDocumentText(text);
    }
    const QString expected = withCrLf(text);
    QCOMPARE(editor.documentText(), expected);
    QCOMPARE(editor.documentTextLength(), expected.size());

    QString joined;
    editor.readDocumentText([&joined](QStringView part) {
        QVERIFY(!part.isEmpty());
        QVERIFY2(!part.back().isHighSurrogate(), "a piece ends inside a surrogate pair");
        joined += part;
    });
    QCOMPARE(joined, expected);

    // The selection reads the same characters across the boundary: two
    // letters, then each width of character and three line breaks.
    QString lf = text;
    lf.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    const qsizetype from = piece - shift - 2;
    editor.setSelectionStart(int(from));
    editor.setSelectionLength(12);
    QCOMPARE(editor.selectedText(), lf.mid(from, 12).replace(u"\n"_s, u"\r\n"_s));
}

void LargeTextTest::formatAstrideAPieceIsReadBack()
{
    ScriptEditor editor;
    editor.setDocumentText(QString(piece + 100, u'a'));
    editor.setSelectionStart(int(piece - 5));
    editor.setSelectionLength(10);
    QCOMPARE(editor.changeSelectionFormat({.bold = true}), EditorControl::FormatResult::Written);
    QCOMPARE(editor.selectionFormat().bold, std::optional<bool>(true));

    // Bold on both sides of the boundary, and only there.
    editor.setSelectionStart(int(piece - 10));
    editor.setSelectionLength(20);
    QCOMPARE(editor.selectionFormat().bold, std::nullopt);
    editor.setSelectionStart(int(piece + 1));
    editor.setSelectionLength(4);
    QCOMPARE(editor.selectionFormat().bold, std::optional<bool>(true));
    editor.setSelectionStart(int(piece + 5));
    editor.setSelectionLength(90);
    QCOMPARE(editor.selectionFormat().bold, std::optional<bool>(false));
}

QTEST_MAIN(LargeTextTest)
#include "tst_largetext.moc"
