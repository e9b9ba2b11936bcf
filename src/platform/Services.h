#pragma once

#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"
#include "platform/ProcessControl.h"
#include "platform/Progress.h"

#include <memory>

// The outside services the main window works through. The real program binds
// them to Qt (makeQtServices); tests bind them to scripted fakes.
struct Services {
    std::unique_ptr<CommonDialog> commonDialog;
    std::unique_ptr<MessageBox> messageBox;
    std::unique_ptr<Printer> printer;
    std::unique_ptr<ProcessControl> process;
    std::unique_ptr<Progress> progress;
};

Services makeQtServices();
