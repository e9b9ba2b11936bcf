#include "editor/ScrollWidth.h"

#include "editor/Engine.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

// How many of the lines with the most characters a whole count measures.
constexpr size_t measuredLines = 8;
// A change over more lines than this measures only the longest of them.
constexpr qsizetype measuredEachUpTo = 64;
// Past this many bytes a line takes long to lay out: its width is estimated
// from its characters at the width of the widest one.
constexpr qsizetype estimatedPast = 200'000;
// Room after the widest line for the caret.
constexpr int caretRoom = 2;

bool isContinuationByte(char c) { return (uchar(c) & 0xC0) == 0x80; }

} // namespace

ScrollWidth::ScrollWidth(Engine& engine)
    : engine_(engine)
{
}

int ScrollWidth::measure(qsizetype line) const
{
    const qsizetype start = engine_.lineStart(line);
    const qsizetype end = engine_.lineEnd(line);
    if (end - start <= estimatedPast)
        return engine_.xOfOffset(end) - engine_.xOfOffset(start);
    const QByteArrayView text = engine_.text().sliced(start, end - start);
    const qsizetype characters =
        std::count_if(text.begin(), text.end(), [](char c) { return !isContinuationByte(c); });
    const int widestCharacter = engine_.textWidth("W");
    return int(std::min<qsizetype>(characters * widestCharacter, INT_MAX / 2));
}

void ScrollWidth::measureLongest(qsizetype from, qsizetype to)
{
    struct Candidate {
        qsizetype columns = -1;
        qsizetype start = 0;
    };
    std::array<Candidate, measuredLines> longest{};
    const QByteArrayView text = engine_.text();
    const int tabWidth = engine_.tabWidth();
    const char* const data = text.data();
    qsizetype lineStart = from;
    while (lineStart <= to) {
        const void* found = std::memchr(data + lineStart, '\n', size_t(to - lineStart));
        const qsizetype lineEnd = found ? static_cast<const char*>(found) - data : to;
        qsizetype columns = 0;
        for (qsizetype at = lineStart; at < lineEnd; ++at) {
            if (data[at] == '\t')
                columns += tabWidth;
            else if (!isContinuationByte(data[at]))
                ++columns;
        }
        auto shortest = std::min_element(
            longest.begin(), longest.end(),
            [](const Candidate& a, const Candidate& b) { return a.columns < b.columns; });
        if (columns > shortest->columns)
            *shortest = {columns, lineStart};
        if (!found)
            break;
        lineStart = lineEnd + 1;
    }
    for (const Candidate& candidate : longest) {
        if (candidate.columns < 0)
            continue;
        const qsizetype line = engine_.lineFromOffset(candidate.start);
        const int width = measure(line);
        if (width > widest_) {
            widest_ = width;
            widestLine_ = line;
        }
    }
}

void ScrollWidth::apply() { engine_.setScrollWidth(std::max(1, widest_ + caretRoom)); }

void ScrollWidth::countAll()
{
    countPending_ = false;
    widest_ = 0;
    widestLine_ = -1;
    measureLongest(0, engine_.length());
    apply();
}

void ScrollWidth::inserting(qsizetype offset, qsizetype lineBreaks)
{
    if (lineBreaks == 0 || widestLine_ < 0)
        return;
    const qsizetype line = engine_.lineFromOffset(offset);
    // A line break put into the widest line splits it.
    if (line == widestLine_)
        countPending_ = true;
    else if (line < widestLine_)
        widestLine_ += lineBreaks;
}

void ScrollWidth::deleting(qsizetype offset, qsizetype length)
{
    if (widestLine_ < 0)
        return;
    const qsizetype first = engine_.lineFromOffset(offset);
    const qsizetype last = engine_.lineFromOffset(offset + length);
    if (widestLine_ >= first && widestLine_ <= last)
        countPending_ = true;
    else if (widestLine_ > last)
        widestLine_ -= last - first;
}

void ScrollWidth::measureLines(qsizetype firstLine, qsizetype lastLine)
{
    const int before = widest_;
    if (lastLine - firstLine < measuredEachUpTo) {
        for (qsizetype line = firstLine; line <= lastLine; ++line) {
            const int width = measure(line);
            if (width > widest_) {
                widest_ = width;
                widestLine_ = line;
            }
        }
    } else {
        measureLongest(engine_.lineStart(firstLine), engine_.lineEnd(lastLine));
    }
    if (widest_ != before)
        apply();
}

void ScrollWidth::inserted(qsizetype firstLine, qsizetype lastLine)
{
    if (!countPending_)
        measureLines(firstLine, lastLine);
}

void ScrollWidth::reformatted(qsizetype firstLine, qsizetype lastLine)
{
    if (widestLine_ >= firstLine && widestLine_ <= lastLine)
        countPending_ = true;
    else if (!countPending_)
        measureLines(firstLine, lastLine);
}

void ScrollWidth::settle()
{
    if (countPending_)
        countAll();
}
