// The help browser program, vexlon-help: shows the trigger help window in a
// process of its own, so that the editor never loads the browser engine. The
// editor starts it with followEditorOption (help/HelpBrowserProtocol.h).

#include "help/HelpBrowserProtocol.h"
#include "help/Version.h"
#include "helpbrowser/EditorRequests.h"
#include "helpbrowser/TriggerHelpWindow.h"
#include "helpbrowser/WebEngineSetup.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <unistd.h>

int main(int argc, char* argv[])
{
    // Read before a display is touched; Qt's own options are left to QApplication.
    bool followEditor = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (argument == "-h" || argument == "--help") {
            std::printf("Usage: vexlon-help [--follow-stdin]\n"
                        "Shows the trigger help window of the Vexlon Script Editor.\n\n"
                        "  --follow-stdin  Take requests from the standard input, one a line\n"
                        "                  (\"raise\" brings the window to the front), and end\n"
                        "                  when it ends. The editor starts the program so.\n"
                        "  -h, --help      Shows this help and ends.\n"
                        "  -v, --version   Shows the program's version and ends.\n");
            return 0;
        }
        if (argument == "-v" || argument == "--version") {
            std::printf("vexlon-help %s\n", qPrintable(versionText(programVersion)));
            return 0;
        }
        if (QString::fromLocal8Bit(argument) == followEditorOption)
            followEditor = true;
    }

    prepareWebEngine();
    QApplication app(argc, argv);
    // The window belongs to the editor's launcher and icon on the desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral(VEXLON_APP_ID));
    TriggerHelpWindow window;
    std::unique_ptr<EditorRequests> requests;
    if (followEditor) {
        requests = std::make_unique<EditorRequests>(STDIN_FILENO);
        QObject::connect(requests.get(), &EditorRequests::raiseRequested, &window, [&window] {
            window.show();
            window.raise();
            window.activateWindow();
        });
        QObject::connect(requests.get(), &EditorRequests::editorGone, &app,
                         &QCoreApplication::quit);
    }
    window.show();
    if (followEditor) {
        QTimer::singleShot(0, &window, [] {
            std::printf("%s\n", shownReport.data());
            std::fflush(stdout);
        });
    }
    // Closing the window, the last one, ends the program.
    return QApplication::exec();
}
