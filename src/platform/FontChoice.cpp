#include "platform/FontChoice.h"

QFont toQFont(const FontChoice& choice)
{
    QFont font(choice.name);
    if (choice.size > 0)
        font.setPointSizeF(choice.size);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setStrikeOut(choice.strikeout);
    font.setUnderline(choice.underline);
    return font;
}
