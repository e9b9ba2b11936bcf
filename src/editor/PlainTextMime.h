#pragma once

#include <QClipboard>
#include <QString>

class QMimeData;

// Only plain text travels between the editor and other programs.

// True when the data offers "text/plain" (with or without a charset).
// QMimeData::hasText() would also accept a list of links, which is another format.
bool offersPlainText(const QMimeData& offered);

// The plain text on offer, or "" when there is none (no data, or only other formats).
QString plainTextOffered(const QMimeData* offered);
QString plainTextOnClipboard(QClipboard::Mode mode = QClipboard::Clipboard);

// The editor's CR LF line breaks as plain text has them on this platform, so
// that a paste into a terminal gets no stray CR.
QString withPlatformLineBreaks(const QString& text);

// Editor text as data of the one plain text format, every character kept.
QMimeData* plainTextData(const QString& editorText);
// Puts editor text on the clipboard as that data, in place of all it held.
void offerPlainText(const QString& editorText);
