#include "editor/TextDecorations.h"

#include "editor/Engine.h"
#include "editor/StyleTable.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// The engine's smallest font size, in points, however far it is zoomed out.
constexpr float smallestSize = 2;

// The font the engine shows a format in, at the engine's zoom.
QFont engineFont(const Engine& engine, const FontChoice& format)
{
    QFont font = toQFont(format);
    font.setPointSizeF(std::max(smallestSize, format.size + float(engine.zoom())));
    return font;
}

} // namespace

TextDecorations::TextDecorations(Engine& engine, const StyleTable& styles)
    : engine_(engine)
    , styles_(styles)
{
}

void TextDecorations::stylesChanged() { baselineOffset_.reset(); }

// The engine lays every line out alike: the baseline lies below the highest
// ascent among all its styles, each cut to whole pixels.
int TextDecorations::baselineOffset()
{
    if (baselineOffset_)
        return *baselineOffset_;
    int ascent = 1;
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        const QFontMetricsF metrics(engineFont(engine_, styles_.format(style)),
                                    engine_.widget().viewport());
        ascent = std::max(ascent, int(metrics.ascent()));
    }
    baselineOffset_ = ascent;
    return ascent;
}

void TextDecorations::paint(QPainter& painter, const QRect& area)
{
    StyleTable::StyleSet decorated;
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        const FontChoice& format = styles_.format(style);
        decorated.set(size_t(style), format.strikeout || format.underline);
    }
    if (decorated.none())
        return;

    const qsizetype selectionFrom = engine_.selectionStart();
    const qsizetype selectionTo = engine_.selectionEnd();
    const QColor selectedColor = engine_.widget().palette().color(QPalette::HighlightedText);
    const int baseline = baselineOffset();
    const int width = engine_.widget().viewport()->width();
    const qsizetype lineCount = engine_.lineCount();
    const qsizetype firstLine = engine_.firstVisibleLine();
    const qsizetype lastLine = std::min(lineCount, firstLine + engine_.linesOnScreen() + 2);

    painter.save();
    for (qsizetype line = firstLine; line < lastLine; ++line) {
        const qsizetype lineStart = engine_.lineStart(line);
        const int top = engine_.yOfOffset(lineStart);
        const int height = engine_.lineHeight(line);
        if (top >= area.bottom() + 1 || top + height <= area.top())
            continue;
        const qsizetype lineEnd = engine_.lineEnd(line);
        // Only the part of a long line that is on screen, a character more
        // each side for those cut by the edges.
        const qsizetype from = engine_.offsetBefore(engine_.offsetAtPoint({area.left(), top}));
        const qsizetype to = engine_.offsetAfter(engine_.offsetAtPoint({area.right() + 1, top}));
        const qsizetype runFrom = std::clamp(from, lineStart, lineEnd);
        const qsizetype runTo = std::clamp(to, runFrom, lineEnd);
        const auto xAt = [this](qsizetype offset) { return qreal(engine_.xOfOffset(offset)); };
        engine_.forEachStyleRun(runFrom, runTo, [&](int style, qsizetype start, qsizetype length) {
            if (!decorated.test(size_t(style)))
                return true;
            const FontChoice& format = styles_.format(style);
            const QFontMetricsF metrics(engineFont(engine_, format), engine_.widget().viewport());
            QPen pen(format.color, std::max<qreal>(1, metrics.lineWidth()));
            pen.setCapStyle(Qt::FlatCap);
            const qreal y = top + baseline;
            // Below the baseline by the font's own distance, rounded away from
            // the letters but kept within the descent, as Qt's text does.
            qreal underlineOffset = std::ceil(metrics.underlinePos()) + 0.5;
            if (metrics.underlinePos() <= metrics.descent())
                underlineOffset = std::min(underlineOffset, metrics.descent() - 0.5);
            const qreal strikeoutY = y - metrics.strikeOutPos();
            // Selected characters show in the selection's text colour.
            const qsizetype end = start + length;
            const qsizetype cuts[] = {start, std::clamp(selectionFrom, start, end),
                                      std::clamp(selectionTo, start, end), end};
            for (int part = 0; part < 3; ++part) {
                if (cuts[part] >= cuts[part + 1])
                    continue;
                pen.setColor(part == 1 ? selectedColor : format.color);
                painter.setPen(pen);
                const qreal left = std::floor(xAt(cuts[part]));
                const qreal right = std::floor(xAt(cuts[part + 1]));
                if (right <= 0 || left >= width)
                    continue;
                if (format.strikeout)
                    painter.drawLine(QLineF(left, strikeoutY, right, strikeoutY));
                if (format.underline)
                    painter.drawLine(QLineF(left, y + underlineOffset, right, y + underlineOffset));
            }
            return true;
        });
    }
    painter.restore();
}
