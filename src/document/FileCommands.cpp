#include "document/FileCommands.h"

#include "document/InterruptedSave.h"
#include "document/OpenLimit.h"
#include "document/RegularFileReader.h"
#include "document/TextReader.h"
#include "editor/EditorControl.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/ProcessControl.h"
#include "platform/Progress.h"

using namespace Qt::StringLiterals;

namespace {

const QString fileFilter = u"Vexlon Files|*.vls|UOX/Sphere|*.scp|Text files|*.txt|"
                           u"Batch files|*.bat|INI files|*.ini|All Files|*.*|"_s;
const QString openTitle = u"VX Open..."_s;
const QString saveTitle = u"VX Save..."_s;
const QString exitTitle = u"VX Exit..."_s;

QString unstorablePrompt(const ScriptFileFormat::SavePlan& plan, const QString& path)
{
    const QString count =
        plan.unstorableCount == 1 ? u"1 character"_s : u"%1 characters"_s.arg(plan.unstorableCount);
    return u"%1 of this document cannot be stored in a Windows-1252 file. The first is on "
           u"line %2, column %3.\n\nSave \"%4\" with \"?\" in place of each?"_s.arg(count)
               .arg(plan.firstUnstorableLine)
               .arg(plan.firstUnstorableColumn)
               .arg(path);
}

QString megabytes(qint64 bytes) { return QString::number(double(bytes) / 1e6, 'f', 1); }

QString fileNameIn(const QString& path) { return path.section(u'/', -1); }

// What the progress of an Open or a Save says.
QString progressText(const QString& doing, const QString& path, qint64 done, qint64 total)
{
    return u"%1 \u201C%2\u201D\n%3 MB of %4 MB"_s.arg(doing, fileNameIn(path), megabytes(done),
                                                      megabytes(total));
}

} // namespace

FileCommands::FileCommands(EditorControl& text, CommonDialog& dialog, MessageBox& messageBox,
                           ProcessControl& process, Progress& progress, NameListener documentNamed,
                           SafeFileWriter writer, OpenLimit openLimit)
    : text_(text)
    , dialog_(dialog)
    , messageBox_(messageBox)
    , process_(process)
    , progress_(progress)
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
    const auto refuse = [&](const QString& why) {
        messageBox_.ask(u"\"%1\" could not be opened:\n%2"_s.arg(path, why), openTitle,
                        MessageBox::Buttons::Ok, MessageBox::Icon::Stop);
    };
    const qint64 limit = openLimit_();
    RegularFileReader file(path, limit);
    if (!file.isOpen()) {
        refuse(file.failure());
        return;
    }
    // Two passes over the file: the first learns its encoding and the size of
    // its text, the second hands the text to the editor. The bar counts both.
    const qint64 size = file.size();
    progress_.begin(openTitle, 2 * size);
    qint64 done = 0;
    const auto advance = [&](qint64 bytes, const QString& doing, qint64 passStart) {
        done += bytes;
        return progress_.advance(done, progressText(doing, path, done - passStart, size));
    };
    ScriptFileFormat::Survey survey;
    RegularFileReader::Outcome outcome = file.readPieces([&](QByteArrayView piece) {
        survey.add(piece);
        return advance(piece.size(), u"Reading"_s, 0);
    });
    const ScriptFileFormat::Encoding encoding = survey.encoding();
    const qint64 held = survey.textSize();
    if (outcome == RegularFileReader::Outcome::Read && held > limit) {
        progress_.end();
        refuse(u"It is too large to open here: its %1 MB would take %2 MB in the editor, "
               u"which can take at most %3 MB with the memory now free."_s.arg(
                   megabytes(size), megabytes(held), megabytes(limit)));
        return;
    }
    bool loaded = false;
    if (outcome == RegularFileReader::Outcome::Read) {
        loaded = text_.loadDocument(held, [&](const auto& onText) {
            qint64 handedOn = 0;
            outcome = readText(file, encoding, [&](QByteArrayView text, qint64 bytesRead) {
                onText(text);
                return advance(bytesRead - std::exchange(handedOn, bytesRead), u"Opening"_s, size);
            });
            return outcome == RegularFileReader::Outcome::Read;
        });
    }
    progress_.end();
    if (outcome == RegularFileReader::Outcome::Stopped)
        return;
    if (outcome == RegularFileReader::Outcome::Failed) {
        refuse(file.failure());
        return;
    }
    if (!loaded) {
        refuse(u"There is not enough memory to open it."_s);
        return;
    }
    text_.setModified(false);
    currentFileName_ = path;
    encoding_ = encoding;
    remember(file.identity(), path);
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
    // Straight from the editor's text into the file, a piece at a time.
    const QByteArrayView text = text_.documentUtf8();
    const ScriptFileFormat::SavePlan plan = ScriptFileFormat::planSave(text, encoding_);
    if (plan.unstorableCount > 0) {
        const auto answer = messageBox_.ask(unstorablePrompt(plan, path), saveTitle,
                                            MessageBox::Buttons::YesNo, MessageBox::Icon::Question);
        if (answer != MessageBox::Answer::Yes)
            return false;
    }
    progress_.begin(saveTitle, plan.size);
    const auto content = [&](const SafeFileWriter::Sink& put) {
        qint64 done = 0;
        return ScriptFileFormat::encodeText(text, encoding_, [&](QByteArrayView piece) {
            done += piece.size();
            return put(piece)
                   && progress_.advance(done, progressText(u"Saving"_s, path, done, plan.size));
        });
    };
    const SafeFileWriter::Result result = writer_.write(path, plan.size, content, links);
    progress_.end();
    if (result.cancelled)
        return false;
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
