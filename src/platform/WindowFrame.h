#pragma once

class QWidget;

// How the window manager frames a top-level window that keeps its size.
enum class FrameKind {
    // A caption and a close box; no minimise, no maximise, no full screen.
    FixedDialog,
    // As a fixed dialog, without a window icon and without a taskbar entry.
    Splash,
};

// Gives the window its frame. Call it once its flags are set: on X11 the
// window-manager hints that Qt's flags alone do not give follow each time
// the window is shown.
void setWindowFrame(QWidget& window, FrameKind kind);
