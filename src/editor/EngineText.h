#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <functional>

// The engine holds the document as UTF-8 with LF between lines; the editor's
// text has CR LF there. These convert between the two in pieces of bounded
// size, so that a large document never needs a second whole copy.
namespace EngineText {

// The bytes the engine needs for text, at most: one for each line break.
qsizetype engineSizeOf(QStringView text);

// Calls onPiece with text as the engine holds it, piece by piece. CR LF, a
// lone CR, a lone LF, U+2028 and U+2029 each become LF.
void forEachEnginePiece(QStringView text, const std::function<void(QByteArrayView)>& onPiece);
QByteArray toEngine(QStringView text);

// Calls onPiece with the engine's bytes as editor text, piece by piece: each
// LF becomes CR LF. A character is never split between two pieces.
void forEachEditorPiece(QByteArrayView engineText, const std::function<void(QStringView)>& onPiece);
QString toEditor(QByteArrayView engineText);

} // namespace EngineText
