#pragma once

// Prepares the embedded browser of the trigger help window. Call it before
// the QApplication is made; the web engine itself starts only when the help
// window is first opened.
void prepareWebEngine();
