#include "editing/ClipboardCommands.h"

#include "editor/EditorControl.h"
#include "editor/PlainTextMime.h"

ClipboardCommands::ClipboardCommands(EditorControl& text)
    : text_(text)
{
}

void ClipboardCommands::cut()
{
    if (text_.selectionLength() == 0)
        return;
    copy();
    text_.setSelectedText(QString());
}

// With nothing selected there is nothing to copy, and the clipboard keeps what it holds.
void ClipboardCommands::copy()
{
    if (text_.selectionLength() == 0)
        return;
    offerPlainText(text_.selectedText());
}

// Without text on the clipboard there is nothing to paste, and the selection stays.
void ClipboardCommands::paste()
{
    const QString text = plainTextOnClipboard();
    if (!text.isEmpty())
        text_.setSelectedText(text);
}
