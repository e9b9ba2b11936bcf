#include "editing/FormatCommands.h"

#include "editor/EditorControl.h"
#include "editor/SelectionFont.h"
#include "platform/CommonDialog.h"

FormatCommands::FormatCommands(EditorControl& text, CommonDialog& dialog)
    : text_(text)
    , dialog_(dialog)
{
}

void FormatCommands::applyToSelection(const FontChoice& font)
{
    text_.setSelectionFontName(font.name);
    if (font.size > 0)
        text_.setSelectionFontSize(font.size);
    text_.setSelectionBold(font.bold);
    text_.setSelectionItalic(font.italic);
    text_.setSelectionStrikeout(font.strikeout);
    text_.setSelectionUnderline(font.underline);
    text_.setSelectionColor(font.color);
}

// On a selection whose characters differ, the dialog starts from the first
// selected character and OK gives the whole selection the chosen values:
// the command stays usable on any selection. Cancel writes nothing, so the
// formatting stays as it was. The toggles' check marks are not touched.
void FormatCommands::chooseFont()
{
    const std::optional<FontChoice> shared = selectionFont(text_);
    dialog_.setFont(shared ? *shared : text_.firstSelectedCharacterFont());
    if (!dialog_.showFont())
        return;
    applyToSelection(dialog_.font());
}

// The value written rests on the text alone: false becomes true, while true
// and mixed both become false.
template<typename Read, typename Write> bool FormatCommands::toggle(Read read, Write write)
{
    const std::optional<bool> now = (text_.*read)();
    const bool value = now.has_value() && !*now;
    (text_.*write)(value);
    return value;
}

bool FormatCommands::toggleBold()
{
    return toggle(&EditorControl::selectionBold, &EditorControl::setSelectionBold);
}

bool FormatCommands::toggleItalic()
{
    return toggle(&EditorControl::selectionItalic, &EditorControl::setSelectionItalic);
}

bool FormatCommands::toggleStrikeout()
{
    return toggle(&EditorControl::selectionStrikeout, &EditorControl::setSelectionStrikeout);
}

bool FormatCommands::toggleUnderline()
{
    return toggle(&EditorControl::selectionUnderline, &EditorControl::setSelectionUnderline);
}
