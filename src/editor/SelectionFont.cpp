#include "editor/SelectionFont.h"

#include "editor/EditorControl.h"

std::optional<FontChoice> selectionFont(const EditorControl& text)
{
    const auto name = text.selectionFontName();
    const auto size = text.selectionFontSize();
    const auto bold = text.selectionBold();
    const auto italic = text.selectionItalic();
    const auto strikeout = text.selectionStrikeout();
    const auto underline = text.selectionUnderline();
    const auto color = text.selectionColor();
    if (!name || !size || !bold || !italic || !strikeout || !underline || !color)
        return std::nullopt;
    return FontChoice{*name, *size, *bold, *italic, *strikeout, *underline, *color};
}
