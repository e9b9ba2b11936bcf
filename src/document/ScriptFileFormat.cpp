#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"

#include <QStringDecoder>
#include <cstring>

namespace ScriptFileFormat {

namespace {

constexpr qsizetype pieceSize = qsizetype(1) << 16;
constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");

qsizetype indexOfNonAscii(QByteArrayView bytes)
{
    const char* const begin = bytes.begin();
    const char* const end = bytes.end();
    const char* at = begin;
    // Eight bytes at a time: scripts are mostly ASCII.
    for (; end - at >= 8; at += 8) {
        quint64 word = 0;
        std::memcpy(&word, at, sizeof word);
        if (word & 0x8080808080808080ULL)
            break;
    }
    for (; at < end; ++at) {
        if (uchar(*at) >= 0x80)
            return at - begin;
    }
    return -1;
}

void forEachWindows1252Piece(QByteArrayView bytes, const std::function<void(QStringView)>& onPiece)
{
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

// Makes each CR LF and lone CR in [begin, end) one LF; returns the new end.
QChar* lineEndsAsLf(QChar* begin, QChar* end)
{
    QChar* out = begin;
    for (const QChar* in = begin; in < end; ++in) {
        if (*in != u'\r') {
            *out++ = *in;
            continue;
        }
        *out++ = u'\n';
        if (in + 1 < end && in[1] == u'\n')
            ++in;
    }
    return out;
}

void forEachUtf8Piece(QByteArrayView bytes, const std::function<void(QStringView)>& onPiece)
{
    // Never more UTF-16 units than UTF-8 bytes; one more for an LF after a CR.
    QString buffer(pieceSize + 1, Qt::Uninitialized);
    // A U+FEFF at the start of a piece is text, not a mark to drop.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    const char* in = bytes.begin();
    const char* const end = bytes.end();
    while (in < end) {
        const char* pieceEnd = in + std::min(pieceSize, qsizetype(end - in));
        // Pieces end between characters, and never between CR and LF.
        while (pieceEnd < end && (uchar(*pieceEnd) & 0xC0) == 0x80)
            --pieceEnd;
        if (pieceEnd < end && pieceEnd[-1] == '\r' && *pieceEnd == '\n')
            ++pieceEnd;
        const QByteArrayView piece(in, pieceEnd);
        QChar* out = decoder.appendToBuffer(buffer.data(), piece);
        if (piece.contains('\r'))
            out = lineEndsAsLf(buffer.data(), out);
        onPiece(QStringView(buffer.constData(), out));
        in = pieceEnd;
    }
}

void appendUtf8(char*& at, char32_t c)
{
    if (c < 0x800) {
        *at++ = char(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *at++ = char(0xE0 | (c >> 12));
        *at++ = char(0x80 | ((c >> 6) & 0x3F));
    } else {
        *at++ = char(0xF0 | (c >> 18));
        *at++ = char(0x80 | ((c >> 12) & 0x3F));
        *at++ = char(0x80 | ((c >> 6) & 0x3F));
    }
    *at++ = char(0x80 | (c & 0x3F));
}

bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

Encoding detectEncoding(QByteArrayView bytes)
{
    const bool marked = bytes.startsWith(byteOrderMark);
    const QByteArrayView text = marked ? bytes.sliced(byteOrderMark.size()) : bytes;
    const qsizetype firstNonAscii = indexOfNonAscii(text);
    if (firstNonAscii < 0)
        return marked ? Encoding::Utf8WithBom : Encoding::Windows1252;
    // Everything before the first byte above 0x7F is ASCII, and so valid UTF-8.
    if (!text.sliced(firstNonAscii).isValidUtf8())
        return Encoding::Windows1252;
    return marked ? Encoding::Utf8WithBom : Encoding::Utf8;
}

void forEachTextPiece(QByteArrayView bytes, Encoding encoding,
                      const std::function<void(QStringView)>& onPiece)
{
    switch (encoding) {
    case Encoding::Windows1252:
        forEachWindows1252Piece(bytes, onPiece);
        return;
    case Encoding::Utf8WithBom:
        if (bytes.startsWith(byteOrderMark))
            bytes = bytes.sliced(byteOrderMark.size());
        [[fallthrough]];
    case Encoding::Utf8:
        forEachUtf8Piece(bytes, onPiece);
        return;
    }
}

qint64 heldSize(QByteArrayView bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8WithBom && bytes.startsWith(byteOrderMark))
        bytes = bytes.sliced(byteOrderMark.size());
    qint64 size = bytes.size();
    const char* const end = bytes.end();
    for (const char* at = bytes.begin(); at < end; ++at) {
        const auto byte = uchar(*at);
        if (byte == '\r' && at + 1 < end && at[1] == '\n')
            --size;
        else if (byte >= 0x80 && encoding == Encoding::Windows1252)
            size += Windows1252::toUnicode(byte).unicode() >= 0x800 ? 2 : 1;
    }
    return size;
}

QString textFromBytes(QByteArrayView bytes, Encoding encoding)
{
    QString text;
    text.reserve(bytes.size());
    forEachTextPiece(bytes, encoding, [&text](QStringView piece) { text.append(piece); });
    return text;
}

Encoder::Encoder(qsizetype textLength, Encoding encoding)
    : encoding_(encoding)
{
    // Room for the worst case: every UTF-16 unit a lone line end (two bytes)
    // or, in UTF-8, a character of three bytes. Pages never written to take
    // no memory, and the size is cut to fit at the end.
    const qsizetype perUnit = encoding == Encoding::Windows1252 ? 2 : 3;
    result_.bytes.resize(perUnit * textLength + 3 + byteOrderMark.size());
    out_ = result_.bytes.data();
    if (encoding == Encoding::Utf8WithBom) {
        std::memcpy(out_, byteOrderMark.data(), byteOrderMark.size());
        out_ += byteOrderMark.size();
    }
}

void Encoder::add(QStringView piece)
{
    if (encoding_ == Encoding::Windows1252)
        addWindows1252(piece);
    else
        addUtf8(piece);
}

void Encoder::addWindows1252(QStringView piece)
{
    // A copy of out_ of its own: bytes written through out_ could be out_
    // itself as far as the compiler knows, which would keep it in memory.
    char* at = out_;
    for (const QChar character : piece) {
        const char16_t c = character.unicode();
        const bool crLf = afterCr_ && c == u'\n';
        const bool lowAfterHigh = pendingHighSurrogate_ && QChar::isLowSurrogate(c);
        afterCr_ = c == u'\r';
        pendingHighSurrogate_ = QChar::isHighSurrogate(c) ? c : 0;
        // Most of a script: printable ASCII and tabs.
        if (c >= 0x20 && c < 0x80) {
            *at++ = char(c);
            ++column_;
            continue;
        }
        if (crLf)
            continue;
        if (isLineBreak(c)) {
            *at++ = '\r';
            *at++ = '\n';
            ++lineNumber_;
            column_ = 0;
            continue;
        }
        // A character outside the Basic Multilingual Plane is one character
        // to the user, and one "?", though it takes two UTF-16 code units.
        if (lowAfterHigh)
            continue;
        ++column_;
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

void Encoder::addUtf8(QStringView piece)
{
    char* at = out_;
    for (const QChar character : piece) {
        const char16_t c = character.unicode();
        if (c < 0x80 && c != u'\r' && c != u'\n' && !pendingHighSurrogate_) {
            *at++ = char(c);
            afterCr_ = false;
            continue;
        }
        if (pendingHighSurrogate_) {
            const char16_t high = std::exchange(pendingHighSurrogate_, 0);
            if (QChar::isLowSurrogate(c)) {
                appendUtf8(at, QChar::surrogateToUcs4(high, c));
                continue;
            }
            // A half of a pair alone has no UTF-8 form.
            appendUtf8(at, QChar::ReplacementCharacter);
        }
        const bool crLf = afterCr_ && c == u'\n';
        afterCr_ = c == u'\r';
        if (crLf)
            continue;
        if (isLineBreak(c)) {
            *at++ = '\r';
            *at++ = '\n';
        } else if (c < 0x80) {
            *at++ = char(c);
        } else if (QChar::isHighSurrogate(c)) {
            pendingHighSurrogate_ = c;
        } else {
            appendUtf8(at, QChar::isLowSurrogate(c) ? char16_t(QChar::ReplacementCharacter) : c);
        }
    }
    out_ = at;
}

Encoded Encoder::finish()
{
    if (encoding_ != Encoding::Windows1252 && std::exchange(pendingHighSurrogate_, 0))
        appendUtf8(out_, QChar::ReplacementCharacter);
    result_.bytes.truncate(out_ - result_.bytes.constData());
    const qsizetype textStart = encoding_ == Encoding::Utf8WithBom ? byteOrderMark.size() : 0;
    if (!QByteArrayView(result_.bytes).sliced(textStart).endsWith("\r\n"))
        result_.bytes.append("\r\n", 2);
    return std::move(result_);
}

Encoded bytesFromText(QStringView text, Encoding encoding)
{
    Encoder encoder(text.size(), encoding);
    encoder.add(text);
    return encoder.finish();
}

} // namespace ScriptFileFormat
