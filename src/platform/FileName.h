#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// File names on Linux are bytes, mostly UTF-8. Qt's own QFile::decodeName
// turns every byte that is not UTF-8 into U+FFFD, and such a name can no
// longer be opened. These two keep each such byte as a lone surrogate
// (U+DC80 to U+DCFF) and give it back unchanged: encodeFileName of
// decodeFileName is the name's own bytes. For UTF-8 names they give what
// Qt's pair gives.
QString decodeFileName(QByteArrayView bytes);
QByteArray encodeFileName(QStringView name);
// The name for people to read: each byte kept as a lone surrogate shows as
// U+FFFD, as a text viewer shows a byte it cannot read. Guessing a code page
// instead would make "caf\xE9" look exactly like a real "café" beside it.
QString readableFileName(QStringView name);
