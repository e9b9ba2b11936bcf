#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"
#include "platform/ByteWords.h"

#include <array>
#include <bit>
#include <cstring>

namespace ScriptFileFormat {

namespace {

constexpr QByteArrayView byteOrderMark("\xEF\xBB\xBF");
// The bytes a save hands on at a time.
constexpr qsizetype savePiece = qsizetype(1) << 18;
using ByteWords::highBits;

using ByteWords::isContinuation;
using ByteWords::sequenceLength;

qsizetype countLineFeeds(const char* at, const char* end)
{
    qsizetype count = 0;
    for (; end - at >= 8; at += 8)
        count += ByteWords::count(ByteWords::equal(ByteWords::at(at), '\n'));
    for (; at < end; ++at)
        count += *at == '\n';
    return count;
}

qsizetype countCharacters(const char* at, const char* end)
{
    qsizetype count = end - at;
    for (; end - at >= 8; at += 8) {
        count -= ByteWords::count(ByteWords::continuations(ByteWords::at(at)));
    }
    for (; at < end; ++at)
        count -= isContinuation(*at);
    return count;
}

// The first byte from `from` on that is an LF or, when aboveAscii, above
// 0x7F; end when there is none. Eight bytes at a time.
const char* nextLineFeed(const char* from, const char* end, bool aboveAscii)
{
    const quint64 high = aboveAscii ? highBits : 0;
    for (; end - from >= 8; from += 8) {
        const quint64 word = ByteWords::at(from);
        if (const quint64 marks = ByteWords::equal(word, '\n') | (word & high))
            return from + std::countr_zero(marks) / 8;
    }
    while (from < end && *from != '\n' && !(aboveAscii && uchar(*from) >= 0x80))
        ++from;
    return from;
}

// The UTF-8 bytes of each Windows-1252 byte above 0x7F: a count, then the bytes.
using Utf8OfByte = std::array<std::array<char, 4>, 128>;
const Utf8OfByte& windows1252InUtf8()
{
    static const Utf8OfByte table = [] {
        Utf8OfByte made{};
        for (int byte = 0x80; byte <= 0xFF; ++byte) {
            const QByteArray utf8 = QString(Windows1252::toUnicode(uchar(byte))).toUtf8();
            auto& entry = made[size_t(byte - 0x80)];
            entry[0] = char(utf8.size());
            std::memcpy(entry.data() + 1, utf8.constData(), size_t(utf8.size()));
        }
        return made;
    }();
    return table;
}

// The character that starts at `at`, and where the next one starts; a byte
// that starts no valid character stands for U+FFFD alone.
char32_t decodeCharacter(const char*& at, const char* end)
{
    const auto lead = uchar(*at);
    const qsizetype length = sequenceLength(*at);
    if (length == 1 || end - at < length) {
        ++at;
        return lead < 0x80 ? lead : U'\uFFFD';
    }
    char32_t c = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        if (!isContinuation(at[i])) {
            ++at;
            return U'\uFFFD';
        }
        c = (c << 6) | (uchar(at[i]) & 0x3F);
    }
    at += length;
    return c;
}

int windows1252ByteOf(char32_t c)
{
    return c > 0xFFFF ? -1 : Windows1252::fromUnicode(QChar(char16_t(c)));
}

} // namespace

void Survey::add(QByteArrayView piece)
{
    if (piece.isEmpty())
        return;
    if (start_.size() < byteOrderMark.size())
        start_ += piece.first(std::min(piece.size(), byteOrderMark.size() - start_.size()));
    bytes_ += piece.size();

    const char* const begin = piece.data();
    const char* const end = begin + piece.size();
    if (afterCr_ && *begin == '\n')
        ++crLfs_;
    for (const char* cr = begin;
         (cr = static_cast<const char*>(std::memchr(cr, '\r', size_t(end - cr)))); ++cr) {
        if (cr + 1 < end && cr[1] == '\n')
            ++crLfs_;
    }
    afterCr_ = end[-1] == '\r';

    const char* at = begin;
    for (; end - at >= 8 && !(ByteWords::at(at) & highBits); at += 8) {
    }
    for (; at < end && uchar(*at) < 0x80; ++at) {
    }
    if (at == end && cut_.isEmpty())
        return;
    nonAscii_ = nonAscii_ || at < end;
    // Each byte above 0x7F takes one byte more as UTF-8, some of them two.
    const Utf8OfByte& table = windows1252InUtf8();
    for (; at < end; ++at) {
        if (end - at >= 8 && !(ByteWords::at(at) & highBits)) {
            at += 7;
            continue;
        }
        if (uchar(*at) >= 0x80)
            windows1252Growth_ += table[uchar(*at) - 0x80][0] - 1;
    }
    if (validUtf8_)
        validate(piece);
}

void Survey::validate(QByteArrayView piece)
{
    if (!cut_.isEmpty()) {
        const qsizetype needed = sequenceLength(cut_[0]) - cut_.size();
        if (piece.size() < needed) {
            cut_ += piece;
            return;
        }
        cut_ += piece.first(needed);
        validUtf8_ = QByteArrayView(cut_).isValidUtf8();
        cut_.clear();
        piece = piece.sliced(needed);
    }
    // A character the piece ends inside is checked with the next piece.
    qsizetype start = piece.size() - 1;
    while (start > 0 && start > piece.size() - 4 && isContinuation(piece[start]))
        --start;
    if (start >= 0 && uchar(piece[start]) >= 0xC0
        && start + sequenceLength(piece[start]) > piece.size()) {
        cut_ = piece.sliced(start).toByteArray();
        piece = piece.first(start);
    }
    validUtf8_ = validUtf8_ && piece.isValidUtf8();
}

Encoding Survey::encoding() const
{
    if (!nonAscii_ || !validUtf8_ || !cut_.isEmpty())
        return Encoding::Windows1252;
    return start_.startsWith(byteOrderMark) ? Encoding::Utf8WithBom : Encoding::Utf8;
}

qint64 Survey::textSize() const
{
    switch (encoding()) {
    case Encoding::Windows1252:
        return bytes_ - crLfs_ + windows1252Growth_;
    case Encoding::Utf8WithBom:
        return bytes_ - crLfs_ - byteOrderMark.size();
    case Encoding::Utf8:
        break;
    }
    return bytes_ - crLfs_;
}

Encoding detectEncoding(QByteArrayView bytes)
{
    Survey survey;
    survey.add(bytes);
    return survey.encoding();
}

Decoder::Decoder(Encoding encoding)
    : encoding_(encoding)
    , markLeft_(encoding == Encoding::Utf8WithBom ? byteOrderMark.size() : 0)
{
}

QByteArrayView Decoder::decode(QByteArrayView bytes)
{
    if (markLeft_ > 0) {
        const qsizetype skipped = std::min(markLeft_, bytes.size());
        markLeft_ -= skipped;
        bytes = bytes.sliced(skipped);
    }
    if (bytes.isEmpty())
        return {};
    // The CR before it was an LF already.
    if (afterCr_ && bytes.front() == '\n')
        bytes = bytes.sliced(1);
    afterCr_ = false;
    return encoding_ == Encoding::Windows1252 ? decodeWindows1252(bytes) : decodeUtf8(bytes);
}

QByteArrayView Decoder::decodeUtf8(QByteArrayView bytes)
{
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    const char* cr = static_cast<const char*>(std::memchr(at, '\r', size_t(end - at)));
    if (!cr)
        return bytes;
    buffer_.resize(bytes.size());
    char* out = buffer_.data();
    for (; cr; cr = static_cast<const char*>(std::memchr(at, '\r', size_t(end - at)))) {
        std::memcpy(out, at, size_t(cr - at));
        out += cr - at;
        *out++ = '\n';
        at = cr + 1;
        if (at == end)
            afterCr_ = true;
        else if (*at == '\n')
            ++at;
    }
    std::memcpy(out, at, size_t(end - at));
    out += end - at;
    return {buffer_.constData(), out - buffer_.constData()};
}

QByteArrayView Decoder::decodeWindows1252(QByteArrayView bytes)
{
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    // Most of a script is ASCII without CR, which is the same as text: runs
    // of it are found eight bytes at a time and copied whole.
    const auto plainUpTo = [end](const char* from) {
        for (; end - from >= 8; from += 8) {
            const quint64 word = ByteWords::at(from);
            if ((word & ByteWords::highBits) || ByteWords::equal(word, '\r'))
                break;
        }
        while (from < end && uchar(*from) < 0x80 && *from != '\r')
            ++from;
        return from;
    };
    const char* plain = plainUpTo(at);
    if (plain == end)
        return bytes;
    buffer_.resize(3 * bytes.size());
    char* out = buffer_.data();
    const Utf8OfByte& table = windows1252InUtf8();
    while (at < end) {
        std::memcpy(out, at, size_t(plain - at));
        out += plain - at;
        at = plain;
        if (at == end)
            break;
        const auto byte = uchar(*at++);
        if (byte == '\r') {
            *out++ = '\n';
            if (at == end)
                afterCr_ = true;
            else if (*at == '\n')
                ++at;
        } else {
            const auto& utf8 = table[byte - 0x80];
            std::memcpy(out, utf8.data() + 1, size_t(utf8[0]));
            out += utf8[0];
        }
        plain = plainUpTo(at);
    }
    return {buffer_.constData(), out - buffer_.constData()};
}

QByteArray textFromBytes(QByteArrayView bytes, Encoding encoding)
{
    Decoder decoder(encoding);
    return decoder.decode(bytes).toByteArray();
}

SavePlan planSave(QByteArrayView text, Encoding encoding)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const qint64 finalLineBreak = text.endsWith('\n') ? 0 : 2;
    SavePlan plan;
    if (encoding != Encoding::Windows1252) {
        const qint64 mark = encoding == Encoding::Utf8WithBom ? byteOrderMark.size() : 0;
        plan.size = mark + text.size() + countLineFeeds(begin, end) + finalLineBreak;
        return plan;
    }
    // One byte for each character, two for each line break.
    qint64 lineBreaks = 0;
    qint64 continuations = 0;
    for (const char* at = nextLineFeed(begin, end, true); at < end;
         at = nextLineFeed(at, end, true)) {
        if (*at == '\n') {
            ++lineBreaks;
            ++at;
            continue;
        }
        const char* const character = at;
        const bool stored = windows1252ByteOf(decodeCharacter(at, end)) >= 0;
        continuations += at - character - 1;
        if (stored || plan.unstorableCount++ > 0)
            continue;
        const char* lineStart = character;
        while (lineStart > begin && lineStart[-1] != '\n')
            --lineStart;
        plan.firstUnstorableLine = lineBreaks + 1;
        plan.firstUnstorableColumn = countCharacters(lineStart, character) + 1;
    }
    plan.size = text.size() - continuations + lineBreaks + finalLineBreak;
    return plan;
}

bool encodeText(QByteArrayView text, Encoding encoding,
                const std::function<bool(QByteArrayView)>& onPiece)
{
    // Room for a piece, and for the bytes of the character that fills it.
    QByteArray buffer(savePiece + 16, Qt::Uninitialized);
    char* const first = buffer.data();
    char* out = first;
    const auto handOver = [&] {
        const bool taken = out == first || onPiece(QByteArrayView(first, out - first));
        out = first;
        return taken;
    };
    if (encoding == Encoding::Utf8WithBom) {
        std::memcpy(out, byteOrderMark.data(), size_t(byteOrderMark.size()));
        out += byteOrderMark.size();
    }
    const bool windows1252 = encoding == Encoding::Windows1252;
    const char* at = text.data();
    const char* const end = at + text.size();
    while (at < end) {
        // What needs no change goes as it is, in runs.
        const char* const special = nextLineFeed(at, end, windows1252);
        while (at < special) {
            if (out - first >= savePiece && !handOver())
                return false;
            const qsizetype run = std::min<qsizetype>(special - at, first + savePiece - out);
            std::memcpy(out, at, size_t(run));
            out += run;
            at += run;
        }
        if (at == end)
            break;
        if (out - first >= savePiece && !handOver())
            return false;
        if (*at == '\n') {
            *out++ = '\r';
            *out++ = '\n';
            ++at;
        } else {
            const int stored = windows1252ByteOf(decodeCharacter(at, end));
            *out++ = stored >= 0 ? char(stored) : '?';
        }
    }
    if (!text.endsWith('\n')) {
        *out++ = '\r';
        *out++ = '\n';
    }
    return handOver();
}

QByteArray bytesFromText(QByteArrayView text, Encoding encoding)
{
    QByteArray bytes;
    encodeText(text, encoding, [&bytes](QByteArrayView piece) {
        bytes += piece;
        return true;
    });
    return bytes;
}

} // namespace ScriptFileFormat
