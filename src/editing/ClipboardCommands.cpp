#include "editing/ClipboardCommands.h"

#include "editor/EditorControl.h"
#include "editor/PlainTextMime.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

ClipboardCommands::ClipboardCommands(EditorControl& text)
    : text_(text)
{
}

void ClipboardCommands::Cut()
{
    Copy();
    text_.setSelectedText(QString());
}

// Also with nothing selected: the clipboard then holds "" as its only text.
void ClipboardCommands::Copy()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(withPlatformLineBreaks(text_.SelectedText()));
}

void ClipboardCommands::Paste()
{
    const QMimeData* offered = QGuiApplication::clipboard()->mimeData();
    text_.setSelectedText(offered && offersPlainText(*offered) ? offered->text() : QString());
}
