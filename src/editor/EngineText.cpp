#include "editor/EngineText.h"

#include "platform/LineBreaks.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>
#include <functional>

namespace EngineText {

namespace {

// Pieces of about this many characters: large enough that a call per piece
// costs nothing, small enough to stay in the processor's cache.
constexpr qsizetype pieceSize = qsizetype(1) << 16;

// Hands the engine's bytes to onPiece as editor text, piece by piece, so that
// the text is built without a second whole copy of the bytes.
void forEachEditorPiece(QByteArrayView engineText, const std::function<void(QStringView)>& onPiece)
{
    // A byte makes at most one UTF-16 unit, and a line break two; a piece
    // may run three bytes long to end with a whole character.
    QString buffer(2 * pieceSize + 8, Qt::Uninitialized);
    QChar* const begin = buffer.data();
    QStringDecoder utf8(QStringDecoder::Utf8);
    while (!engineText.isEmpty()) {
        qsizetype size = std::min(engineText.size(), pieceSize);
        for (int extra = 0;
             extra < 3 && size < engineText.size() && (uchar(engineText[size]) & 0xC0) == 0x80;
             ++extra)
            ++size;
        QByteArrayView piece = engineText.first(size);
        engineText = engineText.sliced(piece.size());
        QChar* out = begin;
        while (!piece.isEmpty()) {
            const auto* lineEnd =
                static_cast<const char*>(std::memchr(piece.data(), '\n', size_t(piece.size())));
            const qsizetype length = lineEnd ? lineEnd - piece.data() : piece.size();
            out = utf8.appendToBuffer(out, piece.first(length));
            if (!lineEnd)
                break;
            *out++ = u'\r';
            *out++ = u'\n';
            piece = piece.sliced(length + 1);
        }
        onPiece(QStringView(begin, out));
    }
}

} // namespace

QByteArray toEngine(QStringView text)
{
    // A UTF-16 unit takes at most three bytes of UTF-8, and a line break one.
    QByteArray bytes(3 * text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    QStringEncoder utf8(QStringEncoder::Utf8);
    LineBreaks::forEachLine(
        text,
        [&](QStringView line, bool ended) {
            out = utf8.appendToBuffer(out, line);
            if (ended)
                *out++ = '\n';
        },
        LineBreaks::EditorSeparators::EndLines);
    bytes.truncate(out - bytes.constData());
    return bytes;
}

QString toEditor(QByteArrayView engineText)
{
    QString text;
    text.reserve(engineText.size() + engineText.count('\n'));
    forEachEditorPiece(engineText, [&text](QStringView piece) { text.append(piece); });
    return text;
}

} // namespace EngineText
