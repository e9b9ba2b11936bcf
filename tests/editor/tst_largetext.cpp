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
    void positionsFollowEditsAcrossBlocks();
    void firstFormatKeepsWhatTheUserSees();
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
    QString lf = text;
    lf.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    const QByteArray utf8 = lf.toUtf8();
    if (inPieces) {
        // Cut anywhere, inside a character too, as a file is read.
        QVERIFY(editor.loadDocument(utf8.size(), [&utf8](const auto& onPiece) {
            const qsizetype cut = piece - 2;
            onPiece(QByteArrayView(utf8).first(cut));
            onPiece(QByteArrayView(utf8).sliced(cut));
            return true;
        }));
    } else {
        editor.setDocumentText(text);
    }
    const QString expected = withCrLf(text);
    QCOMPARE(editor.documentText(), expected);
    QCOMPARE(editor.documentUtf8(), utf8);
    QCOMPARE(editor.endPosition(), lf.size());

    // The selection reads the same characters across the boundary: two
    // letters, then each width of character and three line breaks.
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

// Positions are counted in blocks of the text, each kept up to date as the
// text changes: edits inside a block, across blocks, at their ends, and one
// larger than several blocks must all leave every position where the
// characters are.
void LargeTextTest::positionsFollowEditsAcrossBlocks()
{
    QString model;
    while (model.size() < 5 * piece)
        model += u"ON=@Click \u00E9\u20AC\U0001F600\n"_s;
    ScriptEditor editor;
    editor.setDocumentText(model);
    // Where a character starts, at or before the position.
    const auto boundary = [&model](qsizetype at) {
        return at > 0 && at < model.size() && model[at].isLowSurrogate() ? at - 1 : at;
    };
    const auto check = [&](const char* step) {
        QCOMPARE(editor.endPosition(), model.size());
        for (const qsizetype near : {qsizetype(0), piece - 7, 2 * piece + 3, model.size() - 9}) {
            const qsizetype at = boundary(near);
            const qsizetype length = boundary(at + 8) - at;
            if (at < 0 || at + length > model.size())
                continue;
            editor.setSelectionStart(int(at));
            editor.setSelectionLength(int(length));
            QVERIFY2(editor.selectedText() == model.mid(at, length).replace(u"\n"_s, u"\r\n"_s),
                     step);
        }
    };
    const auto replace = [&](qsizetype near, qsizetype length, const QString& text) {
        const qsizetype at = boundary(near);
        length = boundary(at + length) - at;
        editor.setSelectionStart(int(at));
        editor.setSelectionLength(int(length));
        editor.setSelectedText(text);
        model.replace(at, length, text);
    };
    check("first count");
    replace(10, 0, u"\U0001F600x"_s);
    check("insertion in the first block");
    replace(piece - 40, 100, u"\u00E9"_s);
    check("deletion across a block's end");
    replace(piece / 2, 3 * piece, QString());
    check("deletion over whole blocks");
    replace(model.size(), 0, QString(9 * piece, u'\u20AC'));
    check("insertion larger than several blocks");
    replace(0, model.size(), u"a\U0001F600b"_s);
    check("all but a little deleted");
    QCOMPARE(editor.find(u"b", 0), (EditorControl::Range{3, 1}));
}

// A document keeps no format for its characters until the first format
// command: the engine then moves its text into one that does, which the user
// must not notice.
void LargeTextTest::firstFormatKeepsWhatTheUserSees()
{
    QString text;
    for (int line = 0; line < 5000; ++line)
        text += u"line %1 \u00E9\n"_s.arg(line);
    ScriptEditor editor;
    editor.resize(400, 300);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    editor.setDocumentText(text);
    editor.setSelectionStart(int(text.indexOf(u"line 3000")));
    editor.setSelectionLength(4);
    editor.ensureSelectionVisible();
    using Sci = QsciScintillaBase;
    const long firstLine = editor.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE);
    QVERIFY(firstLine > 2000);
    const long tabWidth = editor.SendScintilla(Sci::SCI_GETTABWIDTH);

    QCOMPARE(editor.changeSelectionFormat({.bold = true}), EditorControl::FormatResult::Written);
    QCOMPARE(editor.selectedText(), u"line"_s);
    QCOMPARE(editor.SendScintilla(Sci::SCI_GETFIRSTVISIBLELINE), firstLine);
    QVERIFY(!editor.isModified());
    QCOMPARE(editor.documentText(), QString(text).replace(u"\n"_s, u"\r\n"_s));
    QCOMPARE(editor.selectionFormat().bold, std::optional<bool>(true));
    // What the engine keeps for each document, as before.
    QCOMPARE(editor.SendScintilla(Sci::SCI_GETTABWIDTH), tabWidth);
    QCOMPARE(editor.SendScintilla(Sci::SCI_GETCODEPAGE), long(Sci::SC_CP_UTF8));
    QCOMPARE(editor.SendScintilla(Sci::SCI_GETEOLMODE), long(Sci::SC_EOL_LF));
    QCOMPARE(editor.SendScintilla(Sci::SCI_GETUNDOCOLLECTION), 0L);

    // Typed text takes the format of the text before it, as in any document.
    editor.setSelectionStart(editor.selectionStart() + 2);
    QTest::keyClicks(&editor, u"xy"_s);
    editor.setSelectionStart(editor.selectionStart() - 2);
    editor.setSelectionLength(2);
    QCOMPARE(editor.selectedText(), u"xy"_s);
    QCOMPARE(editor.selectionFormat().bold, std::optional<bool>(true));
}

QTEST_MAIN(LargeTextTest)
#include "tst_largetext.moc"
