#pragma once

#include <QByteArrayView>
#include <functional>
#include <vector>

// Between byte offsets into UTF-8 text and positions in UTF-16 units, for a
// text that the engine edits in place. Nothing is counted until a position is
// first asked for: a script opens without a pass over its text for this.
// Then the text is counted once in blocks of about 64 KiB, and each edit
// changes the counts of the blocks it touches, so an answer costs a count
// within one block.
//
// A character of four UTF-8 bytes takes two UTF-16 units; every other
// character, the LF between lines among them, takes one.
class Utf16Index {
public:
    // Reads length bytes of the text from an offset: valid until the text
    // changes, and never asked for across an edit.
    using Reader = std::function<QByteArrayView(qsizetype offset, qsizetype length)>;
    using Length = std::function<qsizetype()>;

    Utf16Index(Reader read, Length length);

    // Forgets every count: for a new text.
    void reset();
    // Told before the engine inserts the bytes at the offset, or deletes
    // length bytes from it. Nothing happens until the index was first used.
    void inserting(qsizetype offset, QByteArrayView bytes);
    void deleting(qsizetype offset, qsizetype length);

    qsizetype positionOfOffset(qsizetype offset) const;
    // A position between the two halves of a surrogate pair finds the
    // character's start; one past the end, the end.
    qsizetype offsetOfPosition(qsizetype position) const;
    qsizetype endPosition() const;

    // The UTF-16 units of valid UTF-8 bytes: fast on ASCII.
    static qsizetype unitsOf(QByteArrayView bytes);

private:
    struct Block {
        qsizetype bytes = 0;
        qsizetype units = 0;
    };
    void build() const;
    // Sums the blocks' sizes up to each block, where an edit made them stale.
    void sum() const;
    // The block that holds the offset; an offset between two blocks is the
    // earlier one's end.
    std::size_t blockOfOffset(qsizetype offset) const;

    Reader read_;
    Length length_;
    mutable bool built_ = false;
    mutable std::vector<Block> blocks_;
    // Of the blocks before each: where it starts, and the units before it.
    mutable std::vector<Block> starts_;
    // Blocks from this one on have stale starts.
    mutable std::size_t staleFrom_ = 0;
};
