#include "platform/LineBreaks.h"

#include <algorithm>

namespace LineBreaks {

// Runs over whole documents of many megabytes: the result is sized once and
// filled line by line, then cut to fit. Each line break it replaces is at
// least one character: only a longer lineBreak needs a first walk to count.
QString withLineBreaks(QStringView text, QStringView lineBreak, EditorSeparators separators)
{
    qsizetype size = text.size();
    if (lineBreak.size() > 1) {
        forEachLine(
            text,
            [&size, &lineBreak](QStringView, bool ended) {
                size += ended ? lineBreak.size() - 1 : 0;
            },
            separators);
    }
    QString result(size, Qt::Uninitialized);
    QChar* out = result.data();
    forEachLine(
        text,
        [&out, &lineBreak](QStringView line, bool ended) {
            out = std::copy(line.begin(), line.end(), out);
            if (!ended)
                return;
            // A character or two, copied here rather than by a call.
            for (const QChar c : lineBreak)
                *out++ = c;
        },
        separators);
    result.truncate(out - result.constData());
    return result;
}

} // namespace LineBreaks

QString withCrLfLineBreaks(QStringView editorText)
{
    return LineBreaks::withLineBreaks(editorText, u"\r\n", LineBreaks::EditorSeparators::EndLines);
}

QString withLfLineBreaks(const QString& text)
{
    // Without a CR every line break is an LF already.
    return text.contains(u'\r') ? LineBreaks::withLineBreaks(text, u"\n") : text;
}
