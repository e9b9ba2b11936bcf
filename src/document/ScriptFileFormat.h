#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <functional>

// How a script's text and its file's bytes map onto each other. A file is
// Windows-1252, one byte per character, unless its bytes are UTF-8 with at
// least one character beyond ASCII (with or without a byte-order mark); lines
// are ended by CR LF on disk.
namespace ScriptFileFormat {

enum class Encoding {
    Windows1252,
    Utf8,
    // UTF-8 that starts with the byte-order mark EF BB BF. The mark is no
    // part of the text, and is written back in front of it.
    Utf8WithBom,
};

// Decided from the bytes alone. Bytes that are not valid UTF-8, and plain
// ASCII, are Windows-1252: every byte then reads and writes back as it was.
Encoding detectEncoding(QByteArrayView bytes);

// Every character of the file becomes one of the text, except that each line
// end (CR LF, a lone CR or a lone LF) becomes LF, the one line break the
// editor takes as it is: a large script then needs no second copy on its way
// into the editor. A byte-order mark is left out.
QString textFromBytes(QByteArrayView bytes, Encoding encoding = Encoding::Windows1252);
// The same text handed to onPiece in pieces, in order, for a large file that
// should never be held whole as text. No piece ends inside a line break or a
// surrogate pair. Bytes said to be UTF-8 must be valid UTF-8.
void forEachTextPiece(QByteArrayView bytes, Encoding encoding,
                      const std::function<void(QStringView)>& onPiece);

// The size in bytes of the text in UTF-8 with LF line ends, as the editor
// holds it: a byte above 0x7F of a Windows-1252 file takes two or three.
qint64 heldSize(QByteArrayView bytes, Encoding encoding);

struct Encoded {
    QByteArray bytes;
    // Characters the encoding has no bytes for; each was written as "?". Only
    // Windows-1252 has any.
    qsizetype unstorableCount = 0;
    // 1-based line and column of the first of them.
    qsizetype firstUnstorableLine = 0;
    qsizetype firstUnstorableColumn = 0;
};

// CR LF, a lone CR, a lone LF and the editor's own line and paragraph
// separators are each written as CR LF. A final CR LF is added only when the
// text does not already end with a line break, so that opening and saving a
// file again never makes it grow; an empty text is written as CR LF.
Encoded bytesFromText(QStringView text, Encoding encoding = Encoding::Windows1252);

// Encodes a text that arrives in pieces exactly as bytesFromText() encodes
// it whole; a line break or a surrogate pair may straddle two pieces.
class Encoder {
public:
    // textLength: the size of the whole text, to make room for its bytes at once.
    Encoder(qsizetype textLength, Encoding encoding);
    void add(QStringView piece);
    Encoded finish();

private:
    void addWindows1252(QStringView piece);
    void addUtf8(QStringView piece);

    Encoding encoding_;
    Encoded result_;
    char* out_;
    qsizetype lineNumber_ = 1;
    // Characters written on the current line so far.
    qsizetype column_ = 0;
    bool afterCr_ = false;
    // The first half of a surrogate pair, when the piece ended after it.
    char16_t pendingHighSurrogate_ = 0;
};

} // namespace ScriptFileFormat
