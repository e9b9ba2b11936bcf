#pragma once

#include "document/FileCommands.h"
#include "document/PrintCommand.h"
#include "editing/ClipboardCommands.h"
#include "editing/FormatCommands.h"

#include <QPointer>

class AboutBox;
class FindDialog;
class EditorControl;
class TriggerHelpWindow;
struct Services;

// What the main window's menu items work on: the commands over its editor,
// and the secondary windows, each shown at most once. The secondary windows
// have no owner window; they are closed with the commands.
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
    QPointer<TriggerHelpWindow> triggerHelpWindow;
    QPointer<AboutBox> aboutBox;
};
