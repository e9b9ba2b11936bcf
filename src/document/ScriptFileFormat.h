#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <functional>

// How a script's text and its file's bytes map onto each other: one byte per
// character in Windows-1252, lines ended by CR LF on disk.
namespace ScriptFileFormat {

// Every byte becomes one character, except that each line end (CR LF, a lone
// CR or a lone LF) becomes LF, the one line break the editor takes as it is:
// a large script then needs no second copy on its way into the editor.
QString textFromBytes(QByteArrayView bytes);
// The same text handed to onPiece in pieces, in order, for a large file that
// should never be held whole as text. No piece ends inside a line break.
void forEachTextPiece(QByteArrayView bytes, const std::function<void(QStringView)>& onPiece);

struct Encoded {
    QByteArray bytes;
    // Characters the code page has no byte for; each was written as "?".
    qsizetype unstorableCount = 0;
    // 1-based line and column of the first of them.
    qsizetype firstUnstorableLine = 0;
    qsizetype firstUnstorableColumn = 0;
};

// CR LF, a lone CR, a lone LF and the editor's own line and paragraph
// separators are each written as CR LF. A final CR LF is added only when the
// text does not already end with a line break, so that opening and saving a
// file again never makes it grow; an empty text is written as CR LF.
Encoded bytesFromText(QStringView text);

// Encodes a text that arrives in pieces exactly as bytesFromText() encodes
// it whole; a line break or a surrogate pair may straddle two pieces.
class Encoder {
public:
    // textLength: the size of the whole text, to make room for its bytes at once.
    explicit Encoder(qsizetype textLength);
    void add(QStringView piece);
    Encoded finish();

private:
    Encoded result_;
    char* out_;
    qsizetype lineNumber_ = 1;
    // Characters written on the current line so far.
    qsizetype column_ = 0;
    bool afterCr_ = false;
    bool afterHighSurrogate_ = false;
};

} // namespace ScriptFileFormat
