#include "editing/TextSearch.h"

#include "editor/EditorControl.h"
#include "platform/LineBreaks.h"

#include <cstring>

namespace TextSearch {

QByteArray editorFormOf(QStringView searchText)
{
    return LineBreaks::withLineBreaks(searchText, u"\n").toUtf8();
}

std::optional<qsizetype> findForward(QByteArrayView text, QByteArrayView needle, qsizetype from)
{
    if (needle.isEmpty() || from < 0 || from > text.size())
        return std::nullopt;
    // The C library's search is the fastest at hand, several times a naive scan.
    const void* found = memmem(text.data() + from, size_t(text.size() - from), needle.data(),
                               size_t(needle.size()));
    if (!found)
        return std::nullopt;
    return static_cast<const char*>(found) - text.data();
}

qsizetype searchStart(QByteArrayView text, QByteArrayView needle, qsizetype selectionStart,
                      qsizetype selectionLength)
{
    if (selectionLength != needle.size() || selectionStart < 0
        || selectionStart + selectionLength > text.size())
        return selectionStart;
    // A match starts on a whole character, so one byte on is enough to step past it.
    return text.sliced(selectionStart, selectionLength) == needle ? selectionStart + 1
                                                                  : selectionStart;
}

bool selectNextOccurrence(EditorControl& editor, QStringView searchText)
{
    if (searchText.isEmpty())
        return false;
    const QByteArray needle = editorFormOf(searchText);
    const QByteArrayView text = editor.engineText();
    const int selectionStart = editor.selectionStart();
    const qsizetype selectedFrom = editor.offsetOfPosition(selectionStart);
    const qsizetype selectedTo = editor.offsetOfPosition(selectionStart + editor.selectionLength());
    const qsizetype from = searchStart(text, needle, selectedFrom, selectedTo - selectedFrom);
    const auto found = findForward(text, needle, from);
    if (found) {
        const qsizetype start = editor.positionOfOffset(*found);
        editor.setSelectionStart(int(start));
        editor.setSelectionLength(int(editor.positionOfOffset(*found + needle.size()) - start));
    } else {
        editor.setSelectionStart(editor.endPosition());
    }
    editor.ensureSelectionVisible();
    return true;
}

} // namespace TextSearch
