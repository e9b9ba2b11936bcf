#pragma once

#include <QPointer>
#include <QWidget>

// A secondary window exists at most once: the first call creates it, later
// calls bring the same window to the front. It has no owner window and
// destroys itself when closed, which empties the slot.
template<typename Window, typename... Args>
Window& showSingleWindow(QPointer<Window>& slot, Args&&... args)
{
    if (!slot) {
        slot = new Window(std::forward<Args>(args)...);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return *slot;
}
