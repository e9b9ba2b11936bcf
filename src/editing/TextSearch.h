#pragma once

#include <QString>
#include <QStringView>
#include <optional>

class ScriptEditor;

// The Find dialog's search, kept apart from the dialog.
namespace TextSearch {

// The search text as the editor stores it: each CR LF, lone CR or lone LF
// becomes the editor's single line-break character.
QString editorFormOf(QStringView searchText);

// The first occurrence of needle (in editor form) in the editor's raw text at
// or after from: exact and case-sensitive, never wrapping around. A line
// break in the needle matches either of the editor's line-break characters.
std::optional<qsizetype> findForward(QStringView editorText, QStringView needle, qsizetype from);

// Where the next search starts: at the selection's start, or one character
// past it when the selection is an occurrence already, so that searching
// again steps on to the next one.
qsizetype searchStart(QStringView editorText, QStringView needle, qsizetype selectionStart,
                      qsizetype selectionLength);

// Searches forward from the editor's selection (see searchStart) with one scan of
// its text. A match is selected and scrolled into view; without one the caret
// goes to the end of the document with nothing selected. An empty search text
// changes nothing. Returns whether a search ran.
bool selectNextOccurrence(ScriptEditor& editor, QStringView searchText);

} // namespace TextSearch
