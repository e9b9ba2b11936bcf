#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <optional>

class EditorControl;

// The Find dialog's search, kept apart from the dialog. It runs over the
// editor's own text, UTF-8 with LF between lines, without a copy.
namespace TextSearch {

// The search text as the editor holds its text: UTF-8, and each CR LF, lone
// CR or lone LF a LF.
QByteArray editorFormOf(QStringView searchText);

// The first occurrence of needle (in editor form) in text at or after the
// offset from: exact and case-sensitive, never wrapping around.
std::optional<qsizetype> findForward(QByteArrayView text, QByteArrayView needle, qsizetype from);

// Where the next search starts: at the selection's start, or one character
// past it when the selection is an occurrence already, so that searching
// again steps on to the next one. Offsets into text.
qsizetype searchStart(QByteArrayView text, QByteArrayView needle, qsizetype selectionStart,
                      qsizetype selectionLength);

// Searches forward from the editor's selection (see searchStart) with one scan of
// its text. A match is selected and scrolled into view; without one the caret
// goes to the end of the document with nothing selected. An empty search text
// changes nothing. Returns whether a search ran.
bool selectNextOccurrence(EditorControl& editor, QStringView searchText);

} // namespace TextSearch
