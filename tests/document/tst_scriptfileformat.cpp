#include "document/ScriptFileFormat.h"
#include "document/Windows1252.h"

#include <QStringDecoder>
#include <QTest>

using namespace Qt::StringLiterals;

class ScriptFileFormatTest : public QObject {
    Q_OBJECT
private slots:
    void everyByteValueComesBackAsTheSameByte();
    void bytesReadAsWindows1252_data();
    void bytesReadAsWindows1252();
    void replacedC1ControlsAreUnstorable();
    void lineEndsReadAsLf_data();
    void lineEndsReadAsLf();
    void lineEndsWrittenAsCrLf_data();
    void lineEndsWrittenAsCrLf();
    void unstorableCharactersCountedAndWrittenAsQuestionMarks_data();
    void unstorableCharactersCountedAndWrittenAsQuestionMarks();

    void encodingDecidedFromTheBytes_data();
    void encodingDecidedFromTheBytes();
    void utf8ReadWithoutTheMark_data();
    void utf8ReadWithoutTheMark();
    void utf8WrittenWithTheMarkItWasReadWith_data();
    void utf8WrittenWithTheMarkItWasReadWith();
    void piecesSplitAnywhereReadTheSame_data();
    void piecesSplitAnywhereReadTheSame();
    void largeTextIsWrittenInPiecesAndMayStop();
};

using ScriptFileFormat::Encoding;
Q_DECLARE_METATYPE(ScriptFileFormat::Encoding)

namespace {

QString read(const QByteArray& bytes, Encoding encoding = Encoding::Windows1252)
{
    // A U+FEFF that starts the text is text.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(ScriptFileFormat::textFromBytes(bytes, encoding));
}

// The bytes a save writes for the text, and what its plan said first: the
// plan's size must be the bytes' size, which an in-place save reserves.
struct Saved {
    QByteArray bytes;
    ScriptFileFormat::SavePlan plan;
};

Saved save(const QString& text, Encoding encoding = Encoding::Windows1252)
{
    const QByteArray utf8 = text.toUtf8();
    Saved saved{ScriptFileFormat::bytesFromText(utf8, encoding),
                ScriptFileFormat::planSave(utf8, encoding)};
    if (saved.plan.size != saved.bytes.size())
        qWarning("planned %lld bytes, wrote %lld", qlonglong(saved.plan.size),
                 qlonglong(saved.bytes.size()));
    return saved;
}

} // namespace

void ScriptFileFormatTest::everyByteValueComesBackAsTheSameByte()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all += char(byte);
    const QString text = Windows1252::decode(all);
    QCOMPARE(text.size(), 256);
    for (int byte = 0; byte < 256; ++byte)
        QCOMPARE(Windows1252::fromUnicode(text[byte]), byte);
}

void ScriptFileFormatTest::bytesReadAsWindows1252_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("NUL") << 0x00 << 0x0000;
    QTest::newRow("A") << 0x41 << 0x0041;
    QTest::newRow("DEL") << 0x7F << 0x007F;
    // The published Windows-1252 table from 0x80 to 0x9F; the five bytes it
    // leaves unassigned stand for the C1 control of the same number.
    const std::pair<int, int> high[] = {
        {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A}, {0x83, 0x0192}, {0x84, 0x201E},
        {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6}, {0x89, 0x2030},
        {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D},
        {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C},
        {0x94, 0x201D}, {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC},
        {0x99, 0x2122}, {0x9A, 0x0161}, {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D},
        {0x9E, 0x017E}, {0x9F, 0x0178},
    };
    for (const auto& [byte, codePoint] : high)
        QTest::addRow("0x%02X is U+%04X", byte, codePoint) << byte << codePoint;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
}

void ScriptFileFormatTest::bytesReadAsWindows1252()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QChar character{char16_t(codePoint)};
    QCOMPARE(read(QByteArray(1, char(byte))), QString(character));
    QCOMPARE(Windows1252::fromUnicode(character), byte);
    const Saved saved = save(QString(character));
    QCOMPARE(saved.bytes, QByteArray(1, char(byte)) + "\r\n");
    QCOMPARE(saved.plan.size, 3);
    QCOMPARE(saved.plan.unstorableCount, 0);
}

// Where the code page put a printable character, the C1 control of that
// number has no byte: writing it must not turn it into that character.
void ScriptFileFormatTest::replacedC1ControlsAreUnstorable()
{
    for (char16_t c = 0x80; c <= 0x9F; ++c) {
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            continue;
        QCOMPARE(Windows1252::fromUnicode(QChar(c)), -1);
        const Saved saved = save(QString(QChar(c)));
        QCOMPARE(saved.bytes, "?\r\n"_ba);
        QCOMPARE(saved.plan.unstorableCount, 1);
    }
}

void ScriptFileFormatTest::lineEndsReadAsLf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << "a\r\nb\r\n"_ba << u"a\nb\n"_s;
    QTest::newRow("lone CR") << "a\rb\r"_ba << u"a\nb\n"_s;
    QTest::newRow("LF CR is two") << "a\n\rb"_ba << u"a\n\nb"_s;
    QTest::newRow("CR CR LF is two") << "a\r\r\nb"_ba << u"a\n\nb"_s;
    QTest::newRow("none") << "ab\x85"_ba << u"ab\u2026"_s;
    QTest::newRow("empty") << QByteArray() << QString();
}

void ScriptFileFormatTest::lineEndsReadAsLf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(read(bytes), text);
}

void ScriptFileFormatTest::lineEndsWrittenAsCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty document") << u""_s << "\r\n"_ba;
    QTest::newRow("no final line end") << u"abc"_s << "abc\r\n"_ba;
    QTest::newRow("final line end kept, none added") << u"abc\n"_s << "abc\r\n"_ba;
    QTest::newRow("only a line end") << u"\n"_s << "\r\n"_ba;
    QTest::newRow("empty last lines kept") << u"a\n\n"_s << "a\r\n\r\n"_ba;
    QTest::newRow("between lines") << u"a\nb"_s << "a\r\nb\r\n"_ba;
    QTest::newRow("eight bytes apart")
        << u"0123456\n0123456\n0123456"_s << "0123456\r\n0123456\r\n0123456\r\n"_ba;
    QTest::newRow("several in eight bytes")
        << u"\n\n\n\n\n\n\n\n\nx"_s << "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\nx\r\n"_ba;
}

void ScriptFileFormatTest::lineEndsWrittenAsCrLf()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8}) {
        const Saved saved = save(text, encoding);
        QCOMPARE(saved.bytes, bytes);
        QCOMPARE(saved.plan.size, bytes.size());
        QCOMPARE(saved.plan.unstorableCount, 0);
    }
}

void ScriptFileFormatTest::unstorableCharactersCountedAndWrittenAsQuestionMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("line");
    QTest::addColumn<int>("column");
    QTest::newRow("all storable") << u"\u20AC\u2026 caf\u00E9"_s << "\x80\x85 caf\xE9\r\n"_ba << 0
                                  << 0 << 0;
    QTest::newRow("one, first line") << u"a\u4E2Db"_s << "a?b\r\n"_ba << 1 << 1 << 2;
    QTest::newRow("two, second line")
        << u"ab\ncd\u0100e\u03A9"_s << "ab\r\ncd?e?\r\n"_ba << 2 << 2 << 3;
    QTest::newRow("third line, after letters of two bytes") << u"a\nb\n\u00E9\u00E9c\u0394"_s
                                                            << "a\r\nb\r\n\xE9\xE9"
                                                               "c?\r\n"_ba
                                                            << 1 << 3 << 4;
    QTest::newRow("past the first eight bytes")
        << u"0123456789\u0394"_s << "0123456789?\r\n"_ba << 1 << 1 << 11;
    QTest::newRow("outside the BMP is one character")
        << u"x\U0001F600y\U0001F600"_s << "x?y?\r\n"_ba << 2 << 1 << 2;
}

void ScriptFileFormatTest::unstorableCharactersCountedAndWrittenAsQuestionMarks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(int, line);
    QFETCH(int, column);
    const Saved saved = save(text);
    QCOMPARE(saved.bytes, bytes);
    QCOMPARE(saved.plan.size, bytes.size());
    QCOMPARE(saved.plan.unstorableCount, count);
    QCOMPARE(saved.plan.firstUnstorableLine, line);
    QCOMPARE(saved.plan.firstUnstorableColumn, column);
}

void ScriptFileFormatTest::encodingDecidedFromTheBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("empty") << QByteArray() << Encoding::Windows1252;
    QTest::newRow("ASCII") << "ON=@DClick\n"_ba << Encoding::Windows1252;
    QTest::newRow("UTF-8 letters") << "Invit\xC3\xA9"_ba << Encoding::Utf8;
    QTest::newRow("UTF-8 past the first 8 bytes")
        << "0123456789abcdef\xE2\x82\xAC"_ba << Encoding::Utf8;
    QTest::newRow("outside the BMP") << "\xF0\x9F\x98\x80"_ba << Encoding::Utf8;
    QTest::newRow("mark and UTF-8") << "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9"_ba << Encoding::Utf8WithBom;
    QTest::newRow("mark and ASCII") << "\xEF\xBB\xBF[EVENTS]"_ba << Encoding::Utf8WithBom;
    QTest::newRow("only the mark") << "\xEF\xBB\xBF"_ba << Encoding::Utf8WithBom;
    QTest::newRow("Windows-1252 letter") << "Doid\xE3o ##"_ba << Encoding::Windows1252;
    QTest::newRow("one bad sequence among UTF-8")
        << "caf\xC3\xA9 \xA9 2024 \xC3\xA9t\xC3\xA9"_ba << Encoding::Windows1252;
    QTest::newRow("mark, then not UTF-8") << "\xEF\xBB\xBF\xE9t\xE9"_ba << Encoding::Windows1252;
    QTest::newRow("cut short at the end") << "abc\xE2\x82"_ba << Encoding::Windows1252;
    QTest::newRow("overlong form") << "\xC0\xAF"_ba << Encoding::Windows1252;
    QTest::newRow("surrogate half") << "\xED\xA0\x80"_ba << Encoding::Windows1252;
    QTest::newRow("NUL among UTF-8") << QByteArray("\0\xC3\xA9", 3) << Encoding::Utf8;
}

void ScriptFileFormatTest::encodingDecidedFromTheBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QCOMPARE(ScriptFileFormat::detectEncoding(bytes), encoding);
}

void ScriptFileFormatTest::utf8ReadWithoutTheMark_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::newRow("letters") << "Invit\xC3\xA9\r\n"_ba << Encoding::Utf8 << u"Invit\u00E9\n"_s;
    QTest::newRow("mark left out")
        << "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9"_ba << Encoding::Utf8WithBom << u"\u00E9t\u00E9"_s;
    QTest::newRow("a second mark is text")
        << "\xEF\xBB\xBF\xEF\xBB\xBFx"_ba << Encoding::Utf8WithBom << u"\uFEFFx"_s;
    QTest::newRow("line ends") << "a\rb\r\nc\n\xE2\x82\xAC\r"_ba << Encoding::Utf8
                               << u"a\nb\nc\n\u20AC\n"_s;
    QTest::newRow("outside the BMP")
        << "\xF0\x9F\x98\x80!"_ba << Encoding::Utf8 << u"\U0001F600!"_s;
}

void ScriptFileFormatTest::utf8ReadWithoutTheMark()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    QCOMPARE(read(bytes, encoding), text);
}

void ScriptFileFormatTest::utf8WrittenWithTheMarkItWasReadWith_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("letters") << Encoding::Utf8 << u"\u00E9t\u00E9"_s << "\xC3\xA9t\xC3\xA9\r\n"_ba;
    QTest::newRow("mark") << Encoding::Utf8WithBom << u"\u00E9t\u00E9"_s
                          << "\xEF\xBB\xBF\xC3\xA9t\xC3\xA9\r\n"_ba;
    QTest::newRow("empty, with mark")
        << Encoding::Utf8WithBom << QString() << "\xEF\xBB\xBF\r\n"_ba;
    QTest::newRow("line ends") << Encoding::Utf8 << u"a\nb\n\nd\n"_s << "a\r\nb\r\n\r\nd\r\n"_ba;
    // Only a file can bring one into the editor, and it goes back as it came.
    QTest::newRow("line separator kept") << Encoding::Utf8 << u"a\u2028b"_s
                                         << "a\xE2\x80\xA8"
                                            "b\r\n"_ba;
    QTest::newRow("every width") << Encoding::Utf8 << u"A\u00E9\u20AC\U0001F600"_s
                                 << "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n"_ba;
    QTest::newRow("NUL and controls")
        << Encoding::Utf8 << QString(u"\0\x1A\x7F"_s) << QByteArray("\0\x1A\x7F\r\n", 5);
    QTest::newRow("no question marks")
        << Encoding::Utf8 << u"\u4E2D\u03A9"_s << "\xE4\xB8\xAD\xCE\xA9\r\n"_ba;
}

void ScriptFileFormatTest::utf8WrittenWithTheMarkItWasReadWith()
{
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const Saved saved = save(text, encoding);
    QCOMPARE(saved.bytes, bytes);
    QCOMPARE(saved.plan.size, bytes.size());
    QCOMPARE(saved.plan.unstorableCount, 0);
}

// A file is read in pieces whose ends fall anywhere: inside a character,
// between CR and LF, inside the byte-order mark. Each split must read as the
// whole does, and the first pass must find the encoding and the exact size of
// the text that the second pass makes.
void ScriptFileFormatTest::piecesSplitAnywhereReadTheSame_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("UTF-8") << "\xF0\x9F\x98\x80\xE2\x82\xAC\xC3\xA9\r\nab\rc\r"_ba
                           << Encoding::Utf8;
    QTest::newRow("UTF-8 with mark") << "\xEF\xBB\xBF\r\n\xC3\xA9x\n"_ba << Encoding::Utf8WithBom;
    QTest::newRow("Windows-1252") << "\xE9\r\n\r\n\x80\r0123456789\x81\r"_ba
                                  << Encoding::Windows1252;
    QTest::newRow("UTF-8 cut short") << "abc\xC3\xA9\xE2\x82"_ba << Encoding::Windows1252;
    QTest::newRow("bad UTF-8 after good") << "\xC3\xA9\r\n\xE2\x82x"_ba << Encoding::Windows1252;
}

void ScriptFileFormatTest::piecesSplitAnywhereReadTheSame()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    const QByteArray whole = ScriptFileFormat::textFromBytes(bytes, encoding);
    QString expected = encoding == Encoding::Windows1252
                           ? Windows1252::decode(bytes)
                           : QString::fromUtf8(bytes.sliced(encoding == Encoding::Utf8 ? 0 : 3));
    expected.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    QCOMPARE(QString::fromUtf8(whole), expected);
    for (qsizetype first = 0; first <= bytes.size(); ++first) {
        for (qsizetype second = first; second <= bytes.size(); ++second) {
            const QByteArrayView pieces[] = {QByteArrayView(bytes).first(first),
                                             QByteArrayView(bytes).sliced(first, second - first),
                                             QByteArrayView(bytes).sliced(second)};
            ScriptFileFormat::Survey survey;
            ScriptFileFormat::Decoder decoder(encoding);
            QByteArray joined;
            for (const QByteArrayView piece : pieces) {
                survey.add(piece);
                joined += decoder.decode(piece);
            }
            QCOMPARE(survey.encoding(), encoding);
            QCOMPARE(survey.textSize(), whole.size());
            QCOMPARE(joined, whole);
        }
    }
}

void ScriptFileFormatTest::largeTextIsWrittenInPiecesAndMayStop()
{
    QByteArray text;
    while (text.size() < 3 * (1 << 20))
        text += "ON=@Click\n\tSAY caf\xC3\xA9 \xE2\x82\xAC\n";
    for (const Encoding encoding : {Encoding::Windows1252, Encoding::Utf8WithBom}) {
        QByteArray written;
        int pieces = 0;
        QVERIFY(ScriptFileFormat::encodeText(text, encoding, [&](QByteArrayView piece) {
            ++pieces;
            written += piece;
            return true;
        }));
        QVERIFY(pieces >= 3);
        QCOMPARE(written.size(), ScriptFileFormat::planSave(text, encoding).size);
        QByteArray expected = text;
        expected.replace("\n", "\r\n");
        if (encoding == Encoding::Windows1252)
            expected.replace("\xC3\xA9", "\xE9").replace("\xE2\x82\xAC", "\x80");
        else
            expected.prepend("\xEF\xBB\xBF");
        QCOMPARE(written, expected);

        pieces = 0;
        QVERIFY(!ScriptFileFormat::encodeText(text, encoding,
                                              [&](QByteArrayView) { return ++pieces < 2; }));
        QCOMPARE(pieces, 2);
    }
}

QTEST_APPLESS_MAIN(ScriptFileFormatTest)
#include "tst_scriptfileformat.moc"
