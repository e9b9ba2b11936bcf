#include "editing/FormatCommands.h"

FormatCommands::FormatCommands(EditorControl& text, CommonDialog& dialog)
    : text_(text)
    , dialog_(dialog)
{
}

void FormatCommands::Font() {}

bool FormatCommands::Bold() { return false; }

bool FormatCommands::Italic() { return false; }

bool FormatCommands::Strikeout() { return false; }

bool FormatCommands::Underline() { return false; }
