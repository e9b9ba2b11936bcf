#include "document/FileCommands.h"

#include "document/InterruptedSave.h"
#include "document/OpenLimit.h"
#include "document/RegularFileReader.h"
#include "editor/EditorControl.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/ProcessControl.h"

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

QString megabytes(qint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); }

} // namespace

FileCommands::FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                           ProcessControl& process, NameListener documentNamed,
                           SafeFileWriter writer, OpenLimit openLimit)
    : text_(text)
    , dialog_(dialog)
    , messageBox_(messageBox)
    , process_(process)
    , documentNamed_(std::move(documentNamed))
    , writer_(std::move(writer))
    , openLimit_(std::move(openLimit))
{
    if (!openLimit_)
        openLimit_ = [] { return largestOpenableFile(); };
}

QString FileCommands::captionFor(Naming naming, const QString& path)
{
    // After Open the three blanks are all that parts the prefix from the path.
    return (naming == Naming::Opened ? u"Vexlon Scriptor   "_s : u"Vexlon"_s) + path;
}

void FileCommands::newFile()
{
    const auto answer = messageBox_.ask(u"File not saved, continue?"_s, u"VX New..."_s,
                                        MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
    if (answer != MessageBox::Answer::Yes)
        return;
    text_.setDocumentText(QString());
    text_.setModified(false);
    encoding_ = ScriptFileFormat::Encoding::Windows1252;
}

void FileCommands::prepareFileDialog()
{
    dialog_.setFilter(fileFilter);
    dialog_.setFilterIndex(1);
}

void FileCommands::openFile()
{
    if (!settleUnsavedChanges(openTitle))
        return;
    prepareFileDialog();
    if (const std::optional<QString> chosen = dialog_.showOpen())
        openPath(*chosen);
}

void FileCommands::openPath(const QString& path)
{
    const qint64 limit = openLimit_();
    RegularFileRead read;
    try {
        read = readRegularFile(path, limit);
    } catch (const std::bad_alloc&) {
        read.failure = u"There is not enough memory to open it."_s;
    }
    const auto refuse = [&](const QString& why) {
        messageBox_.ask(u"\"%1\" could not be opened:\n%2"_s.arg(path, why), openTitle,
                        MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
    };
    if (!read.bytes) {
        refuse(read.failure);
        return;
    }
    const QByteArray& bytes = *read.bytes;
    const ScriptFileFormat::Encoding encoding = ScriptFileFormat::detectEncoding(bytes);
    // Characters of several bytes in the editor may take a file that fits
    // past what it can hold: counted only where that can happen.
    constexpr qint64 mostBytesPerFileByte = 3;
    if (bytes.size() > limit / mostBytesPerFileByte) {
        if (const qint64 held = ScriptFileFormat::heldSize(bytes, encoding); held > limit) {
            refuse(u"It is too large to open here: its %1 MB would take %2 MB in the editor, "
                   u"which can take at most %3 MB with the memory now free."_s.arg(
                       megabytes(bytes.size()), megabytes(held), megabytes(limit)));
            return;
        }
    }
    // Straight from the file's bytes into the editor, a piece at a time.
    text_.setDocumentText(bytes.size(), [&bytes, encoding](const auto& onPiece) {
        ScriptFileFormat::forEachTextPiece(bytes, encoding, onPiece);
    });
    text_.setModified(false);
    currentFileName_ = path;
    encoding_ = encoding;
    remember(read.identity, path);
    documentNamed_(Naming::Opened, path);
    if (const std::optional<InterruptedSave> copy = findInterruptedSave(path))
        messageBox_.ask(copy->notice(path), openTitle, MessageBox::Buttons::Ok,
                        MessageBox::Icon::Warning);
}

void FileCommands::remember(const std::optional<FileIdentity>& file, const QString& path)
{
    knownFile_ = file;
    knownThroughLink_ = FileIdentity::linkTargetOf(path).has_value();
}

bool FileCommands::save()
{
    if (currentFileName_.isEmpty())
        return saveAs();
    if (const QString refusal = currentFileRefusal(); !refusal.isEmpty()) {
        reportFailedSave(currentFileName_, refusal);
        return false;
    }
    // And so should one appear between this check and the write.
    const auto links = knownFile_ && !knownThroughLink_ ? SafeFileWriter::Links::Refuse
                                                        : SafeFileWriter::Links::Follow;
    return mayReplaceCurrentFile() && writeDocument(currentFileName_, links);
}

QString FileCommands::currentFileRefusal() const
{
    // Whoever can put a link in the file's place must not be able to make
    // this save write to a file of their choosing.
    if (!knownFile_ || knownThroughLink_)
        return {};
    if (const std::optional<QString> target = FileIdentity::linkTargetOf(currentFileName_))
        return u"\"%1\" is now a link to \"%2\"; it was not saved."_s.arg(currentFileName_,
                                                                          *target);
    return {};
}

bool FileCommands::mayReplaceCurrentFile()
{
    const std::optional<FileIdentity> onDisk = FileIdentity::ofPath(currentFileName_);
    // A file deleted since is simply written again.
    if (!onDisk || !knownFile_ || *onDisk == *knownFile_)
        return true;
    const auto answer =
        messageBox_.ask(u"\u201C%1\u201D was changed by another program after it was opened here.\n"
                        u"Replace those changes with this document?"_s.arg(currentFileName_),
                        saveTitle, MessageBox::Buttons::YesNoDefaultNo, MessageBox::Icon::Question);
    return answer == MessageBox::Answer::Yes;
}

bool FileCommands::saveAs()
{
    prepareFileDialog();
    const std::optional<QString> chosen = dialog_.showSave();
    if (!chosen)
        return false;
    const QString& path = *chosen;
    if (!writeDocument(path, SafeFileWriter::Links::Follow))
        return false;
    currentFileName_ = path;
    documentNamed_(Naming::SavedAs, path);
    return true;
}

bool FileCommands::writeDocument(const QString& path, SafeFileWriter::Links links)
{
    // Piece by piece: a large script is never held twice as text.
    ScriptFileFormat::Encoder encoder(text_.documentTextLength(), encoding_);
    text_.readDocumentText([&encoder](QStringView piece) { encoder.add(piece); });
    const ScriptFileFormat::Encoded encoded = encoder.finish();
    if (encoded.unstorableCount > 0) {
        const auto answer = messageBox_.ask(unstorablePrompt(encoded, path), saveTitle,
                                            MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
        if (answer != MessageBox::Answer::Yes)
            return false;
    }
    const SafeFileWriter::Result result = writer_.write(path, encoded.bytes, links);
    if (!result.written) {
        reportFailedSave(path, result.reason);
        return false;
    }
    text_.setModified(false);
    remember(FileIdentity::ofPath(path), path);
    return true;
}

void FileCommands::reportFailedSave(const QString& path, const QString& reason)
{
    messageBox_.ask(u"\"%1\" could not be saved:\n%2\n\nThe document is still open here, "
                    u"unsaved."_s.arg(path, reason),
                    saveTitle, MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
}

bool FileCommands::settleUnsavedChanges(const QString& title)
{
    if (!text_.isModified())
        return true;
    const QString name = currentFileName_.isEmpty() ? u"Untitled"_s : currentFileName_;
    const auto answer =
        messageBox_.ask(u"Save changes to %1?"_s.arg(name), title, MessageBox::Buttons::YesNoCancel,
                        MessageBox::Icon::Question);
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
    if (!settleUnsavedChanges(exitTitle))
        return;
    ending_ = true;
    process_.endProgram();
}

bool FileCommands::mayCloseWindow() { return ending_ || settleUnsavedChanges(exitTitle); }
