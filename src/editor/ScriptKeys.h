#pragma once

class QsciScintillaBase;

// Gives the engine exactly the editing keys of a plain Qt text field:
// caret moves, selection, deletion and word moves. The engine's own key map
// also has commands a script writer does not expect, and none of them could
// be undone here (Ctrl+L cuts a line, Ctrl+U lower-cases, Ctrl+T transposes,
// Ctrl+D duplicates); they are all dropped.
void useScriptKeys(QsciScintillaBase& engine);
