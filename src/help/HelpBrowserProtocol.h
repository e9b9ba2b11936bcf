#pragma once

#include <QByteArrayView>
#include <QStringView>

// How the editor and its help browser, a program of its own, talk. The editor
// starts the program with followEditorOption and writes requests to its
// standard input, one a line; the program answers on its standard output.
// When that input ends (the editor closed it, or ended in any way), the
// program ends too, so that no help window outlives the editor.

// The program's file name, installed beside the editor's.
inline constexpr QStringView helpBrowserProgram = u"vexlon-help";

// Makes the program take requests on its standard input and end with it.
inline constexpr QStringView followEditorOption = u"--follow-stdin";

// Bring the window to the front and give it the keyboard.
inline constexpr QByteArrayView raiseRequest = "raise";

// The line the program writes once its window is shown: a program that ends
// before writing it could not show the help.
inline constexpr QByteArrayView shownReport = "shown";
