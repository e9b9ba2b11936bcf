#include "platform/CommonDialog.h"

std::optional<QString> CommonDialog::showOpen()
{
    std::optional<QString> chosen = runOpenDialog();
    if (chosen)
        fileName_ = *chosen;
    return chosen;
}

std::optional<QString> CommonDialog::showSave()
{
    std::optional<QString> chosen = runSaveDialog();
    if (chosen)
        fileName_ = *chosen;
    return chosen;
}

bool CommonDialog::showFont()
{
    const auto chosen = runFontDialog();
    if (!chosen)
        return false;
    font_ = *chosen;
    return true;
}
