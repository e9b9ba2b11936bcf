#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"

namespace ScriptFileFormat {

namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool isCrLf(QStringView text, qsizetype i)
{
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

} // namespace

QString textFromBytes(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char byte = bytes[i];
        if (byte == '\r') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            *out++ = u'\n';
        } else {
            *out++ = Windows1252::toUnicode(uchar(byte));
        }
    }
    text.truncate(out - text.constData());
    return text;
}

Encoded bytesFromText(QStringView text)
{
    Encoded result;
    // Room for the worst case, every character a lone line end: pages never
    // written to take no memory, and the size is cut to fit below.
    result.bytes.resize(2 * text.size() + 2);
    char* out = result.bytes.data();
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // Most of a script: printable ASCII and tabs.
        if (c < 0x80 && c != u'\r' && c != u'\n') {
            *out++ = char(c);
            continue;
        }
        if (isLineBreak(c)) {
            if (isCrLf(text, i))
                ++i;
            *out++ = '\r';
            *out++ = '\n';
            ++line;
            lineStart = i + 1;
            continue;
        }
        const int byte = Windows1252::fromUnicode(c);
        if (byte >= 0) {
            *out++ = char(byte);
            continue;
        }
        if (result.unstorableCount++ == 0) {
            result.firstUnstorableLine = line;
            result.firstUnstorableColumn = i - lineStart + 1;
        }
        *out++ = '?';
        // A character outside the Basic Multilingual Plane is one character
        // to the user though it takes two UTF-16 code units.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    result.bytes.truncate(out - result.bytes.constData());
    if (!result.bytes.endsWith("\r\n"))
        result.bytes.append("\r\n", 2);
    return result;
}

} // namespace ScriptFileFormat
