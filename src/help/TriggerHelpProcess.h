#pragma once

#include "help/TriggerHelp.h"

#include <QObject>
#include <QStringList>
#include <optional>

class MessageBox;
class QProcess;

// The folders the help browser program is looked for in, in order: the
// running editor's own folder, then the one the build installs programs to.
QStringList helpBrowserFolders();

// Shows the trigger help window through the help browser program (see
// HelpBrowserProtocol.h). The first show() starts the program; while it runs,
// show() asks it to bring its window to the front instead of starting another.
// Once the user has closed the window the program has ended, and the next
// show() starts it again. A program that cannot be found, or ends before its
// window shows, is reported through the message box and nothing else happens.
//
// The program ends with this object: it closes the program's input, which
// makes the program end, and ends it by force if it does not.
class TriggerHelpProcess final : public QObject, public TriggerHelp {
    Q_OBJECT
public:
    explicit TriggerHelpProcess(MessageBox& messageBox, QObject* parent = nullptr);
    // Looks for the program in these folders instead; for tests.
    TriggerHelpProcess(MessageBox& messageBox, QStringList folders, QObject* parent = nullptr);
    ~TriggerHelpProcess() override;
    TriggerHelpProcess(const TriggerHelpProcess&) = delete;
    TriggerHelpProcess& operator=(const TriggerHelpProcess&) = delete;

    void show() override;

    // Closed: no program runs. Starting: it was started and has not shown
    // its window yet. Showing: the window shows, until the program ends.
    enum class State { Closed, Starting, Showing };
    State state() const;

private:
    void start();
    void readReports();
    void failedToStart();
    void ended();
    void forget();
    void report(const QString& why);

    MessageBox& messageBox_;
    // Unset: helpBrowserFolders(), looked up only when the program is started.
    std::optional<QStringList> folders_;
    // The running program; a child of this object, null while none runs.
    QProcess* process_ = nullptr;
    bool shown_ = false;
};
