#include "platform/QtCommonDialog.h"
#include "platform/QtMessageBox.h"
#include "platform/QtPrinter.h"
#include "platform/QtProcessControl.h"
#include "platform/QtProgress.h"
#include "platform/Services.h"

Services makeQtServices()
{
    Services services;
    services.commonDialog = std::make_unique<QtCommonDialog>();
    services.messageBox = std::make_unique<QtMessageBox>();
    services.printer = std::make_unique<QtPrinter>();
    services.process = std::make_unique<QtProcessControl>();
    services.progress = std::make_unique<QtProgress>();
    return services;
}
