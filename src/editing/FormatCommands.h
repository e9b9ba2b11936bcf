#pragma once

class CommonDialog;
class EditorControl;

// The Format menu: the font dialog over all seven attributes of the
// selection, and the four toggles. Each toggle returns the value it wrote,
// which its menu item's check mark shows.
class FormatCommands {
public:
    FormatCommands(EditorControl& text, CommonDialog& dialog);

    void Font();
    bool Bold();
    bool Italic();
    bool Strikeout();
    bool Underline();

private:
    EditorControl& text_;
    CommonDialog& dialog_;
};
