#pragma once

#include <QString>

class CommonDialog;
class EditorControl;
class MessageBox;
class ProcessControl;
class QWidget;

// New, Open, Save, Save As and Exit: the document moves between the editor
// and plain-text files. Keeps the current file name and rewrites the
// window's caption after Open and Save As.
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
    EditorControl& text_;
    CommonDialog& dialog_;
    MessageBox& messageBox_;
    ProcessControl& process_;
    QWidget& window_;
    QString currentFileName_;
};
