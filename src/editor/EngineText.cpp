#include "editor/EngineText.h"

#include "platform/LineBreaks.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <cstring>

namespace EngineText {

namespace {

// Pieces of about this many characters: large enough that a call per piece
// costs nothing, small enough to stay in the processor's cache.
constexpr qsizetype pieceSize = qsizetype(1) << 16;

} // namespace

qsizetype engineSizeOf(QStringView text)
{
    // UTF-8 takes two bytes from U+0080 and three from U+0800; a surrogate
    // pair takes four, which this counts as six.
    qsizetype size = text.size();
    for (const QChar c : text)
        size += qsizetype(c.unicode() >= 0x80) + qsizetype(c.unicode() >= 0x800);
    return size;
}

// A UTF-16 unit takes at most three bytes of UTF-8, and a line break one.
EngineWriter::EngineWriter(std::function<void(QByteArrayView)> onPiece)
    : onPiece_(std::move(onPiece))
    , buffer_(3 * pieceSize + 1, Qt::Uninitialized)
    , out_(buffer_.data())
{
}

void EngineWriter::flush()
{
    if (out_ != buffer_.constData())
        onPiece_(QByteArrayView(buffer_.constData(), out_));
    out_ = buffer_.data();
}

void EngineWriter::write(QStringView text)
{
    char* const bufferEnd = buffer_.data() + buffer_.size();
    LineBreaks::forEachLine(
        text,
        [&](QStringView line, bool ended) {
            while (!line.isEmpty()) {
                const QStringView part = line.first(std::min(line.size(), pieceSize));
                if (out_ + 3 * part.size() + 1 > bufferEnd)
                    flush();
                out_ = utf8_.appendToBuffer(out_, part);
                line = line.sliced(part.size());
            }
            if (ended) {
                if (out_ == bufferEnd)
                    flush();
                *out_++ = '\n';
            }
        },
        LineBreaks::EditorSeparators::EndLines);
}

QByteArray toEngine(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(engineSizeOf(text));
    EngineWriter writer([&bytes](QByteArrayView piece) { bytes.append(piece); });
    writer.write(text);
    writer.flush();
    return bytes;
}

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

QString toEditor(QByteArrayView engineText)
{
    QString text;
    text.reserve(engineText.size() + engineText.count('\n'));
    forEachEditorPiece(engineText, [&text](QStringView piece) { text.append(piece); });
    return text;
}

} // namespace EngineText
