#pragma once

#include "platform/ProcessControl.h"

class QtProcessControl final : public ProcessControl {
public:
    void endProgram() override;
};
