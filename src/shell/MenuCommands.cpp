#include "shell/MenuCommands.h"

#include "editing/FindDialog.h"
#include "editor/EditorControl.h"
#include "help/AboutBox.h"
#include "help/TriggerHelpProcess.h"
#include "platform/Services.h"

MenuCommands::MenuCommands(EditorControl& editor, const Services& services,
                           FileCommands::NameListener documentNamed)
    : editor(editor)
    , files(editor, *services.commonDialog, *services.messageBox, *services.process,
            *services.progress, std::move(documentNamed))
    , clipboard(editor)
    , format(editor, *services.commonDialog, *services.messageBox)
    , print(editor, *services.printer, *services.messageBox)
    , triggerHelp(std::make_unique<TriggerHelpProcess>(*services.messageBox))
{
}

MenuCommands::~MenuCommands()
{
    delete aboutBox;
    delete findDialog;
}
