#pragma once

#include "platform/FontChoice.h"

#include <QString>

// The system's default printer.
class Printer {
public:
    virtual ~Printer() = default;
    // Prints text as one job in one font. Returns false, with nothing sent,
    // when there is no usable printer or the job cannot be completed.
    virtual bool printDocument(const FontChoice& font, const QString& text) = 0;
};
