#include "document/FileCommands.h"

#include "platform/ProcessControl.h"

FileCommands::FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                           ProcessControl& process, QWidget& window)
    : text_(text)
    , dialog_(dialog)
    , messageBox_(messageBox)
    , process_(process)
    , window_(window)
{
}

void FileCommands::New() {}

void FileCommands::Open() {}

void FileCommands::Save() {}

void FileCommands::SaveAs() {}

void FileCommands::Exit() { process_.endProgram(); }
