#pragma once

class QKeyEvent;
class Engine;

// The editing area answers the keyboard exactly as the plain Qt text field it
// replaced did: the same keys move, select, delete and type, through the
// desktop's own key bindings (QKeySequence::StandardKey), and every other key
// does nothing and goes on to the window.
//
// The engine's own key map has commands a script writer does not expect, and
// none of them could be undone here (Ctrl+L cuts a line, Ctrl+U lower-cases,
// Ctrl+T transposes, Ctrl+D duplicates, Ctrl+Plus zooms); useScriptKeys()
// drops them all, and answerScriptKey() takes the keys instead.

// Empties the engine's key map.
void useScriptKeys(Engine& engine);

// Runs the command the plain field had for the key, or types the key's text
// where the plain field typed it. Returns false for a key the plain field
// ignored; the engine is then left as it was.
bool answerScriptKey(Engine& engine, const QKeyEvent& key);
