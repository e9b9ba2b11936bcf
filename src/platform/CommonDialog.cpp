#include "platform/CommonDialog.h"

bool CommonDialog::ShowOpen()
{
    const auto chosen = runOpenDialog();
    if (!chosen)
        return false;
    fileName_ = *chosen;
    return true;
}

bool CommonDialog::ShowSave()
{
    const auto chosen = runSaveDialog();
    if (!chosen)
        return false;
    fileName_ = *chosen;
    return true;
}

bool CommonDialog::ShowFont()
{
    const auto chosen = runFontDialog();
    if (!chosen)
        return false;
    font_ = *chosen;
    return true;
}
