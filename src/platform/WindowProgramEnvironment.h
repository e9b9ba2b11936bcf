#pragma once

#include <QProcessEnvironment>

// The environment for a program this one starts to show a window of its own:
// this program's, naming the Qt platform it runs on and, on X11, the display
// its windows are on. Qt's command-line options (-platform, -display) may
// have chosen those instead of the environment, and the other program must
// show its window where this one's are.
QProcessEnvironment windowProgramEnvironment();
