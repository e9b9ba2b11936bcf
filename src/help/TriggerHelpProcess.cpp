#include "help/TriggerHelpProcess.h"

#include "help/HelpBrowserProtocol.h"
#include "platform/MessageBox.h"
#include "platform/WindowProgramEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// How long the program may take to close its window and end once its input
// is closed, and then once it is told to end, before it is killed.
constexpr int endingMs = 3000;
constexpr int terminatingMs = 1000;

} // namespace

QStringList helpBrowserFolders()
{
    return {QCoreApplication::applicationDirPath(), QStringLiteral(VEXLON_INSTALLED_BINDIR)};
}

TriggerHelpProcess::TriggerHelpProcess(MessageBox& messageBox, QObject* parent)
    : QObject(parent)
    , messageBox_(messageBox)
{
}

TriggerHelpProcess::TriggerHelpProcess(MessageBox& messageBox, QStringList folders, QObject* parent)
    : QObject(parent)
    , messageBox_(messageBox)
    , folders_(std::move(folders))
{
}

TriggerHelpProcess::~TriggerHelpProcess()
{
    if (!process_)
        return;
    process_->disconnect(this);
    process_->closeWriteChannel();
    if (process_->waitForFinished(endingMs))
        return;
    process_->terminate();
    if (!process_->waitForFinished(terminatingMs))
        process_->kill();
    // The QProcess, a child, waits for the kill when it is destroyed.
}

TriggerHelpProcess::State TriggerHelpProcess::state() const
{
    if (!process_)
        return State::Closed;
    return shown_ ? State::Showing : State::Starting;
}

void TriggerHelpProcess::show()
{
    if (!process_) {
        start();
        return;
    }
    process_->write(raiseRequest.toByteArray() + '\n');
}

void TriggerHelpProcess::start()
{
    const QStringList folders = folders_.value_or(helpBrowserFolders());
    QString program;
    for (const QString& folder : folders) {
        const QString candidate = QDir(folder).filePath(helpBrowserProgram.toString());
        if (QFileInfo(candidate).isFile()) {
            program = candidate;
            break;
        }
    }
    if (program.isEmpty()) {
        report(u"the program %1, which shows it, is not in %2. Installing the Vexlon Script "
               "Editor again puts it back."_s.arg(helpBrowserProgram, folders.join(u" or "_s)));
        return;
    }

    shown_ = false;
    process_ = new QProcess(this);
    process_->setProgram(program);
    process_->setArguments({followEditorOption.toString()});
    process_->setProcessEnvironment(windowProgramEnvironment());
    // What the program has to say about its troubles goes where the editor's own goes.
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    connect(process_, &QProcess::readyReadStandardOutput, this, &TriggerHelpProcess::readReports);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failedToStart();
    });
    connect(process_, &QProcess::finished, this, &TriggerHelpProcess::ended);
    process_->start();
}

void TriggerHelpProcess::readReports()
{
    while (process_->canReadLine()) {
        if (process_->readLine().trimmed() == shownReport)
            shown_ = true;
    }
}

void TriggerHelpProcess::failedToStart()
{
    const QString program = QDir::toNativeSeparators(process_->program());
    const QString why = process_->errorString();
    forget();
    report(u"the program %1 could not be started (%2)."_s.arg(program, why));
}

// The user closed the window, or the program ended before it could show it.
void TriggerHelpProcess::ended()
{
    readReports();
    const bool shown = shown_;
    const QString program = QDir::toNativeSeparators(process_->program());
    const QString how = process_->exitStatus() == QProcess::CrashExit
                            ? u"it crashed"_s
                            : u"exit status %1"_s.arg(process_->exitCode());
    forget();
    if (!shown)
        report(u"the program %1 ended before its window opened (%2)."_s.arg(program, how));
}

// Called from the process's own signals: it is deleted once they return.
void TriggerHelpProcess::forget()
{
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
}

void TriggerHelpProcess::report(const QString& why)
{
    messageBox_.ask(u"The trigger help cannot be shown: "_s + why, u"VX Triggers Explained..."_s,
                    MessageBox::Buttons::Ok, MessageBox::Icon::Warning);
}
