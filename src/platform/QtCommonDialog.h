#pragma once

#include "platform/CommonDialog.h"

// Shows Qt's file dialogs and the program's font dialog.
class QtCommonDialog final : public CommonDialog {
protected:
    std::optional<QString> runOpenDialog() override;
    std::optional<QString> runSaveDialog() override;
    std::optional<FontChoice> runFontDialog() override;

private:
    std::optional<QString> runFileDialog(bool save);
};
