#pragma once

#include "platform/Printer.h"

class QPrinter;

// Prints on the system's default print queue (CUPS, through Qt Print Support).
class QtPrinter final : public Printer {
public:
    bool printDocument(const FontChoice& font, const QString& text) override;

    // Lays text out on the pages of printer within fixed margins: each line of
    // the text (CR LF, LF or CR between lines) starts a printed line, a line
    // wider than the page wraps, and what does not fit on a page continues on
    // the next. Returns false if the printer cannot be opened or fails.
    static bool printText(QPrinter& printer, const FontChoice& font, const QString& text);
};
