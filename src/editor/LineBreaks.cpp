#include "editor/LineBreaks.h"

QString withCrLfLineBreaks(QStringView editorText)
{
    QString result;
    result.reserve(editorText.size() + editorText.size() / 16 + 16);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < editorText.size(); ++i) {
        const QChar c = editorText[i];
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            result.append(editorText.mid(runStart, i - runStart));
            result.append(u"\r\n");
            runStart = i + 1;
        }
    }
    result.append(editorText.mid(runStart));
    return result;
}

QString withLfLineBreaks(QStringView text)
{
    if (!text.contains(u'\r'))
        return text.toString();
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r') {
            result.append(c);
            continue;
        }
        result.append(u'\n');
        if (i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return result;
}
