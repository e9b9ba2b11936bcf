#pragma once

// The trigger help window as the editor's Help menu sees it: shown by a
// program of its own, so that the editor never loads the browser engine.
class TriggerHelp {
public:
    virtual ~TriggerHelp() = default;
    // Shows the window, or brings the one already shown to the front.
    virtual void show() = 0;
};
