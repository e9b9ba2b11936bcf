#pragma once

#include "editor/SelectionFormat.h"
#include "platform/FontChoice.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

// The editing area as every command sees it: the whole document, the
// selection and the character formatting of the selection.
//
// Positions count characters of the editor, one for each line break; text
// read from it has CR LF between lines. A selection attribute reads as
// std::nullopt ("mixed") when the selected characters differ in it; with
// nothing selected it describes the formatting for the text typed next.
class EditorControl {
public:
    virtual ~EditorControl() = default;

    virtual QString documentText() const = 0;
    // Replaces text and formatting, and leaves the document unmodified. CR LF,
    // a lone LF and a lone CR each make a line break.
    virtual void setDocumentText(const QString& text) = 0;
    // Calls its argument with each piece of a text as UTF-8, in order: false
    // when it stopped short.
    using Utf8Pieces = std::function<bool(const std::function<void(QByteArrayView)>&)>;
    // The same with size bytes of valid UTF-8 that has LF alone between
    // lines, handed over in pieces, so that a large text is never held whole
    // twice; a piece may end inside a character. False, with the document as
    // it was, when the pieces stopped short or there was no memory for them.
    virtual bool loadDocument(qsizetype size, const Utf8Pieces& pieces) = 0;
    // The text as UTF-8 with LF between lines, without a copy: valid until
    // the document next changes.
    virtual QByteArrayView documentUtf8() const = 0;
    // Whether the text changed since the last setModified(false). Formatting
    // alone is not a change: files keep only the text.
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
    // Face of the base font that unformatted text shows in.
    virtual QString controlFontName() const = 0;

    virtual int selectionStart() const = 0;
    // Puts the caret at the position, selecting nothing.
    virtual void setSelectionStart(int position) = 0;
    virtual int selectionLength() const = 0;
    // Selects that many characters from selectionStart on, cut short at the end of the text.
    virtual void setSelectionLength(int length) = 0;
    virtual QString selectedText() const = 0;
    // Replaces the selection, or inserts at the caret; "" deletes the selection.
    virtual void setSelectedText(const QString& text) = 0;

    // What a format change did. NothingToFormat: the selection holds only
    // line breaks, which show no format. NoRoom: the editor cannot show one
    // more combination of attributes at the same time. Either way nothing
    // changed.
    enum class FormatResult { Written, NothingToFormat, NoRoom };

    // All seven attributes of the selection, read in one pass over it.
    virtual SelectionFormat selectionFormat() const = 0;
    // Writes the attributes the change sets over the whole selection (over
    // the text typed next with nothing selected), leaving the others as each
    // character has them.
    virtual FormatResult changeSelectionFormat(const SelectionFormat& change) = 0;

    // A stretch of the text, in positions.
    struct Range {
        int start = 0;
        int length = 0;
        friend bool operator==(const Range&, const Range&) = default;
    };
    // The first occurrence of what that starts at or after the position
    // from: exact and case-sensitive, never wrapping around to the start. A
    // CR LF, lone CR or lone LF in what matches a line break. An empty what
    // is found nowhere. Runs over the editor's own text, without a copy.
    virtual std::optional<Range> find(QStringView what, int from) const = 0;
    // Where the text ends, as a position.
    virtual int endPosition() const = 0;
    // Scrolls the selection into view, its start first when it is wider.
    virtual void ensureSelectionVisible() = 0;

    // The attributes of the first selected character that is not a line break
    // (of the caret with nothing selected): one value each, never mixed, read
    // without touching the selection.
    virtual FontChoice firstSelectedCharacterFont() const = 0;
};
