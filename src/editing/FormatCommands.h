#pragma once

#include "editor/EditorControl.h"

#include <optional>

class CommonDialog;
class MessageBox;
struct FontChoice;

// The Format menu: the font dialog over all seven attributes of the
// selection, and the four toggles. Each toggle returns the value it wrote,
// which its menu item's check mark shows, or std::nullopt when it wrote
// nothing (a selection of only line breaks, or no room for one more format).
class FormatCommands {
public:
    FormatCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox);

    void chooseFont();
    std::optional<bool> toggleBold();
    std::optional<bool> toggleItalic();
    std::optional<bool> toggleStrikeout();
    std::optional<bool> toggleUnderline();

private:
    std::optional<bool> toggle(std::optional<bool> SelectionFormat::*attribute);
    bool applied(EditorControl::FormatResult result);

    EditorControl& text_;
    CommonDialog& dialog_;
    MessageBox& messageBox_;
};
