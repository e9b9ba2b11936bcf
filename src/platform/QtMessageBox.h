#pragma once

#include "platform/MessageBox.h"

class QtMessageBox final : public MessageBox {
public:
    Answer ask(const QString& prompt, const QString& title, Buttons buttons, Icon icon) override;
};
