#pragma once

#include "FileBytes.h"
#include "document/FileCommands.h"
#include "editor/ScriptEditor.h"
#include "support/FakeServices.h"

#include <QFile>
#include <QWidget>

// Shows the caption for each new name of the document in window, as the main
// window does.
inline FileCommands::NameListener captionShownIn(QWidget& window)
{
    return [&window](FileCommands::Naming naming, const QString& path) {
        window.setWindowTitle(FileCommands::captionFor(naming, path));
    };
}

// The file commands on a real editor, with scripted dialogs and message boxes.
struct FileCommandsHarness {
    QWidget window;
    ScriptEditor* text = new ScriptEditor(&window);
    FakeCommonDialog dialog;
    FakeMessageBox messageBox;
    FakeProcessControl process;
    FakeProgress progress;
    FileCommands files{*text, dialog, messageBox, process, progress, captionShownIn(window)};
};

// What saving an opened file must write: every byte as it was, each line end
// (CR LF, lone LF or lone CR) as CR LF, and CR LF after the last line when
// the file had no line end there.
inline QByteArray savedFormOf(const QByteArray& bytes)
{
    QByteArray expected;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n')
            expected += "\r\n";
        else
            expected += bytes[i];
    }
    if (!expected.endsWith("\r\n"))
        expected += "\r\n";
    return expected;
}
