#pragma once

#include "platform/Printer.h"

// Prints on the system's default print queue.
class QtPrinter final : public Printer {
public:
    bool printDocument(const FontChoice& font, const QString& text) override;
};
