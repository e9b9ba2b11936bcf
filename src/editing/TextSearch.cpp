#include "editing/TextSearch.h"

#include "editing/EditorTextMirror.h"
#include "editor/ScriptEditor.h"
#include "platform/LineBreaks.h"

#include <QTextDocument>

namespace TextSearch {

QString editorFormOf(QStringView searchText)
{
    const QChar paragraphSeparator = QChar::ParagraphSeparator;
    return LineBreaks::withLineBreaks(searchText, QStringView(&paragraphSeparator, 1));
}

namespace {

// A line break inside a paragraph (U+2028) is still a line break to the
// user; positions stay the same when it is read as U+2029. Returns the text
// to search, held in storage when it had to change.
QStringView withUnifiedLineBreaks(QStringView editorText, QStringView needle, QString& storage)
{
    if (!needle.contains(QChar::ParagraphSeparator) || !editorText.contains(QChar::LineSeparator))
        return editorText;
    storage = editorText.toString();
    storage.replace(QChar::LineSeparator, QChar::ParagraphSeparator);
    return storage;
}

} // namespace

std::optional<qsizetype> findForward(QStringView editorText, QStringView needle, qsizetype from)
{
    if (needle.isEmpty() || from < 0 || from > editorText.size())
        return std::nullopt;
    QString storage;
    const qsizetype at =
        withUnifiedLineBreaks(editorText, needle, storage).indexOf(needle, from, Qt::CaseSensitive);
    return at < 0 ? std::nullopt : std::optional<qsizetype>(at);
}

qsizetype searchStart(QStringView editorText, QStringView needle, qsizetype selectionStart,
                      qsizetype selectionLength)
{
    if (selectionLength != needle.size() || selectionStart < 0
        || selectionStart + selectionLength > editorText.size())
        return selectionStart;
    QString storage;
    const QStringView selected = editorText.sliced(selectionStart, selectionLength);
    const bool isOccurrence = withUnifiedLineBreaks(selected, needle, storage) == needle;
    return isOccurrence ? selectionStart + 1 : selectionStart;
}

bool selectNextOccurrence(ScriptEditor& editor, QStringView searchText)
{
    if (searchText.isEmpty())
        return false;
    const QString needle = editorFormOf(searchText);
    // The raw text counts one character per line break, as the editor's
    // positions do.
    const QStringView text = EditorTextMirror::of(*editor.document()).text();
    EditorControl& control = editor;
    const qsizetype from =
        searchStart(text, needle, control.selectionStart(), control.selectionLength());
    const auto found = findForward(text, needle, from);
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
