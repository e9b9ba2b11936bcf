#pragma once

#include <QString>
#include <QStringView>

// The editor keeps one character for each line break (U+2029 between blocks,
// U+2028 for a line break inside one); the document's text shows CR LF instead.
QString withCrLfLineBreaks(QStringView editorText);

// Reduces CR LF, a lone CR and a lone LF each to LF, the one line break the
// editor's text store turns into a new line when text is inserted.
QString withLfLineBreaks(QStringView text);
