#include "document/ScriptFileFormat.h"

#include "document/Windows1252.h"

namespace ScriptFileFormat {

namespace {

bool isLineBreak(QChar c) {
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool isCrLf(QStringView text, qsizetype i) {
    return text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
}

// Bytes the text takes on disk before the final line end: a character outside
// the code page still takes one, as "?".
qsizetype encodedSize(QStringView text) {
    qsizetype size = text.size();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (isCrLf(text, i))
            ++i;
        else if (isLineBreak(text[i]))
            ++size;
        else if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            --size;
            ++i;
        }
    }
    return size;
}

} // namespace

QString textFromBytes(QByteArrayView bytes) {
    return Windows1252::decode(bytes);
}

Encoded bytesFromText(QStringView text) {
    Encoded result;
    result.bytes.resize(encodedSize(text) + 2);
    char* out = result.bytes.data();
    qsizetype line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
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
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
    }
    result.bytes.truncate(out - result.bytes.constData());
    if (!result.bytes.endsWith("\r\n"))
        result.bytes.append("\r\n", 2);
    return result;
}

} // namespace ScriptFileFormat
