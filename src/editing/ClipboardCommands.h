#pragma once

class EditorControl;

// Cut, Copy and Paste: plain text between the selection and the system clipboard.
class ClipboardCommands {
public:
    explicit ClipboardCommands(EditorControl& text);

    void Cut();
    void Copy();
    void Paste();

private:
    EditorControl& text_;
};
