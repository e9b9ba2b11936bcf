#include "platform/QtPrinter.h"

bool QtPrinter::printDocument(const FontChoice&, const QString&)
{
    // Not wired to a print queue yet: every attempt reports failure.
    return false;
}
