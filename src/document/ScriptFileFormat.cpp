#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"

namespace ScriptFileFormat {

void forEachTextPiece(QByteArrayView bytes, const std::function<void(QStringView)>& onPiece)
{
    constexpr qsizetype pieceSize = qsizetype(1) << 16;
    QString buffer(pieceSize, Qt::Uninitialized);
    const char* in = bytes.begin();
    const char* const end = bytes.end();
    while (in < end) {
        QChar* out = buffer.data();
        const char* const pieceEnd = in + std::min(pieceSize, qsizetype(end - in));
        for (; in < pieceEnd; ++in) {
            const auto byte = uchar(*in);
            // Most of a script: printable ASCII.
            if (byte >= 0x20 && byte < 0x80) {
                *out++ = QChar(char16_t(byte));
                continue;
            }
            if (byte == '\r') {
                *out++ = u'\n';
                if (in + 1 < end && in[1] == '\n')
                    ++in;
                continue;
            }
            *out++ = Windows1252::toUnicode(byte);
        }
        onPiece(QStringView(buffer.constData(), out));
    }
}

QString textFromBytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    forEachTextPiece(bytes, [&text](QStringView piece) { text.append(piece); });
    return text;
}

Encoder::Encoder(qsizetype textLength)
{
    // Room for the worst case, every character a lone line end: pages never
    // written to take no memory, and the size is cut to fit at the end.
    result_.bytes.resize(2 * textLength + 2);
    out_ = result_.bytes.data();
}

void Encoder::add(QStringView piece)
{
    // A copy of out_ of its own: bytes written through out_ could be out_
    // itself as far as the compiler knows, which would keep it in memory.
    char* at = out_;
    for (const QChar character : piece) {
        const char16_t c = character.unicode();
        const bool crLf = afterCr_ && c == u'\n';
        const bool lowAfterHigh = afterHighSurrogate_ && QChar::isLowSurrogate(c);
        afterCr_ = c == u'\r';
        afterHighSurrogate_ = QChar::isHighSurrogate(c);
        // Most of a script: printable ASCII and tabs.
        if (c >= 0x20 && c < 0x80) {
            *at++ = char(c);
            ++column_;
            continue;
        }
        if (crLf)
            continue;
        if (c == u'\r' || c == u'\n' || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator) {
            *at++ = '\r';
            *at++ = '\n';
            ++lineNumber_;
            column_ = 0;
            continue;
        }
        ++column_;
        // A character outside the Basic Multilingual Plane is one character
        // to the user though it takes two UTF-16 code units.
        if (lowAfterHigh)
            continue;
        const int byte = c < 0x80 ? c : Windows1252::fromUnicode(c);
        if (byte >= 0) {
            *at++ = char(byte);
            continue;
        }
        if (result_.unstorableCount++ == 0) {
            result_.firstUnstorableLine = lineNumber_;
            result_.firstUnstorableColumn = column_;
        }
        *at++ = '?';
    }
    out_ = at;
}

Encoded Encoder::finish()
{
    result_.bytes.truncate(out_ - result_.bytes.constData());
    if (!result_.bytes.endsWith("\r\n"))
        result_.bytes.append("\r\n", 2);
    return std::move(result_);
}

Encoded bytesFromText(QStringView text)
{
    Encoder encoder(text.size());
    encoder.add(text);
    return encoder.finish();
}

} // namespace ScriptFileFormat
