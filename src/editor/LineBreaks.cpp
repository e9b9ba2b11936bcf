#include "editor/LineBreaks.h"

#include <algorithm>

namespace {

bool isEditorBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator; }

} // namespace

// Both conversions run over whole documents of many megabytes: they size the
// result once and copy runs between line breaks instead of single characters.

QString withCrLfLineBreaks(QStringView editorText)
{
    const qsizetype breaks = std::count_if(editorText.begin(), editorText.end(), isEditorBreak);
    if (breaks == 0)
        return editorText.toString();
    QString result(editorText.size() + breaks, Qt::Uninitialized);
    QChar* out = result.data();
    const QChar* runStart = editorText.data();
    const QChar* const end = runStart + editorText.size();
    for (const QChar* in = runStart; in != end; ++in) {
        if (!isEditorBreak(*in))
            continue;
        out = std::copy(runStart, in, out);
        *out++ = u'\r';
        *out++ = u'\n';
        runStart = in + 1;
    }
    std::copy(runStart, end, out);
    return result;
}

QString withLfLineBreaks(QStringView text)
{
    if (!text.contains(u'\r'))
        return text.toString();
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    const QChar* const end = text.data() + text.size();
    for (const QChar* in = text.data(); in != end; ++in) {
        if (*in != u'\r') {
            *out++ = *in;
            continue;
        }
        *out++ = u'\n';
        if (in + 1 != end && in[1] == u'\n')
            ++in;
    }
    result.truncate(out - result.data());
    return result;
}
