#include "editor/Utf16Index.h"

#include "platform/ByteWords.h"

#include <algorithm>

namespace {

constexpr qsizetype blockSize = qsizetype(1) << 16;
// A block that an insertion makes larger than this is counted afresh in
// blocks of the usual size, the next time a position is asked for.
constexpr qsizetype largestBlock = 8 * blockSize;

using ByteWords::isContinuation;

} // namespace

Utf16Index::Utf16Index(Reader read, Length length)
    : read_(std::move(read))
    , length_(std::move(length))
{
}

qsizetype Utf16Index::unitsOf(QByteArrayView bytes)
{
    const char* at = bytes.data();
    const char* const end = at + bytes.size();
    qsizetype units = bytes.size();
    // Eight bytes at a time: scripts are mostly ASCII.
    for (; end - at >= 8; at += 8) {
        const quint64 word = ByteWords::at(at);
        if (!(word & ByteWords::highBits))
            continue;
        // A byte that continues a character adds no unit; the first byte of
        // four adds a second one.
        units -= ByteWords::count(ByteWords::continuations(word));
        units += ByteWords::count(ByteWords::fourByteStarts(word));
    }
    for (; at < end; ++at) {
        if (isContinuation(*at))
            --units;
        else if (uchar(*at) >= 0xF0)
            ++units;
    }
    return units;
}

void Utf16Index::reset()
{
    built_ = false;
    blocks_.clear();
    starts_.clear();
    staleFrom_ = 0;
}

void Utf16Index::build() const
{
    blocks_.clear();
    starts_.clear();
    staleFrom_ = 0;
    const qsizetype total = length_();
    for (qsizetype at = 0; at < total;) {
        // A block ends where a character starts: a few bytes more are read to find it.
        const qsizetype end = std::min(total, at + blockSize);
        const QByteArrayView bytes = read_(at, std::min(total, end + 4) - at);
        qsizetype size = end - at;
        while (size < bytes.size() && isContinuation(bytes[size]))
            ++size;
        blocks_.push_back({size, unitsOf(bytes.first(size))});
        at += size;
    }
    built_ = true;
}

void Utf16Index::sum() const
{
    if (!built_)
        build();
    starts_.resize(blocks_.size());
    for (std::size_t block = staleFrom_; block < blocks_.size(); ++block) {
        starts_[block] = block == 0 ? Block{}
                                    : Block{starts_[block - 1].bytes + blocks_[block - 1].bytes,
                                            starts_[block - 1].units + blocks_[block - 1].units};
    }
    staleFrom_ = blocks_.size();
}

std::size_t Utf16Index::blockOfOffset(qsizetype offset) const
{
    const auto after =
        std::lower_bound(starts_.begin(), starts_.end(), offset,
                         [](const Block& start, qsizetype wanted) { return start.bytes < wanted; });
    return after == starts_.begin() ? 0 : std::size_t(after - starts_.begin() - 1);
}

void Utf16Index::inserting(qsizetype offset, QByteArrayView bytes)
{
    if (!built_ || bytes.isEmpty())
        return;
    sum();
    if (blocks_.empty())
        blocks_.push_back({});
    const std::size_t block = blockOfOffset(offset);
    blocks_[block].bytes += bytes.size();
    blocks_[block].units += unitsOf(bytes);
    staleFrom_ = std::min(staleFrom_, block + 1);
    if (blocks_[block].bytes > largestBlock)
        reset();
}

void Utf16Index::deleting(qsizetype offset, qsizetype length)
{
    if (!built_ || length <= 0)
        return;
    sum();
    // The block the first deleted byte is in.
    const auto after =
        std::upper_bound(starts_.begin(), starts_.end(), offset,
                         [](qsizetype wanted, const Block& start) { return wanted < start.bytes; });
    const std::size_t first =
        after == starts_.begin() ? 0 : std::size_t(after - starts_.begin() - 1);
    std::size_t block = first;
    for (qsizetype at = offset, left = length; left > 0 && block < blocks_.size(); ++block) {
        const qsizetype blockEnd = starts_[block].bytes + blocks_[block].bytes;
        const qsizetype taken = std::min(left, blockEnd - at);
        if (taken <= 0)
            continue;
        blocks_[block].bytes -= taken;
        blocks_[block].units -= unitsOf(read_(at, taken));
        left -= taken;
        at = blockEnd;
    }
    blocks_.erase(std::remove_if(blocks_.begin() + qsizetype(first),
                                 blocks_.begin() + qsizetype(block),
                                 [](const Block& b) { return b.bytes == 0; }),
                  blocks_.begin() + qsizetype(block));
    staleFrom_ = std::min(staleFrom_, first);
}

qsizetype Utf16Index::positionOfOffset(qsizetype offset) const
{
    sum();
    if (offset <= 0 || blocks_.empty())
        return 0;
    const Block& start = starts_[blockOfOffset(offset)];
    const qsizetype end = std::min(offset, length_());
    return start.units + unitsOf(read_(start.bytes, end - start.bytes));
}

qsizetype Utf16Index::offsetOfPosition(qsizetype position) const
{
    sum();
    if (position <= 0 || blocks_.empty())
        return 0;
    if (position >= endPosition())
        return length_();
    // The last block that starts before the position.
    const auto after =
        std::lower_bound(starts_.begin(), starts_.end(), position,
                         [](const Block& start, qsizetype wanted) { return start.units < wanted; });
    const std::size_t block = std::size_t(after - starts_.begin() - 1);
    const Block& start = starts_[block];
    const QByteArrayView bytes = read_(start.bytes, blocks_[block].bytes);
    qsizetype left = position - start.units;
    qsizetype at = 0;
    while (left >= 8 && bytes.size() - at >= 8) {
        if (ByteWords::at(bytes.data() + at) & ByteWords::highBits)
            break;
        at += 8;
        left -= 8;
    }
    while (left > 0 && at < bytes.size()) {
        const qsizetype size = ByteWords::sequenceLength(bytes[at]);
        const qsizetype units = size == 4 ? 2 : 1;
        if (units > left)
            break;
        left -= units;
        at += size;
    }
    return start.bytes + at;
}

qsizetype Utf16Index::endPosition() const
{
    sum();
    return blocks_.empty() ? 0 : starts_.back().units + blocks_.back().units;
}
