#include "editing/TextSearch.h"

#include "editor/EditorControl.h"

namespace TextSearch {

bool selectNextOccurrence(EditorControl& editor, QStringView searchText)
{
    if (searchText.isEmpty())
        return false;
    const EditorControl::Range selected{editor.selectionStart(), editor.selectionLength()};
    auto found = editor.find(searchText, selected.start);
    // Only then is a second scan needed, and the first one ended at once.
    if (found == selected)
        found = editor.find(searchText, selected.start + 1);
    if (found) {
        editor.setSelectionStart(found->start);
        editor.setSelectionLength(found->length);
    } else {
        editor.setSelectionStart(editor.endPosition());
    }
    editor.ensureSelectionVisible();
    return true;
}

} // namespace TextSearch
