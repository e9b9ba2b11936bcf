#pragma once

class EditorControl;
class MessageBox;
class Printer;
struct FontChoice;

// File, Print: the whole document on the default printer in one font, with
// Retry or Cancel when printing fails.
//
// The font is the face of the editor's base font with the size, styles and
// colour of the selection (or of the caret). Where the selection mixes values
// of an attribute, its first character's value is taken, so that such a
// selection still prints.
class PrintCommand {
public:
    PrintCommand(EditorControl& text, Printer& printer, MessageBox& messageBox);

    void print();

private:
    bool printOnce();
    FontChoice printFont() const;

    EditorControl& text_;
    Printer& printer_;
    MessageBox& messageBox_;
};
