#include "editing/TextSearch.h"

#include "editing/EditorTextMirror.h"
#include "editor/LineBreaks.h"
#include "editor/RichTextBox.h"

#include <QTextDocument>

namespace TextSearch {

QString editorFormOf(QStringView searchText)
{
    QString text = withLfLineBreaks(searchText);
    text.replace(u'\n', QChar::ParagraphSeparator);
    return text;
}

std::optional<qsizetype> findForward(QStringView editorText, QStringView needle, qsizetype from)
{
    if (needle.isEmpty() || from < 0 || from > editorText.size())
        return std::nullopt;
    // A line break inside a paragraph (U+2028) is still a line break to the
    // user; positions stay the same when it is read as U+2029.
    QString unified;
    if (needle.contains(QChar::ParagraphSeparator) && editorText.contains(QChar::LineSeparator)) {
        unified = editorText.toString();
        unified.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
        editorText = unified;
    }
    const qsizetype at = editorText.indexOf(needle, from, Qt::CaseSensitive);
    return at < 0 ? std::nullopt : std::optional<qsizetype>(at);
}

bool selectNextOccurrence(RichTextBox& editor, QStringView searchText)
{
    if (searchText.isEmpty())
        return false;
    const QString needle = editorFormOf(searchText);
    // The raw text counts one character per line break, as the editor's
    // positions do.
    const QStringView text = EditorTextMirror::of(*editor.document()).text();
    EditorControl& control = editor;
    const auto found = findForward(text, needle, control.SelectionStart());
    if (found) {
        control.setSelectionStart(int(*found));
        control.setSelectionLength(int(needle.size()));
    } else {
        control.setSelectionStart(int(text.size()));
    }
    editor.ensureCursorVisible();
    return true;
}

} // namespace TextSearch
