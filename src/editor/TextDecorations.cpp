#include "editor/TextDecorations.h"

#include "editor/ScriptEditor.h"
#include "editor/StyleTable.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

using Sci = QsciScintillaBase;

// The engine's smallest font size, in points, however far it is zoomed out.
constexpr float smallestSize = 2;

// The font the engine shows a format in, at the engine's zoom.
QFont engineFont(const ScriptEditor& editor, const FontChoice& format)
{
    QFont font = toQFont(format);
    const long zoom = editor.SendScintilla(Sci::SCI_GETZOOM);
    font.setPointSizeF(std::max(smallestSize, format.size + float(zoom)));
    return font;
}

} // namespace

TextDecorations::TextDecorations(ScriptEditor& editor)
    : editor_(editor)
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
        const QFontMetricsF metrics(engineFont(editor_, editor_.styleFormat(style)),
                                    editor_.viewport());
        ascent = std::max(ascent, int(metrics.ascent()));
    }
    baselineOffset_ = ascent;
    return ascent;
}

void TextDecorations::paint(QPainter& painter, const QRect& area)
{
    StyleTable::StyleSet decorated;
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        const FontChoice& format = editor_.styleFormat(style);
        decorated.set(size_t(style), format.strikeout || format.underline);
    }
    if (decorated.none())
        return;

    const auto send = [this](unsigned int message, qsizetype wParam = 0, qsizetype lParam = 0) {
        return qsizetype(editor_.SendScintilla(message, static_cast<unsigned long>(wParam),
                                               static_cast<long>(lParam)));
    };
    const qsizetype selectionFrom = send(Sci::SCI_GETSELECTIONSTART);
    const qsizetype selectionTo = send(Sci::SCI_GETSELECTIONEND);
    const QColor selectedColor = editor_.palette().color(QPalette::HighlightedText);
    const int baseline = baselineOffset();
    const int width = editor_.viewport()->width();
    const qsizetype lineCount = send(Sci::SCI_GETLINECOUNT);
    const qsizetype firstLine = send(Sci::SCI_GETFIRSTVISIBLELINE);
    const qsizetype lastLine = std::min(lineCount, firstLine + send(Sci::SCI_LINESONSCREEN) + 2);

    painter.save();
    for (qsizetype line = firstLine; line < lastLine; ++line) {
        const qsizetype lineStart = send(Sci::SCI_POSITIONFROMLINE, line);
        const int top = int(send(Sci::SCI_POINTYFROMPOSITION, 0, lineStart));
        const int height = int(send(Sci::SCI_TEXTHEIGHT, line));
        if (top >= area.bottom() + 1 || top + height <= area.top())
            continue;
        const qsizetype lineEnd = send(Sci::SCI_GETLINEENDPOSITION, line);
        // Only the part of a long line that is on screen, a character more
        // each side for those cut by the edges.
        const qsizetype from =
            send(Sci::SCI_POSITIONBEFORE, send(Sci::SCI_POSITIONFROMPOINT, area.left(), top));
        const qsizetype to =
            send(Sci::SCI_POSITIONAFTER, send(Sci::SCI_POSITIONFROMPOINT, area.right() + 1, top));
        const qsizetype runFrom = std::clamp(from, lineStart, lineEnd);
        const qsizetype runTo = std::clamp(to, runFrom, lineEnd);
        const auto xAt = [&send](qsizetype offset) {
            return qreal(send(Sci::SCI_POINTXFROMPOSITION, 0, offset));
        };
        editor_.forEachStyleRun(runFrom, runTo, [&](int style, qsizetype start, qsizetype length) {
            if (!decorated.test(size_t(style)))
                return true;
            const FontChoice& format = editor_.styleFormat(style);
            const QFontMetricsF metrics(engineFont(editor_, format), editor_.viewport());
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
