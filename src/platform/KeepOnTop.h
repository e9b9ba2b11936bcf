#pragma once

class QWidget;

// Keeps the window above all ordinary windows without moving or resizing it.
// Call before the window is first shown: changing the flag later hides it.
void keepOnTop(QWidget& window);
