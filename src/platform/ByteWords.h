#pragma once

#include <QtGlobal>
#include <cstring>

// UTF-8 byte by byte, and text looked at eight bytes at a time, as one 64-bit
// word. A mark is the
// high bit of a byte of the word: a set of marks picks out bytes.
namespace ByteWords {

// A byte that continues a UTF-8 character (10xxxxxx).
inline bool isContinuation(char byte) { return (uchar(byte) & 0xC0) == 0x80; }

// The bytes of the UTF-8 character that starts with this byte; 1 for a
// byte that starts none.
inline qsizetype sequenceLength(char lead)
{
    const auto byte = uchar(lead);
    return byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
}

constexpr quint64 highBits = 0x8080808080808080ULL;
constexpr quint64 lowBits = 0x0101010101010101ULL;

inline quint64 at(const char* bytes)
{
    quint64 word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Marks the bytes that equal byte.
inline quint64 equal(quint64 word, char byte)
{
    const quint64 x = word ^ (lowBits * uchar(byte));
    return ~(((x & ~highBits) + ~highBits) | x | ~highBits);
}

// Marks the bytes that continue a UTF-8 character (10xxxxxx). A shift left by
// n brings bit 7 - n of each byte to its bit 7.
inline quint64 continuations(quint64 word) { return word & ~(word << 1) & highBits; }

// Marks the bytes that start a UTF-8 character of four bytes (11110xxx).
inline quint64 fourByteStarts(quint64 word)
{
    return word & (word << 1) & (word << 2) & (word << 3) & highBits;
}

// How many bytes the marks pick out: a multiplication, where a bit count would
// be a call on processors the program is built for.
inline int count(quint64 marks) { return int(((marks >> 7) * lowBits) >> 56); }

} // namespace ByteWords
