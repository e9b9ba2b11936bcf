#include "document/PrintCommand.h"

PrintCommand::PrintCommand(EditorControl& text, Printer& printer, MessageBox& messageBox)
    : text_(text)
    , printer_(printer)
    , messageBox_(messageBox)
{
}

void PrintCommand::Print() {}
