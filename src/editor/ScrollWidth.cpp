#include "editor/ScrollWidth.h"

#include "editor/Engine.h"
#include "platform/ByteWords.h"

#include <algorithm>
#include <array>
#include <bit>
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

// The columns of a line, a tab as tabWidth of them.
qsizetype columnsOf(QByteArrayView line, int tabWidth)
{
    const char* at = line.data();
    const char* const end = at + line.size();
    qsizetype columns = line.size();
    for (; end - at >= 8; at += 8) {
        const quint64 word = ByteWords::at(at);
        columns += (tabWidth - 1) * ByteWords::count(ByteWords::equal(word, '\t'))
                   - ByteWords::count(ByteWords::continuations(word));
    }
    for (; at < end; ++at) {
        if (*at == '\t')
            columns += tabWidth - 1;
        else if (ByteWords::isContinuation(*at))
            --columns;
    }
    return columns;
}

// Calls onLine(start, end) for each line of the text, its line break left
// out. Eight bytes at a time: a pass over a large script is part of opening it.
template<typename OnLine> void forEachLine(QByteArrayView text, OnLine onLine)
{
    const char* const data = text.data();
    const qsizetype size = text.size();
    qsizetype lineStart = 0;
    qsizetype at = 0;
    for (; size - at >= 8; at += 8) {
        for (quint64 lineFeeds = ByteWords::equal(ByteWords::at(data + at), '\n'); lineFeeds;
             lineFeeds &= lineFeeds - 1) {
            const qsizetype lineEnd = at + std::countr_zero(lineFeeds) / 8;
            onLine(lineStart, lineEnd);
            lineStart = lineEnd + 1;
        }
    }
    for (; at < size; ++at) {
        if (data[at] == '\n') {
            onLine(lineStart, at);
            lineStart = at + 1;
        }
    }
    onLine(lineStart, size);
}

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
    const qsizetype characters = std::count_if(
        text.begin(), text.end(), [](char c) { return !ByteWords::isContinuation(c); });
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
    Candidate* shortest = longest.data();
    const QByteArrayView text = engine_.text().sliced(from, to - from);
    const int tabWidth = engine_.tabWidth();
    forEachLine(text, [&](qsizetype start, qsizetype end) {
        // No byte takes more columns than a tab: most lines need no count.
        if ((end - start) * tabWidth <= shortest->columns)
            return;
        const qsizetype columns = columnsOf(text.sliced(start, end - start), tabWidth);
        if (columns <= shortest->columns)
            return;
        *shortest = {columns, from + start};
        shortest = std::min_element(
            longest.begin(), longest.end(),
            [](const Candidate& a, const Candidate& b) { return a.columns < b.columns; });
    });
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
