#pragma once

class CommonDialog;
class EditorControl;
struct FontChoice;

// The Format menu: the font dialog over all seven attributes of the
// selection, and the four toggles. Each toggle returns the value it wrote,
// which its menu item's check mark shows.
class FormatCommands {
public:
    FormatCommands(EditorControl& text, CommonDialog& dialog);

    void chooseFont();
    bool toggleBold();
    bool toggleItalic();
    bool toggleStrikeout();
    bool toggleUnderline();

private:
    void applyToSelection(const FontChoice& font);
    template<typename Read, typename Write> bool toggle(Read read, Write write);

    EditorControl& text_;
    CommonDialog& dialog_;
};
