#include "editing/FormatCommands.h"

#include "editor/EditorControl.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"

using namespace Qt::StringLiterals;

FormatCommands::FormatCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox)
    : text_(text)
    , dialog_(dialog)
    , messageBox_(messageBox)
{
}

// The editor shows a limited number of different formats at the same time.
bool FormatCommands::applied(EditorControl::FormatResult result)
{
    if (result == EditorControl::FormatResult::NoRoom) {
        messageBox_.ask(u"This script already shows as many different combinations of font, "
                        u"size, style and colour as the editor can hold at once.\n\nThe "
                        u"formatting was not changed. Give some text a format it already "
                        u"uses, or clear formatting you no longer need, and try again."_s,
                        u"VX Format..."_s, MessageBox::Buttons::Ok, MessageBox::Icon::Warning);
    }
    return result == EditorControl::FormatResult::Written;
}

// On a selection whose characters differ, the dialog starts from the first
// selected character and OK gives the whole selection the chosen values:
// the command stays usable on any selection. Cancel writes nothing, so the
// formatting stays as it was. The toggles' check marks are not touched.
void FormatCommands::chooseFont()
{
    const std::optional<FontChoice> shared = text_.selectionFormat().font();
    dialog_.setFont(shared ? *shared : text_.firstSelectedCharacterFont());
    if (!dialog_.showFont())
        return;
    applied(text_.changeSelectionFormat(SelectionFormat::of(dialog_.font())));
}

// The value written rests on the text alone: false becomes true, while true
// and mixed both become false.
std::optional<bool> FormatCommands::toggle(std::optional<bool> SelectionFormat::*attribute)
{
    const std::optional<bool> now = text_.selectionFormat().*attribute;
    const bool value = now.has_value() && !*now;
    SelectionFormat change;
    change.*attribute = value;
    return applied(text_.changeSelectionFormat(change)) ? std::optional(value) : std::nullopt;
}

std::optional<bool> FormatCommands::toggleBold() { return toggle(&SelectionFormat::bold); }

std::optional<bool> FormatCommands::toggleItalic() { return toggle(&SelectionFormat::italic); }

std::optional<bool> FormatCommands::toggleStrikeout()
{
    return toggle(&SelectionFormat::strikeout);
}

std::optional<bool> FormatCommands::toggleUnderline()
{
    return toggle(&SelectionFormat::underline);
}
