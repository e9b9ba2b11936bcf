#include "document/ScriptFileFormat.h"
#include "document/Windows1252.h"

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
    void piecesNeverSplitACharacterOrALineEnd_data();
    void piecesNeverSplitACharacterOrALineEnd();
    void encoderTakesPiecesSplitAnywhere_data();
    void encoderTakesPiecesSplitAnywhere();
    void heldSizeIsTheTextInUtf8_data();
    void heldSizeIsTheTextInUtf8();
};

using ScriptFileFormat::Encoding;
Q_DECLARE_METATYPE(ScriptFileFormat::Encoding)

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
    QCOMPARE(ScriptFileFormat::textFromBytes(QByteArray(1, char(byte))), QString(character));
    QCOMPARE(Windows1252::fromUnicode(character), byte);
    const ScriptFileFormat::Encoded encoded = ScriptFileFormat::bytesFromText(QString(character));
    QCOMPARE(encoded.bytes, QByteArray(1, char(byte)) + "\r\n");
    QCOMPARE(encoded.unstorableCount, 0);
}

// Where the code page put a printable character, the C1 control of that
// number has no byte: writing it must not turn it into that character.
void ScriptFileFormatTest::replacedC1ControlsAreUnstorable()
{
    for (char16_t c = 0x80; c <= 0x9F; ++c) {
        if (c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
            continue;
        QCOMPARE(Windows1252::fromUnicode(QChar(c)), -1);
        const ScriptFileFormat::Encoded encoded =
            ScriptFileFormat::bytesFromText(QString(QChar(c)));
        QCOMPARE(encoded.bytes, "?\r\n"_ba);
        QCOMPARE(encoded.unstorableCount, 1);
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
    QCOMPARE(ScriptFileFormat::textFromBytes(bytes), text);
}

void ScriptFileFormatTest::lineEndsWrittenAsCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty document") << u""_s << "\r\n"_ba;
    QTest::newRow("no final line end") << u"abc"_s << "abc\r\n"_ba;
    QTest::newRow("final CR LF kept, none added") << u"abc\r\n"_s << "abc\r\n"_ba;
    QTest::newRow("only a line end") << u"\r\n"_s << "\r\n"_ba;
    QTest::newRow("empty last lines kept") << u"a\r\n\r\n"_s << "a\r\n\r\n"_ba;
    QTest::newRow("lone LF") << u"a\nb"_s << "a\r\nb\r\n"_ba;
    QTest::newRow("lone CR") << u"a\rb\r"_s << "a\r\nb\r\n"_ba;
    QTest::newRow("LF CR is two breaks") << u"a\n\rb"_s << "a\r\n\r\nb\r\n"_ba;
    QTest::newRow("CR CR LF is two breaks") << u"a\r\r\nb"_s << "a\r\n\r\nb\r\n"_ba;
    QTest::newRow("lone CR at the very end") << u"a\r"_s << "a\r\n"_ba;
    QTest::newRow("editor separators") << u"a\u2029b\u2028c"_s << "a\r\nb\r\nc\r\n"_ba;
}

void ScriptFileFormatTest::lineEndsWrittenAsCrLf()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const ScriptFileFormat::Encoded encoded = ScriptFileFormat::bytesFromText(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.unstorableCount, 0);
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
        << u"ab\r\ncd\u0100e\u03A9"_s << "ab\r\ncd?e?\r\n"_ba << 2 << 2 << 3;
    QTest::newRow("after lone line ends")
        << u"a\nb\rc\u0394"_s << "a\r\nb\r\nc?\r\n"_ba << 1 << 3 << 2;
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
    const ScriptFileFormat::Encoded encoded = ScriptFileFormat::bytesFromText(text);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.unstorableCount, count);
    QCOMPARE(encoded.firstUnstorableLine, line);
    QCOMPARE(encoded.firstUnstorableColumn, column);
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
    QCOMPARE(ScriptFileFormat::textFromBytes(bytes, encoding), text);
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
    QTest::newRow("line ends") << Encoding::Utf8 << u"a\rb\r\nc\u2029d\n"_s
                               << "a\r\nb\r\nc\r\nd\r\n"_ba;
    QTest::newRow("every width") << Encoding::Utf8 << u"A\u00E9\u20AC\U0001F600"_s
                                 << "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n"_ba;
    QTest::newRow("NUL and controls")
        << Encoding::Utf8 << QString(u"\0\x1A\x7F"_s) << QByteArray("\0\x1A\x7F\r\n", 5);
    QTest::newRow("no question marks")
        << Encoding::Utf8 << u"\u4E2D\u03A9"_s << "\xE4\xB8\xAD\xCE\xA9\r\n"_ba;
    QTest::newRow("half of a pair alone") << Encoding::Utf8 << u"a"_s + QChar(0xD800) + u"b"_s
                                          << "a\xEF\xBF\xBD"
                                             "b\r\n"_ba;
    QTest::newRow("high half at the end")
        << Encoding::Utf8 << u"a"_s + QChar(0xD83D) << "a\xEF\xBF\xBD\r\n"_ba;
}

void ScriptFileFormatTest::utf8WrittenWithTheMarkItWasReadWith()
{
    QFETCH(Encoding, encoding);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const ScriptFileFormat::Encoded encoded = ScriptFileFormat::bytesFromText(text, encoding);
    QCOMPARE(encoded.bytes, bytes);
    QCOMPARE(encoded.unstorableCount, 0);
}

// Large files go into the editor in pieces of 64 KiB: a piece boundary that
// falls inside a character or between CR and LF must change nothing.
void ScriptFileFormatTest::piecesNeverSplitACharacterOrALineEnd_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    const qsizetype piece = 65536;
    for (qsizetype shift = 0; shift < 4; ++shift) {
        QByteArray utf8(piece - shift, 'x');
        for (int i = 0; i < 3; ++i)
            utf8 += "\xF0\x9F\x98\x80\xE2\x82\xAC\xC3\xA9\r\n";
        QTest::addRow("UTF-8, shifted %lld", qlonglong(shift)) << utf8 << Encoding::Utf8;
        QByteArray latin(piece - shift, 'x');
        latin += "\xE9\r\n\r\n\x80";
        QTest::addRow("Windows-1252, shifted %lld", qlonglong(shift))
            << latin << Encoding::Windows1252;
    }
    QByteArray marked = "\xEF\xBB\xBF"_ba + QByteArray(piece - 1, 'y') + "\r\n\xC3\xA9"_ba;
    QTest::newRow("UTF-8 with mark") << marked << Encoding::Utf8WithBom;
}

void ScriptFileFormatTest::piecesNeverSplitACharacterOrALineEnd()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    QString joined;
    int pieces = 0;
    ScriptFileFormat::forEachTextPiece(bytes, encoding, [&](QStringView piece) {
        ++pieces;
        QVERIFY(!piece.isEmpty());
        QVERIFY(!piece.front().isLowSurrogate());
        QVERIFY(!piece.back().isHighSurrogate());
        joined.append(piece);
    });
    QVERIFY(pieces >= 2);
    const QByteArray text = encoding == Encoding::Utf8WithBom ? bytes.sliced(3) : bytes;
    QString expected =
        encoding == Encoding::Windows1252 ? Windows1252::decode(text) : QString::fromUtf8(text);
    expected.replace(u"\r\n"_s, u"\n"_s);
    QCOMPARE(joined, expected);
    // And back to the same bytes, but with CR LF.
    QByteArray saved = bytes;
    saved.replace("\r\n", "\n").replace("\n", "\r\n");
    if (!saved.endsWith("\r\n"))
        saved += "\r\n";
    QCOMPARE(ScriptFileFormat::bytesFromText(joined, encoding).bytes, saved);
}

void ScriptFileFormatTest::encoderTakesPiecesSplitAnywhere_data()
{
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("Windows-1252") << Encoding::Windows1252;
    QTest::newRow("UTF-8") << Encoding::Utf8;
    QTest::newRow("UTF-8 with mark") << Encoding::Utf8WithBom;
}

void ScriptFileFormatTest::encoderTakesPiecesSplitAnywhere()
{
    QFETCH(Encoding, encoding);
    const QString text = u"a\r\n\U0001F600\u00E9\r\u4E2D\n"_s;
    const ScriptFileFormat::Encoded whole = ScriptFileFormat::bytesFromText(text, encoding);
    for (qsizetype split = 0; split <= text.size(); ++split) {
        ScriptFileFormat::Encoder encoder(text.size(), encoding);
        encoder.add(QStringView(text).first(split));
        encoder.add(QStringView(text).sliced(split));
        const ScriptFileFormat::Encoded pieces = encoder.finish();
        QCOMPARE(pieces.bytes, whole.bytes);
        QCOMPARE(pieces.unstorableCount, whole.unstorableCount);
        QCOMPARE(pieces.firstUnstorableColumn, whole.firstUnstorableColumn);
    }
}

void ScriptFileFormatTest::heldSizeIsTheTextInUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Encoding>("encoding");
    QTest::newRow("ASCII") << "abc"_ba << Encoding::Windows1252;
    QTest::newRow("euro sign takes three") << "\x80\x80"_ba << Encoding::Windows1252;
    QTest::newRow("C1 control takes two") << "\x81\x9D"_ba << Encoding::Windows1252;
    QTest::newRow("Latin-1 letters take two") << "\xE9\xFF\xA0"_ba << Encoding::Windows1252;
    QTest::newRow("every byte") << QByteArray() << Encoding::Windows1252;
    QTest::newRow("CR LF is one") << "a\r\nb\rc\n\r\n"_ba << Encoding::Windows1252;
    QTest::newRow("UTF-8 as it is") << "\xC3\xA9\xE2\x82\xAC\r\n"_ba << Encoding::Utf8;
    QTest::newRow("mark left out") << "\xEF\xBB\xBF\xC3\xA9"_ba << Encoding::Utf8WithBom;
}

void ScriptFileFormatTest::heldSizeIsTheTextInUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Encoding, encoding);
    if (bytes.isEmpty()) {
        for (int byte = 0; byte < 256; ++byte)
            bytes += char(byte);
    }
    QCOMPARE(ScriptFileFormat::heldSize(bytes, encoding),
             ScriptFileFormat::textFromBytes(bytes, encoding).toUtf8().size());
}

QTEST_APPLESS_MAIN(ScriptFileFormatTest)
#include "tst_scriptfileformat.moc"
