#pragma once

#include "editor/EditorControl.h"
#include "editor/StyleTable.h"
#include "platform/FontChoice.h"

#include <QColor>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class Engine;
class ScrollWidth;
class TextDecorations;

// The character formatting of the editor: each of the engine's styles shows
// one combination of the seven attributes (StyleTable), and a character's
// formatting is its style. Reads and changes the formatting of the
// selection, gives inserted text the formatting around it, and reclaims
// styles no character uses once the table is full.
class CharacterFormatter {
public:
    using FormatResult = EditorControl::FormatResult;

    CharacterFormatter(Engine& engine, FontChoice base, ScrollWidth& scrollWidth,
                       TextDecorations& decorations);

    const StyleTable& styles() const { return styles_; }
    // The format that characters of an engine style show.
    const FontChoice& format(int style) const { return styles_.format(style); }
    const FontChoice& baseFormat() const { return styles_.format(StyleTable::baseStyle); }
    // Unformatted text shows in this format from now on.
    void setBaseFormat(const FontChoice& format);
    // Tells the engine of the base format.
    void defineBaseStyle();
    // Back to unformatted text, for a new document.
    void clear();

    // Before the engine inserts length bytes at offset, or deletes them.
    void inserting(qsizetype offset, qsizetype length);
    void deleting(qsizetype offset, qsizetype length);
    // After the engine inserted text: gives it the style chosen when the
    // insertion was announced.
    void styleInsertions();

    SelectionFormat selectionFormat() const;
    FormatResult changeSelectionFormat(const SelectionFormat& change);
    FontChoice firstSelectedCharacterFont() const;

private:
    struct Insertion {
        qsizetype offset;
        qsizetype length;
        int style;
    };

    void defineAllStyles();
    void defineStyle(int style, const FontChoice& format);
    int styleForInsertionAt(qsizetype offset) const;
    int styleAround(qsizetype offset) const;
    int caretStyle() const;
    int styleAt(qsizetype offset) const;
    void setStyle(qsizetype offset, qsizetype length, int style);
    StyleTable::StyleSet stylesIn(qsizetype from, qsizetype to) const;
    std::optional<int> styleFor(const FontChoice& format, const StyleTable::StyleSet& keep);
    void reclaimStyles(const StyleTable::StyleSet& keep);

    Engine& engine_;
    StyleTable styles_;
    ScrollWidth& scrollWidth_;
    TextDecorations& decorations_;
    std::vector<Insertion> insertions_;
    // The style chosen for the text typed next, while the caret stays at caretStyleAt_.
    std::optional<int> chosenCaretStyle_;
    qsizetype caretStyleAt_ = -1;
};
