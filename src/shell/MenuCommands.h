#pragma once

#include "document/FileCommands.h"
#include "document/PrintCommand.h"
#include "editing/ClipboardCommands.h"
#include "editing/FormatCommands.h"
#include "help/TriggerHelp.h"

#include <QPointer>
#include <memory>

class AboutBox;
class FindDialog;
class EditorControl;
struct Services;

// What the main window's menu items work on: the commands over its editor,
// and the secondary windows, each shown at most once. The secondary windows
// have no owner window; they are closed with the commands, and the trigger
// help, shown by a program of its own, ends with them.
struct MenuCommands {
    // documentNamed: where the window hears of the document's new file name.
    MenuCommands(EditorControl& editor, const Services& services,
                 FileCommands::NameListener documentNamed);
    ~MenuCommands();
    MenuCommands(const MenuCommands&) = delete;
    MenuCommands& operator=(const MenuCommands&) = delete;

    EditorControl& editor;
    FileCommands files;
    ClipboardCommands clipboard;
    FormatCommands format;
    PrintCommand print;
    QPointer<FindDialog> findDialog;
    // The help browser program (TriggerHelpProcess); tests put a fake in its place.
    std::unique_ptr<TriggerHelp> triggerHelp;
    QPointer<AboutBox> aboutBox;
};
