#pragma once

class EditorControl;

// Cut, Copy and Paste: plain text between the selection and the system
// clipboard. No other clipboard format is ever placed or read, and line
// breaks travel as the platform's plain text has them.
class ClipboardCommands {
public:
    explicit ClipboardCommands(EditorControl& text);

    void cut();
    void copy();
    void paste();

private:
    EditorControl& text_;
};
