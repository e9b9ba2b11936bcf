#include "platform/CommonDialog.h"

bool CommonDialog::showOpen()
{
    const auto chosen = runOpenDialog();
    if (!chosen)
        return false;
    fileName_ = *chosen;
    return true;
}

bool CommonDialog::showSave()
{
    const auto chosen = runSaveDialog();
    if (!chosen)
        return false;
    fileName_ = *chosen;
    return true;
}

bool CommonDialog::showFont()
{
    const auto chosen = runFontDialog();
    if (!chosen)
        return false;
    font_ = *chosen;
    return true;
}
