#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <functional>

// How a script's text and its file's bytes map onto each other. A file is
// Windows-1252, one byte per character, unless its bytes are UTF-8 with at
// least one character beyond ASCII (with or without a byte-order mark); lines
// are ended by CR LF on disk.
//
// The text is UTF-8 with LF between lines, as the editor holds it. Both ways
// go piece by piece through buffers of a fixed size, so that a large script
// is never held whole a second time.
namespace ScriptFileFormat {

enum class Encoding {
    Windows1252,
    Utf8,
    // UTF-8 that starts with the byte-order mark EF BB BF. The mark is no
    // part of the text, and is written back in front of it.
    Utf8WithBom,
};

// What one pass over a file's bytes learns of them, fed in pieces of any size.
class Survey {
public:
    void add(QByteArrayView piece);
    // Bytes that are not valid UTF-8, and plain ASCII, are Windows-1252:
    // every byte then reads and writes back as it was.
    Encoding encoding() const;
    // The size of the text, in the encoding found.
    qint64 textSize() const;

private:
    void validate(QByteArrayView piece);

    qint64 bytes_ = 0;
    // Each CR LF is one LF in the text.
    qint64 crLfs_ = 0;
    // What the bytes above 0x7F add when a Windows-1252 file becomes UTF-8.
    qint64 windows1252Growth_ = 0;
    bool afterCr_ = false;
    QByteArray start_;
    bool nonAscii_ = false;
    bool validUtf8_ = true;
    // The first bytes of a character that the last piece cut.
    QByteArray cut_;
};

Encoding detectEncoding(QByteArrayView bytes);

// A file's bytes as text, piece by piece: each line end (CR LF, a lone CR or
// a lone LF) becomes LF, and a byte-order mark is left out. Bytes said to be
// UTF-8 must be valid UTF-8; they are handed on as they are where they hold
// no CR.
class Decoder {
public:
    explicit Decoder(Encoding encoding);
    // The text of the next bytes of the file: valid until the next call. A
    // piece may end inside a character, and so may the text.
    QByteArrayView decode(QByteArrayView bytes);

private:
    QByteArrayView decodeUtf8(QByteArrayView bytes);
    QByteArrayView decodeWindows1252(QByteArrayView bytes);

    Encoding encoding_;
    qsizetype markLeft_;
    bool afterCr_ = false;
    QByteArray buffer_;
};

// The whole text of a file's bytes.
QByteArray textFromBytes(QByteArrayView bytes, Encoding encoding = Encoding::Windows1252);

// What writing a text into a file will do.
struct SavePlan {
    // The file's size.
    qint64 size = 0;
    // Characters the encoding has no bytes for; each would be written as
    // "?". Only Windows-1252 has any.
    qsizetype unstorableCount = 0;
    // 1-based line and column of the first of them.
    qsizetype firstUnstorableLine = 0;
    qsizetype firstUnstorableColumn = 0;
};
SavePlan planSave(QByteArrayView text, Encoding encoding);

// Hands the file's bytes for the text to onPiece, a piece at a time through
// one buffer, until it returns false; returns whether all were taken. Each LF
// is written as CR LF, and a final CR LF is added only when the text does not
// already end with a line break, so that opening and saving a file again
// never makes it grow; an empty text is written as CR LF. Characters a
// Windows-1252 file cannot store are written as "?".
bool encodeText(QByteArrayView text, Encoding encoding,
                const std::function<bool(QByteArrayView)>& onPiece);
// The whole file's bytes for the text.
QByteArray bytesFromText(QByteArrayView text, Encoding encoding = Encoding::Windows1252);

} // namespace ScriptFileFormat
