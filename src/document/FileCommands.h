#pragma once

#include "document/FileIdentity.h"
#include "document/SafeFileWriter.h"
#include "document/ScriptFileFormat.h"

#include <QString>
#include <functional>
#include <optional>

class CommonDialog;
class EditorControl;
class MessageBox;
class ProcessControl;
class Progress;

// New, Open, Save, Save As and Exit: the document moves between the editor
// and plain-text files. Keeps the current file name, and tells the window
// when Open or Save As gave the document a new one.
//
// No command fails silently. A failed Open says why and changes nothing.
// Save and Save As never leave a damaged file: a write that fails is reported
// and leaves the old file as it was, and characters the file cannot store are
// only replaced by "?" once the user agrees. Save writes over what another
// program wrote to the file since it was opened or saved here only once the
// user agrees. Edits not yet saved are never dropped without a question, by
// Open or when the program ends.
//
// A document is saved in the encoding its file was opened in: UTF-8 (with
// its byte-order mark, when it had one) or Windows-1252; New starts a
// Windows-1252 document.
//
// An Open or a Save that lasts shows its progress, and may be cancelled:
// a cancelled Open leaves the document as it was, a cancelled Save the file.
class FileCommands {
public:
    // How the document came by its file name.
    enum class Naming { Opened, SavedAs };
    using NameListener = std::function<void(Naming, const QString& path)>;
    // The window's caption for a document that Open or Save As named.
    static QString captionFor(Naming naming, const QString& path);

    // The largest text, in the editor's bytes, that Open takes on.
    using OpenLimit = std::function<qint64()>;

    // documentNamed hears of each successful Open and Save As. Save and Save
    // As write the file through writer; openLimit is where tests make the
    // memory short.
    FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                 ProcessControl& process, Progress& progress, NameListener documentNamed,
                 SafeFileWriter writer = SafeFileWriter(), OpenLimit openLimit = {});

    QString currentFileName() const { return currentFileName_; }
    ScriptFileFormat::Encoding encoding() const { return encoding_; }

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
    bool writeDocument(const QString& path, SafeFileWriter::Links links);
    // False when the current file was changed on disk since it was opened or
    // saved here and the user would rather keep those changes.
    bool mayReplaceCurrentFile();
    // Why the current file must not be written now, or nothing.
    QString currentFileRefusal() const;
    void remember(const std::optional<FileIdentity>& file, const QString& path);
    void reportFailedSave(const QString& path, const QString& reason);
    // With edits not yet saved, asks whether to save them: true when the
    // program may go on to drop the document (saved, or the user said No).
    bool settleUnsavedChanges(const QString& title);

    EditorControl& text_;
    CommonDialog& dialog_;
    MessageBox& messageBox_;
    ProcessControl& process_;
    Progress& progress_;
    NameListener documentNamed_;
    QString currentFileName_;
    ScriptFileFormat::Encoding encoding_ = ScriptFileFormat::Encoding::Windows1252;
    // The current file as this program last read or wrote it, and whether
    // its name was a symbolic link then.
    std::optional<FileIdentity> knownFile_;
    bool knownThroughLink_ = false;
    SafeFileWriter writer_;
    OpenLimit openLimit_;
    bool ending_ = false;
};
