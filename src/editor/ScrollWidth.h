#pragma once

#include <QtGlobal>

class Engine;

// How far the editor scrolls sideways: as wide as its widest line, so that
// the horizontal scroll bar shows exactly when a line is wider than the view,
// before that line is ever scrolled into view. On its own the engine only
// learns of a line's width when it draws the line, and never narrows.
//
// Lines are measured by the engine, but not all of them: a whole count takes
// one pass over the text to find the few lines with the most characters, and
// measures those; a change measures the lines it touched. Only a change that
// shortens or removes the widest line makes a whole count again.
class ScrollWidth {
public:
    explicit ScrollWidth(Engine& engine);

    // After the whole text was replaced.
    void countAll();
    // Before inserting text that holds lineBreaks line breaks at offset.
    void inserting(qsizetype offset, qsizetype lineBreaks);
    // Before deleting length bytes at offset.
    void deleting(qsizetype offset, qsizetype length);
    // After text was inserted over lines firstLine..lastLine: measures them.
    void inserted(qsizetype firstLine, qsizetype lastLine);
    // After the format of those lines changed: measures them, or counts all
    // when the widest line is among them and may have narrowed.
    void reformatted(qsizetype firstLine, qsizetype lastLine);
    // Makes a whole count that a deletion called for.
    void settle();

    // The width of the widest line, in pixels, as last counted.
    int widest() const { return widest_; }

private:
    int measure(qsizetype line) const;
    // The widest of the few lines between those offsets with the most characters.
    void measureLongest(qsizetype from, qsizetype to);
    void measureLines(qsizetype firstLine, qsizetype lastLine);
    void apply();

    Engine& engine_;
    int widest_ = 0;
    qsizetype widestLine_ = -1;
    bool countPending_ = false;
};
