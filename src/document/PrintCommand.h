#pragma once

class EditorControl;
class MessageBox;
class Printer;

// File, Print: the whole document on the default printer in one font, with
// Retry or Cancel when printing fails.
class PrintCommand {
public:
    PrintCommand(EditorControl& text, Printer& printer, MessageBox& messageBox);

    void Print();

private:
    EditorControl& text_;
    Printer& printer_;
    MessageBox& messageBox_;
};
