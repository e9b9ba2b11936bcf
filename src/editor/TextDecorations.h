#pragma once

#include <QRect>
#include <optional>

class QPainter;
class Engine;
class StyleTable;

// Strikeout and underline, drawn over the text the engine painted, as Qt's
// text fields draw them: for each run in its own colour, through the middle
// of its lower-case letters (strikeout) or just below its baseline
// (underline), as thick as its font asks. The engine alone would draw both
// one pixel thick at one height for every size.
class TextDecorations {
public:
    TextDecorations(Engine& engine, const StyleTable& styles);

    // Paints over the visible lines; area: the part of the viewport to paint.
    void paint(QPainter& painter, const QRect& area);
    // The styles or the zoom changed: the baseline may have moved.
    void stylesChanged();

    // Where the engine puts the baseline, from a line's top: below the
    // highest ascent of any style.
    int baselineOffset();

private:
    Engine& engine_;
    const StyleTable& styles_;
    std::optional<int> baselineOffset_;
};
