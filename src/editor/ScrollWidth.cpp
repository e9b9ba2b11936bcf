#include "editor/ScrollWidth.h"

#include "editor/Engine.h"
#include "platform/ByteWords.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <functional>

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

// Calls onLine(start, columns) for each line of the text: where it starts,
// and its columns with a tab as tabWidth of them. Eight bytes at a time: a
// pass over a large script is part of opening it.
void forEachLineWidth(QByteArrayView text, int tabWidth,
                      const std::function<void(qsizetype, qsizetype)>& onLine)
{
    const char* const data = text.data();
    const qsizetype size = text.size();
    qsizetype lineStart = 0;
    qsizetype columns = 0;
    // Columns of the bytes marked by their high bits in the word.
    const auto columnsOf = [tabWidth](quint64 bytes, quint64 continuations, quint64 tabs) {
        return ByteWords::count(bytes) - ByteWords::count(bytes & continuations)
               + (tabWidth - 1) * ByteWords::count(bytes & tabs);
    };
    qsizetype at = 0;
    for (; size - at >= 8; at += 8) {
        const quint64 word = ByteWords::at(data + at);
        const quint64 continuations = ByteWords::continuations(word);
        const quint64 tabs = ByteWords::equal(word, '\t');
        quint64 lineFeeds = ByteWords::equal(word, '\n');
        quint64 rest = ByteWords::highBits;
        while (lineFeeds) {
            const int bit = std::countr_zero(lineFeeds);
            // The bytes before the line feed, and the line feed with them.
            const quint64 before = rest & ((quint64(1) << (bit - 7)) - 1);
            columns += columnsOf(before, continuations, tabs);
            onLine(lineStart, columns);
            lineStart = at + bit / 8 + 1;
            columns = 0;
            rest &= bit == 63 ? 0 : ~((quint64(1) << (bit + 1)) - 1);
            lineFeeds &= lineFeeds - 1;
        }
        columns += columnsOf(rest, continuations, tabs);
    }
    for (; at < size; ++at) {
        if (data[at] == '\n') {
            onLine(lineStart, columns);
            lineStart = at + 1;
            columns = 0;
        } else if (data[at] == '\t') {
            columns += tabWidth;
        } else if (!isContinuationByte(data[at])) {
            ++columns;
        }
    }
    onLine(lineStart, columns);
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
    Candidate* shortest = longest.data();
    forEachLineWidth(engine_.text().sliced(from, to - from), engine_.tabWidth(),
                     [&](qsizetype start, qsizetype columns) {
                         if (columns <= shortest->columns)
                             return;
                         *shortest = {columns, from + start};
                         shortest = std::min_element(longest.begin(), longest.end(),
                                                     [](const Candidate& a, const Candidate& b) {
                                                         return a.columns < b.columns;
                                                     });
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
