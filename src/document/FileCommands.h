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
// Open fails silently and changes nothing. Save and Save As never fail
// silently and never leave a damaged file: a write that fails is reported and
// leaves the old file as it was, and characters the file cannot store are
// only replaced by "?" once the user agrees.
class FileCommands {
public:
    FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                 ProcessControl& process, QWidget& window);

    QString CurrentFileName() const { return currentFileName_; }

    void New();
    void Open();
    void Save();
    void SaveAs();
    void Exit();

private:
    void prepareFileDialog();
    // True when the document is in the file.
    bool writeDocument(const QString& path);

    EditorControl& text_;
    CommonDialog& dialog_;
    MessageBox& messageBox_;
    ProcessControl& process_;
    QWidget& window_;
    QString currentFileName_;
    SafeFileWriter writer_;
};
