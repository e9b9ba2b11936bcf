#pragma once

#include "document/SafeFileWriter.h"

#include <QString>
#include <optional>

class CommonDialog;
class EditorControl;
class MessageBox;
class ProcessControl;
class QWidget;

// New, Open, Save, Save As and Exit: the document moves between the editor
// and plain-text files. Keeps the current file name and rewrites the
// window's caption after Open and Save As.
//
// No command fails silently. A failed Open says why and changes nothing.
// Save and Save As never leave a damaged file: a write that fails is reported
// and leaves the old file as it was, and characters the file cannot store are
// only replaced by "?" once the user agrees. Edits not yet saved are never
// dropped without a question when the program ends.
class FileCommands {
public:
    // Save and Save As write the file through writer.
    FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                 ProcessControl& process, QWidget& window,
                 SafeFileWriter writer = SafeFileWriter());

    QString currentFileName() const { return currentFileName_; }

    void newFile();
    void openFile();
    // Open without the dialog: the file at path, as if chosen in it.
    void openPath(const QString& path);
    // Each returns whether the document is now in its file.
    bool save();
    bool saveAs();
    // Ends the program once unsaved edits are saved or the user lets them go.
    void exit();
    // Asked when the window is about to close: true once unsaved edits are
    // saved or the user lets them go, and while Exit ends the program.
    bool mayCloseWindow();

private:
    void prepareFileDialog();
    // True when the document is in the file.
    bool writeDocument(const QString& path);
    // With edits not yet saved, asks whether to save them: true when the
    // program may go on to drop the document (saved, or the user said No).
    bool settleUnsavedChanges();

    EditorControl& text_;
    CommonDialog& dialog_;
    MessageBox& messageBox_;
    ProcessControl& process_;
    QWidget& window_;
    QString currentFileName_;
    SafeFileWriter writer_;
    bool ending_ = false;
};
