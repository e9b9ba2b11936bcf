#include "editing/FormatCommands.h"

#include "editor/EditorControl.h"
#include "platform/CommonDialog.h"

FormatCommands::FormatCommands(EditorControl& text, CommonDialog& dialog)
    : text_(text)
    , dialog_(dialog)
{
}

// The seven attributes of the selection, or std::nullopt when any of them
// differs between the selected characters.
std::optional<FontChoice> FormatCommands::selectionFont() const
{
    const auto name = text_.SelectionFontName();
    const auto size = text_.SelectionFontSize();
    const auto bold = text_.SelectionBold();
    const auto italic = text_.SelectionItalic();
    const auto strikeout = text_.SelectionStrikeout();
    const auto underline = text_.SelectionUnderline();
    const auto color = text_.SelectionColor();
    if (!name || !size || !bold || !italic || !strikeout || !underline || !color)
        return std::nullopt;
    return FontChoice{*name, *size, *bold, *italic, *strikeout, *underline, *color};
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
void FormatCommands::Font()
{
    dialog_.setFlags(FontDialogFlags);
    const std::optional<FontChoice> shared = selectionFont();
    dialog_.setFont(shared ? *shared : text_.FirstSelectedCharacterFont());
    if (!dialog_.ShowFont())
        return;
    applyToSelection(dialog_.Font());
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

bool FormatCommands::Bold()
{
    return toggle(&EditorControl::SelectionBold, &EditorControl::setSelectionBold);
}

bool FormatCommands::Italic()
{
    return toggle(&EditorControl::SelectionItalic, &EditorControl::setSelectionItalic);
}

bool FormatCommands::Strikeout()
{
    return toggle(&EditorControl::SelectionStrikeout, &EditorControl::setSelectionStrikeout);
}

bool FormatCommands::Underline()
{
    return toggle(&EditorControl::SelectionUnderline, &EditorControl::setSelectionUnderline);
}
