#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <functional>

// The engine holds the document as UTF-8 with LF between lines; the editor's
// text has CR LF there. These convert between the two in pieces of bounded
// size, so that a large document never needs a second whole copy.
namespace EngineText {

// The bytes the engine needs for text, at most: one for each line break.
qsizetype engineSizeOf(QStringView text);

// Hands text to onPiece as the engine holds it, piece by piece, through one
// buffer. CR LF, a lone CR, a lone LF, U+2028 and U+2029 each become LF.
class EngineWriter {
public:
    explicit EngineWriter(std::function<void(QByteArrayView)> onPiece);
    // Text that does not end inside a line break or a surrogate pair.
    void write(QStringView text);
    // Hands over what the buffer still holds.
    void flush();

private:
    std::function<void(QByteArrayView)> onPiece_;
    QByteArray buffer_;
    char* out_;
    // Keeps a surrogate pair that a piece boundary splits.
    QStringEncoder utf8_{QStringEncoder::Utf8};
};

QByteArray toEngine(QStringView text);

// Calls onPiece with the engine's bytes as editor text, piece by piece: each
// LF becomes CR LF. A character is never split between two pieces.
void forEachEditorPiece(QByteArrayView engineText, const std::function<void(QStringView)>& onPiece);
QString toEditor(QByteArrayView engineText);

} // namespace EngineText
