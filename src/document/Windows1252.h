#pragma once

#include <QByteArrayView>
#include <QChar>
#include <QString>

// The single-byte code page of every script that is not UTF-8. Every byte
// value has a character, so any file reads and writes back byte for byte: the
// five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the control characters of the same number.
namespace Windows1252 {

QChar toUnicode(uchar byte);
// The byte that stores the character, or -1 when the code page has none.
int fromUnicode(QChar character);
QString decode(QByteArrayView bytes);

} // namespace Windows1252
