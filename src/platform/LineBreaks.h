#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <type_traits>

// Where text splits into lines: CR LF, a lone LF and a lone CR each end one
// line. Qt's rich-text classes keep a line break of their own instead, U+2029
// between blocks and U+2028 inside one; text that came from them may hold
// those too, and EditorSeparators says whether they end lines.
namespace LineBreaks {

enum class EditorSeparators { AreText, EndLines };

namespace detail {

inline char16_t unit(char byte) { return uchar(byte); }
inline char16_t unit(char16_t c) { return c; }

template<typename View, typename OnLine> bool keepGoing(OnLine& onLine, View line, bool ended)
{
    if constexpr (std::is_void_v<std::invoke_result_t<OnLine&, View, bool>>) {
        onLine(line, ended);
        return true;
    } else {
        return onLine(line, ended);
    }
}

inline bool isLineBreak(char16_t c, bool editorBreaks)
{
    // Nearly every character lies between the two kinds of line break.
    if (c > u'\r' && c < QChar::LineSeparator)
        return false;
    return c == u'\n' || c == u'\r'
           || (editorBreaks && (c == QChar::LineSeparator || c == QChar::ParagraphSeparator));
}

template<typename View, typename Char, typename OnLine>
bool scan(const Char* const begin, const Char* const end, EditorSeparators separators,
          OnLine& onLine)
{
    const bool editorBreaks = separators == EditorSeparators::EndLines;
    const Char* lineStart = begin;
    for (const Char* at = begin; at != end; ++at) {
        if (!isLineBreak(unit(*at), editorBreaks))
            continue;
        if (!keepGoing(onLine, View(lineStart, at), true))
            return false;
        if (unit(*at) == u'\r' && at + 1 != end && unit(at[1]) == u'\n')
            ++at;
        lineStart = at + 1;
    }
    return keepGoing(onLine, View(lineStart, end), false);
}

} // namespace detail

// Calls onLine(line, ended) for each line of text in order: line holds its
// characters without the line break, and ended tells whether a line break
// follows. A text with n line breaks has n + 1 lines, the last one perhaps
// empty. When onLine returns bool, false stops the walk, and forEachLine then
// returns false. Copies nothing: the lines are views into text.
template<typename OnLine>
bool forEachLine(QStringView text, OnLine&& onLine,
                 EditorSeparators separators = EditorSeparators::AreText)
{
    const char16_t* const begin = text.utf16();
    return detail::scan<QStringView>(begin, begin + text.size(), separators, onLine);
}

// The same over bytes, where each byte is one character.
template<typename OnLine> bool forEachLine(QByteArrayView bytes, OnLine&& onLine)
{
    const char* const begin = bytes.data();
    return detail::scan<QByteArrayView>(begin, begin + bytes.size(), EditorSeparators::AreText,
                                        onLine);
}

// The text with each line break (as forEachLine finds it) replaced by lineBreak.
QString withLineBreaks(QStringView text, QStringView lineBreak,
                       EditorSeparators separators = EditorSeparators::AreText);

} // namespace LineBreaks

// The editor keeps one character for each line break (U+2029 between blocks,
// U+2028 for a line break inside one); the document's text shows CR LF instead.
QString withCrLfLineBreaks(QStringView editorText);

// Reduces CR LF, a lone CR and a lone LF each to LF, the one line break the
// editor's text store turns into a new line when text is inserted. A text
// without CR is returned as it is, not copied.
QString withLfLineBreaks(const QString& text);
