#pragma once

#include <QClipboard>
#include <QString>

class Engine;

// Cut, copy and paste for the engine's own keys and mouse: the same plain
// text as Edit > Cut, Copy and Paste carry (PlainTextMime), every character
// kept. The engine's own clipboard code would end the text at its first NUL,
// or turn each NUL into a space.
namespace EngineClipboard {

// The selection as editor text: CR LF between lines.
QString selectedText(const Engine& engine);

// With nothing selected, the clipboard keeps what it holds.
void copy(const Engine& engine);
void cut(Engine& engine);
// Replaces the selection with the plain text on offer; without any, the
// selection stays.
void paste(Engine& engine, QClipboard::Mode mode = QClipboard::Clipboard);

} // namespace EngineClipboard
