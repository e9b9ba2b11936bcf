#include "editor/CharacterFormatter.h"

#include "editor/Engine.h"
#include "editor/ScrollWidth.h"
#include "editor/TextDecorations.h"

#include <array>
#include <utility>

CharacterFormatter::CharacterFormatter(Engine& engine, FontChoice base, ScrollWidth& scrollWidth,
                                       TextDecorations& decorations)
    : engine_(engine)
    , styles_(std::move(base))
    , scrollWidth_(scrollWidth)
    , decorations_(decorations)
{
}

void CharacterFormatter::setBaseFormat(const FontChoice& format)
{
    styles_.setBaseFormat(format);
    defineAllStyles();
}

void CharacterFormatter::clear()
{
    insertions_.clear();
    styles_.clear();
    defineBaseStyle();
    chosenCaretStyle_.reset();
}

void CharacterFormatter::inserting(qsizetype offset, qsizetype length)
{
    insertions_.push_back({offset, length, styleForInsertionAt(offset)});
}

// A deletion in the same command as an insertion (a moving drop) moves it.
void CharacterFormatter::deleting(qsizetype offset, qsizetype length)
{
    for (Insertion& insertion : insertions_) {
        if (insertion.offset >= offset + length)
            insertion.offset -= length;
        else if (insertion.offset > offset)
            insertion.offset = offset;
    }
}

void CharacterFormatter::defineAllStyles()
{
    defineBaseStyle();
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        if (style != StyleTable::baseStyle && style != Engine::defaultStyle)
            defineStyle(style, styles_.format(style));
    }
}

void CharacterFormatter::defineBaseStyle()
{
    const FontChoice& base = styles_.format(StyleTable::baseStyle);
    defineStyle(Engine::defaultStyle, base);
    engine_.resetStyles();
    engine_.setCaretColor(base.color);
    engine_.setSelectionColors(engine_.widget().palette().color(QPalette::HighlightedText),
                               engine_.widget().palette().color(QPalette::Highlight));
}

void CharacterFormatter::defineStyle(int style, const FontChoice& format)
{
    engine_.defineStyle(style, format, engine_.widget().palette().color(QPalette::Base));
    decorations_.stylesChanged();
}

int CharacterFormatter::styleAt(qsizetype offset) const { return engine_.styleAt(offset); }

// The style of text inserted at offset: the one chosen for the caret, else
// that of the character before, or after it at the start of a line, as a
// plain text field does.
int CharacterFormatter::styleForInsertionAt(qsizetype offset) const
{
    if (chosenCaretStyle_ && caretStyleAt_ == offset)
        return *chosenCaretStyle_;
    return styleAround(offset);
}

int CharacterFormatter::styleAround(qsizetype offset) const
{
    const bool atLineStart = offset == 0 || engine_.charAt(offset - 1) == '\n';
    if (!atLineStart)
        return styleAt(offset - 1);
    if (offset < engine_.length() && engine_.charAt(offset) != '\n')
        return styleAt(offset);
    return offset > 0 ? styleAt(offset - 1) : StyleTable::baseStyle;
}

int CharacterFormatter::caretStyle() const { return styleForInsertionAt(engine_.caret()); }

// Inserted text comes in with the base style; it takes the style chosen when
// the insertion was announced.
// Also measures the lines that changed, for the horizontal scroll bar.
void CharacterFormatter::styleInsertions()
{
    const std::vector<Insertion> insertions = std::exchange(insertions_, {});
    for (const Insertion& insertion : insertions) {
        if (insertion.style != StyleTable::baseStyle)
            setStyle(insertion.offset, insertion.length, insertion.style);
        if (chosenCaretStyle_ && caretStyleAt_ == insertion.offset)
            caretStyleAt_ = insertion.offset + insertion.length;
        scrollWidth_.inserted(engine_.lineFromOffset(insertion.offset),
                              engine_.lineFromOffset(insertion.offset + insertion.length));
    }
    scrollWidth_.settle();
}

void CharacterFormatter::setStyle(qsizetype offset, qsizetype length, int style)
{
    engine_.setStyle(offset, length, style);
}

StyleTable::StyleSet CharacterFormatter::stylesIn(qsizetype from, qsizetype to) const
{
    StyleTable::StyleSet styles;
    engine_.forEachStyleRun(from, to, [&styles](int style, qsizetype, qsizetype) {
        styles.set(size_t(style));
        return true;
    });
    return styles;
}

// The attributes shared by every selected character, each std::nullopt
// where they differ, or those for the text typed next when nothing is
// selected. The walk stops once every attribute differs.
SelectionFormat CharacterFormatter::selectionFormat() const
{
    const qsizetype from = engine_.selectionStart();
    const qsizetype to = engine_.selectionEnd();
    SelectionFormat atCaret = SelectionFormat::of(styles_.format(caretStyle()));
    if (from == to)
        return atCaret;
    std::optional<SelectionFormat> shared;
    engine_.forEachStyleRun(from, to, [&](int style, qsizetype, qsizetype) {
        const SelectionFormat run = SelectionFormat::of(styles_.format(style));
        if (!shared) {
            shared = run;
            return true;
        }
        shared->keepShared(run);
        return *shared != SelectionFormat{};
    });
    // Only line breaks selected: they carry the formatting at the caret.
    return shared.value_or(atCaret);
}

std::optional<int> CharacterFormatter::styleFor(const FontChoice& format,
                                                const StyleTable::StyleSet& keep)
{
    if (const auto style = styles_.find(format))
        return style;
    auto style = styles_.add(format);
    if (!style) {
        reclaimStyles(keep);
        style = styles_.add(format);
    }
    if (style)
        defineStyle(*style, format);
    return style;
}

void CharacterFormatter::reclaimStyles(const StyleTable::StyleSet& keep)
{
    StyleTable::StyleSet used = keep | stylesIn(0, engine_.length());
    if (chosenCaretStyle_)
        used.set(size_t(*chosenCaretStyle_));
    const FontChoice& base = styles_.format(StyleTable::baseStyle);
    // A freed style shows the base format again, so that it no longer adds
    // to the height of every line.
    for (const int style : styles_.keepOnly(used))
        defineStyle(style, base);
}

// Changes the formatting of the selection, or with nothing selected that of
// the text typed next. Changes nothing when the selection holds only line
// breaks, or when the engine has no style left for a
// combination the change needs.
EditorControl::FormatResult CharacterFormatter::changeSelectionFormat(const SelectionFormat& change)
{
    const qsizetype from = engine_.selectionStart();
    const qsizetype to = engine_.selectionEnd();
    if (from == to) {
        FontChoice format = styles_.format(caretStyle());
        change.applyTo(format);
        const auto style = styleFor(format, {});
        if (!style)
            return EditorControl::FormatResult::NoRoom;
        chosenCaretStyle_ = style;
        caretStyleAt_ = engine_.caret();
        return EditorControl::FormatResult::Written;
    }
    const StyleTable::StyleSet present = stylesIn(from, to);
    if (present.none())
        return EditorControl::FormatResult::NothingToFormat;
    StyleTable::StyleSet keep = present;
    std::array<int, StyleTable::styleCount> target{};
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        if (!present.test(size_t(style)))
            continue;
        FontChoice format = styles_.format(style);
        change.applyTo(format);
        const auto changed = styleFor(format, keep);
        if (!changed)
            return EditorControl::FormatResult::NoRoom;
        target[size_t(style)] = *changed;
        keep.set(size_t(*changed));
    }
    engine_.forEachStyleRun(from, to, [&](int style, qsizetype offset, qsizetype length) {
        if (target[size_t(style)] != style)
            setStyle(offset, length, target[size_t(style)]);
        return true;
    });
    scrollWidth_.reformatted(engine_.lineFromOffset(from), engine_.lineFromOffset(to));
    scrollWidth_.settle();
    return EditorControl::FormatResult::Written;
}

FontChoice CharacterFormatter::firstSelectedCharacterFont() const
{
    int style = caretStyle();
    engine_.forEachStyleRun(engine_.selectionStart(), engine_.selectionEnd(),
                            [&style](int run, qsizetype, qsizetype) {
                                style = run;
                                return false;
                            });
    return styles_.format(style);
}
