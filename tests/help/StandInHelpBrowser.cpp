// Stands in for the help browser program in the tests of the editor's side.
// It appends to the file VEXLON_STAND_IN_LOG a line "started ARGV0 ARGUMENTS"
// and one "pid N", then each line it reads from its input as "read LINE" and
// "input closed" when the input ends. VEXLON_STAND_IN_MODE says how it goes:
//   (unset)   reports its window shown and ends when its input ends
//   fail      ends at once with status 3, showing nothing
//   crash     is killed by a signal at once
//   close     reports its window shown, then ends, as when the user closes it
//   stubborn  reports its window shown and never ends by itself

#include "help/HelpBrowserProtocol.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

QFile logFile;

void log(const QByteArray& line)
{
    logFile.write(line + '\n');
    logFile.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    logFile.setFileName(qEnvironmentVariable("VEXLON_STAND_IN_LOG"));
    if (!logFile.open(QIODevice::Append))
        return 2;
    QByteArray started = "started";
    for (int i = 0; i < argc; ++i)
        started += ' ' + QByteArray(argv[i]);
    log(started);
    log("pid " + QByteArray::number(::getpid()));

    const QByteArray mode = qgetenv("VEXLON_STAND_IN_MODE");
    if (mode == "fail")
        return 3;
    if (mode == "crash")
        std::raise(SIGKILL);
    std::printf("%s\n", shownReport.data());
    std::fflush(stdout);
    if (mode == "close")
        return 0;

    QByteArray input;
    QSocketNotifier notifier(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            notifier.setEnabled(false);
            log("input closed");
            if (mode != "stubborn")
                QCoreApplication::quit();
            return;
        }
        input.append(buffer, got);
        for (qsizetype end; (end = input.indexOf('\n')) >= 0; input.remove(0, end + 1))
            log("read " + input.left(end));
    });
    return QCoreApplication::exec();
}
