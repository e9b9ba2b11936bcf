#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"
#include "platform/LineBreaks.h"

namespace ScriptFileFormat {

QString textFromBytes(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    LineBreaks::forEachLine(bytes, [&out](QByteArrayView line, bool ended) {
        for (const char byte : line)
            *out++ = Windows1252::toUnicode(uchar(byte));
        if (ended)
            *out++ = u'\n';
    });
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
    qsizetype lineNumber = 0;
    const auto encodeLine = [&](QStringView line, bool ended) {
        ++lineNumber;
        // A copy of out of its own: bytes written through out could be out
        // itself as far as the compiler knows, which would keep it in memory.
        char* at = out;
        const QChar* const lineEnd = line.end();
        for (const QChar* in = line.begin(); in != lineEnd; ++in) {
            const char16_t c = in->unicode();
            // Most of a script: printable ASCII and tabs.
            if (c < 0x80) {
                *at++ = char(c);
                continue;
            }
            const int byte = Windows1252::fromUnicode(c);
            if (byte >= 0) {
                *at++ = char(byte);
                continue;
            }
            if (result.unstorableCount++ == 0) {
                result.firstUnstorableLine = lineNumber;
                result.firstUnstorableColumn = in - line.begin() + 1;
            }
            *at++ = '?';
            // A character outside the Basic Multilingual Plane is one character
            // to the user though it takes two UTF-16 code units.
            if (QChar::isHighSurrogate(c) && in + 1 != lineEnd && in[1].isLowSurrogate())
                ++in;
        }
        if (ended) {
            *at++ = '\r';
            *at++ = '\n';
        }
        out = at;
    };
    LineBreaks::forEachLine(text, encodeLine, LineBreaks::EditorSeparators::EndLines);
    result.bytes.truncate(out - result.bytes.constData());
    if (!result.bytes.endsWith("\r\n"))
        result.bytes.append("\r\n", 2);
    return result;
}

} // namespace ScriptFileFormat
