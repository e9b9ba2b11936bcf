#include "platform/FileName.h"

namespace {

constexpr char16_t escapeBase = 0xDC00;

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Whether name[i] stands for a byte that is not UTF-8, not half of a letter.
bool isEscapedByte(QStringView name, qsizetype i)
{
    const char16_t unit = name[i].unicode();
    return unit >= escapeBase + 0x80 && unit <= escapeBase + 0xFF
           && (i == 0 || !name[i - 1].isHighSurrogate());
}

// The length of the well-formed UTF-8 sequence at the start of bytes, or 0.
qsizetype sequenceLength(QByteArrayView bytes)
{
    const auto lead = static_cast<unsigned char>(bytes[0]);
    if (lead < 0x80)
        return 1;
    qsizetype length = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        least = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length)
        return 0;
    char32_t code = lead & (0x7F >> length);
    for (qsizetype i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (!isContinuation(byte))
            return 0;
        code = (code << 6) | (byte & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past Unicode are not UTF-8.
    if (code < least || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        return 0;
    return length;
}

} // namespace

QString decodeFileName(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype length = sequenceLength(bytes);
        if (length == 0) {
            name += QChar(char16_t(escapeBase + static_cast<unsigned char>(bytes[0])));
            bytes = bytes.sliced(1);
        } else {
            name += QString::fromUtf8(bytes.first(length));
            bytes = bytes.sliced(length);
        }
    }
    return name;
}

QByteArray encodeFileName(QStringView name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plain = 0; // start of the run not yet written
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        bytes += name.sliced(plain, i - plain).toUtf8();
        bytes += char(name[i].unicode() - escapeBase);
        plain = i + 1;
    }
    bytes += name.sliced(plain).toUtf8();
    return bytes;
}

QString readableFileName(QStringView name)
{
    QString readable = name.toString();
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByte(name, i))
            readable[i] = QChar::ReplacementCharacter;
    }
    return readable;
}
