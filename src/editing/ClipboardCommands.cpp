#include "editing/ClipboardCommands.h"

ClipboardCommands::ClipboardCommands(EditorControl& text)
    : text_(text)
{
}

void ClipboardCommands::Cut() {}

void ClipboardCommands::Copy() {}

void ClipboardCommands::Paste() {}
