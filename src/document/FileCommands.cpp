#include "document/FileCommands.h"

#include "document/InterruptedSave.h"
#include "document/OpenLimit.h"
#include "document/RegularFileReader.h"
#include "document/ScriptFileFormat.h"
#include "editor/EditorControl.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/ProcessControl.h"

#include <QWidget>
#include <new>

using namespace Qt::StringLiterals;

namespace {

const QString fileFilter = u"Vexlon Files|*.vls|UOX/Sphere|*.scp|Text files|*.txt|"
                           u"Batch files|*.bat|INI files|*.ini|All Files|*.*|"_s;
const QString openTitle = u"VX Open..."_s;
const QString saveTitle = u"VX Save..."_s;
const QString exitTitle = u"VX Exit..."_s;

QString unstorablePrompt(const ScriptFileFormat::Encoded& encoded, const QString& path)
{
    const QString count = encoded.unstorableCount == 1
                              ? u"1 character"_s
                              : u"%1 characters"_s.arg(encoded.unstorableCount);
    return u"%1 of this document cannot be stored in a Windows-1252 file. The first is on "
           u"line %2, column %3.\n\nSave \"%4\" with \"?\" in place of each?"_s.arg(count)
               .arg(encoded.firstUnstorableLine)
               .arg(encoded.firstUnstorableColumn)
               .arg(path);
}

} // namespace

FileCommands::FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                           ProcessControl& process, QWidget& window, SafeFileWriter writer)
    : text_(text)
    , dialog_(dialog)
    , messageBox_(messageBox)
    , process_(process)
    , window_(window)
    , writer_(std::move(writer))
{
}

void FileCommands::newFile()
{
    const auto answer = messageBox_.ask(u"File not saved, continue?"_s, u"VX New..."_s,
                                        MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Yes)
        return;
    text_.setDocumentText(QString());
    text_.setModified(false);
}

void FileCommands::prepareFileDialog()
{
    dialog_.setFilter(fileFilter);
    dialog_.setFilterIndex(1);
}

void FileCommands::openFile()
{
    prepareFileDialog();
    if (!dialog_.showOpen())
        return;
    openPath(dialog_.fileName());
}

void FileCommands::openPath(const QString& path)
{
    RegularFileRead read;
    try {
        read = readRegularFile(path, largestOpenableFile());
    } catch (const std::bad_alloc&) {
        read.failure = u"There is not enough memory to open it."_s;
    }
    if (!read.bytes) {
        messageBox_.ask(u"\"%1\" could not be opened:\n%2"_s.arg(path, read.failure), openTitle,
                        MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
        return;
    }
    // Straight from the file's bytes into the editor, a piece at a time.
    const QByteArray& bytes = *read.bytes;
    text_.setDocumentText(bytes.size(), [&bytes](const auto& onPiece) {
        ScriptFileFormat::forEachTextPiece(bytes, onPiece);
    });
    text_.setModified(false);
    window_.setWindowTitle(u"Vexlon Scriptor   "_s + path);
    currentFileName_ = path;
    if (const std::optional<InterruptedSave> copy = findInterruptedSave(path))
        messageBox_.ask(copy->notice(path), openTitle, MessageBox::Buttons::Ok,
                        MessageBox::Icon::Warning);
}

bool FileCommands::save()
{
    if (currentFileName_.isEmpty())
        return saveAs();
    return writeDocument(currentFileName_);
}

bool FileCommands::saveAs()
{
    prepareFileDialog();
    if (!dialog_.showSave())
        return false;
    const QString path = dialog_.fileName();
    if (!writeDocument(path))
        return false;
    window_.setWindowTitle(u"Vexlon"_s + path);
    currentFileName_ = path;
    return true;
}

bool FileCommands::writeDocument(const QString& path)
{
    // Piece by piece: a large script is never held twice as text.
    ScriptFileFormat::Encoder encoder(text_.documentTextLength());
    text_.readDocumentText([&encoder](QStringView piece) { encoder.add(piece); });
    const ScriptFileFormat::Encoded encoded = encoder.finish();
    if (encoded.unstorableCount > 0) {
        const auto answer = messageBox_.ask(unstorablePrompt(encoded, path), saveTitle,
                                            MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
        if (answer != MessageBox::Answer::Yes)
            return false;
    }
    const SafeFileWriter::Result result = writer_.write(path, encoded.bytes);
    if (!result.written) {
        messageBox_.ask(u"\"%1\" could not be saved:\n%2\n\nThe document is still open here, "
                        u"unsaved."_s.arg(path, result.reason),
                        saveTitle, MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
        return false;
    }
    text_.setModified(false);
    return true;
}

bool FileCommands::settleUnsavedChanges()
{
    if (!text_.isModified())
        return true;
    const QString name = currentFileName_.isEmpty() ? u"Untitled"_s : currentFileName_;
    const auto answer =
        messageBox_.ask(u"Save changes to %1?"_s.arg(name), exitTitle,
                        MessageBox::Buttons::YesNoCancel, MessageBox::Icon::Question);
    switch (answer) {
    case MessageBox::Answer::Yes:
        return save();
    case MessageBox::Answer::No:
        return true;
    default:
        return false;
    }
}

void FileCommands::exit()
{
    if (!settleUnsavedChanges())
        return;
    ending_ = true;
    process_.endProgram();
}

bool FileCommands::mayCloseWindow() { return ending_ || settleUnsavedChanges(); }
