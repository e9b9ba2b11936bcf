#pragma once

#include <QStringView>

class EditorControl;

// The Find dialog's search, kept apart from the dialog.
namespace TextSearch {

// Searches forward from the start of the editor's selection, exact and
// case-sensitive, without wrapping around. When the selection is an
// occurrence already (the last match), the search steps on past its first
// character, so that searching again visits every occurrence. A match is
// selected and scrolled into view; without one the caret goes to the end of
// the document with nothing selected. An empty search text changes nothing.
// Returns whether a search ran.
bool selectNextOccurrence(EditorControl& editor, QStringView searchText);

} // namespace TextSearch
