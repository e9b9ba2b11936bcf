#pragma once

#include "platform/CommonDialog.h"
#include "platform/QtMessageBox.h"

// Shows the program's file and font dialogs.
class QtCommonDialog final : public CommonDialog {
protected:
    std::optional<QString> runOpenDialog() override;
    std::optional<QString> runSaveDialog() override;
    std::optional<FontChoice> runFontDialog() override;

private:
    std::optional<QString> runFileDialog(bool save);

    QtMessageBox messages_; // the file dialog's own questions
};
