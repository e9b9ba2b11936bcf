#include "editing/ClipboardCommands.h"

#include "editor/EditorControl.h"
#include "editor/PlainTextMime.h"

#include <QClipboard>
#include <QGuiApplication>

ClipboardCommands::ClipboardCommands(EditorControl& text)
    : text_(text)
{
}

void ClipboardCommands::Cut()
{
    if (text_.SelectionLength() == 0)
        return;
    Copy();
    text_.setSelectedText(QString());
}

// With nothing selected there is nothing to copy, and the clipboard keeps what it holds.
void ClipboardCommands::Copy()
{
    if (text_.SelectionLength() == 0)
        return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(withPlatformLineBreaks(text_.SelectedText()));
}

// Without text on the clipboard there is nothing to paste, and the selection stays.
void ClipboardCommands::Paste()
{
    const QString text = plainTextOffered(QGuiApplication::clipboard()->mimeData());
    if (!text.isEmpty())
        text_.setSelectedText(text);
}
