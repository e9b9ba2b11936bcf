#pragma once

#include "platform/FontChoice.h"

#include <optional>

class EditorControl;

// The seven attributes of the editor's selection (of the caret with nothing
// selected), or std::nullopt when the selected characters differ in any of them.
std::optional<FontChoice> selectionFont(const EditorControl& text);
