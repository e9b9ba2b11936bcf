#pragma once

#include "platform/FontChoice.h"

#include <QColor>
#include <QString>
#include <optional>

// The seven character attributes of the editor's selection, each on its own.
//
// Read from the editor, an attribute is std::nullopt ("mixed") when the
// selected characters differ in it. Handed to the editor as a change, an
// attribute left std::nullopt stays as each character has it, and so does a
// size of 0.
// Each attribute has an initialiser, so that a change names only the ones it
// sets: {.bold = true}.
struct SelectionFormat {
    std::optional<QString> name = std::nullopt;
    std::optional<float> size = std::nullopt;
    std::optional<bool> bold = std::nullopt;
    std::optional<bool> italic = std::nullopt;
    std::optional<bool> strikeout = std::nullopt;
    std::optional<bool> underline = std::nullopt;
    std::optional<QColor> color = std::nullopt;

    friend bool operator==(const SelectionFormat&, const SelectionFormat&) = default;

    // A change that writes all seven; a size of 0 keeps each character's size.
    static SelectionFormat of(const FontChoice& font)
    {
        return {font.name,      font.size,      font.bold, font.italic,
                font.strikeout, font.underline, font.color};
    }

    // All seven, when no attribute is mixed.
    std::optional<FontChoice> font() const
    {
        if (!name || !size || !bold || !italic || !strikeout || !underline || !color)
            return std::nullopt;
        return FontChoice{*name, *size, *bold, *italic, *strikeout, *underline, *color};
    }

    // Leaves "mixed" each attribute in which other differs: read over a
    // selection, one character's format after another.
    void keepShared(const SelectionFormat& other)
    {
        const auto keepIfSame = [](auto& kept, const auto& value) {
            if (kept != value)
                kept.reset();
        };
        keepIfSame(name, other.name);
        keepIfSame(size, other.size);
        keepIfSame(bold, other.bold);
        keepIfSame(italic, other.italic);
        keepIfSame(strikeout, other.strikeout);
        keepIfSame(underline, other.underline);
        keepIfSame(color, other.color);
    }

    // Writes this change over a character's format. Colours are opaque: the
    // editor draws no translucent text.
    void applyTo(FontChoice& format) const
    {
        if (name)
            format.name = *name;
        if (size && *size > 0)
            format.size = *size;
        if (bold)
            format.bold = *bold;
        if (italic)
            format.italic = *italic;
        if (strikeout)
            format.strikeout = *strikeout;
        if (underline)
            format.underline = *underline;
        if (color)
            format.color = QColor::fromRgb(color->rgb());
    }
};
