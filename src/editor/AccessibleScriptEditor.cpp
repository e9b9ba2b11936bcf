#include "editor/AccessibleScriptEditor.h"

#include "platform/ByteWords.h"

#include "editor/CharacterFormatter.h"
#include "editor/EditorControl.h"
#include "editor/Engine.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// Words, sentences and runs of one format are looked for this many bytes
// around a position at most, so that a question about a very long line
// reads only a part of it.
constexpr qsizetype lookAround = 4096;

QString rgb(const QColor& colour)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// A font family as a quoted attribute value, its separators escaped.
QString quotedFamily(const QString& family)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : family) {
        if (QStringView(u"\\:,=;\"").contains(c))
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

void addAttribute(QString& attributes, QStringView name, const QString& value)
{
    attributes += name;
    attributes += u':';
    attributes += value;
    attributes += u';';
}

} // namespace

AccessibleScriptEditor::AccessibleScriptEditor(Engine& engine, EditorControl& control,
                                               const CharacterFormatter& formatter)
    : QAccessibleWidget(&engine.widget(), QAccessible::EditableText)
    , engine_(engine)
    , control_(control)
    , formatter_(formatter)
{
}

QAccessible::State AccessibleScriptEditor::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    if (engine_.isReadOnly())
        state.readOnly = true;
    else
        state.editable = true;
    return state;
}

void* AccessibleScriptEditor::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// The engine's offset of an editor position, kept within the text.
qsizetype AccessibleScriptEditor::engineOffset(int position, Round round) const
{
    const int clamped = std::clamp(position, 0, characterCount());
    const qsizetype offset = engine_.offsetOfPosition(clamped);
    // Between the two units of a character beyond U+FFFF the editor finds
    // the character's start; rounded up, its end.
    if (round == Round::Up && engine_.positionOfOffset(offset) < clamped)
        return engine_.offsetAfter(offset);
    return offset;
}

int AccessibleScriptEditor::position(qsizetype engineOffset) const
{
    return int(engine_.positionOfOffset(engineOffset));
}

QString AccessibleScriptEditor::engineRange(qsizetype from, qsizetype to) const
{
    return engine_.textBetween(from, to);
}

int AccessibleScriptEditor::characterCount() const { return engine_.endPosition(); }

QString AccessibleScriptEditor::text(int startOffset, int endOffset) const
{
    // An end of -1 stands for the end of the text.
    if (endOffset < 0)
        endOffset = characterCount();
    return engineRange(engineOffset(startOffset, Round::Down), engineOffset(endOffset, Round::Up));
}

int AccessibleScriptEditor::cursorPosition() const { return position(engine_.caret()); }

void AccessibleScriptEditor::setCursorPosition(int position)
{
    control_.setSelectionStart(this->position(engineOffset(position)));
}

int AccessibleScriptEditor::selectionCount() const
{
    return engine_.selectionStart() == engine_.selectionEnd() ? 0 : 1;
}

void AccessibleScriptEditor::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = position(engine_.selectionStart());
    *endOffset = position(engine_.selectionEnd());
}

void AccessibleScriptEditor::selectRange(int startOffset, int endOffset)
{
    const int start = position(engineOffset(std::min(startOffset, endOffset), Round::Down));
    const int end = position(engineOffset(std::max(startOffset, endOffset), Round::Up));
    control_.setSelectionStart(start);
    control_.setSelectionLength(end - start);
}

// The editor has one selection: setting or adding one replaces it.
void AccessibleScriptEditor::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        selectRange(startOffset, endOffset);
}

void AccessibleScriptEditor::addSelection(int startOffset, int endOffset)
{
    selectRange(startOffset, endOffset);
}

void AccessibleScriptEditor::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        control_.setSelectionStart(cursorPosition());
}

std::optional<AccessibleScriptEditor::Span>
AccessibleScriptEditor::spanAt(int position, QAccessible::TextBoundaryType boundaryType) const
{
    switch (boundaryType) {
    case QAccessible::CharBoundary: {
        if (position >= characterCount())
            return std::nullopt;
        const qsizetype from = engineOffset(position);
        return Span{this->position(from), this->position(engine_.offsetAfter(from))};
    }
    case QAccessible::WordBoundary:
        return textItemAt(engineOffset(position), QTextBoundaryFinder::Word);
    case QAccessible::SentenceBoundary:
        return textItemAt(engineOffset(position), QTextBoundaryFinder::Sentence);
    // Lines do not wrap, so each line is a paragraph too.
    case QAccessible::ParagraphBoundary:
    case QAccessible::LineBoundary:
        return lineAt(engineOffset(position));
    case QAccessible::NoBoundary:
        return Span{0, characterCount()};
    }
    return std::nullopt;
}

// The line with its line break.
std::optional<AccessibleScriptEditor::Span> AccessibleScriptEditor::lineAt(qsizetype offset) const
{
    const qsizetype line = engine_.lineFromOffset(offset);
    const qsizetype end =
        line + 1 < engine_.lineCount() ? engine_.lineStart(line + 1) : engine_.length();
    return Span{position(engine_.lineStart(line)), position(end)};
}

// A word or sentence, or the stretch between two of them, as Qt's plain text
// field finds it within the line; a line break stands alone. A word there
// runs between blanks and ASCII punctuation, so "5€" and "“quoted”" are one
// word each, not a word and a symbol glued to the blank after it.
std::optional<AccessibleScriptEditor::Span>
AccessibleScriptEditor::textItemAt(qsizetype offset, QTextBoundaryFinder::BoundaryType type) const
{
    const qsizetype line = engine_.lineFromOffset(offset);
    const qsizetype lineEnd = engine_.lineEnd(line);
    if (offset >= lineEnd) {
        if (offset >= engine_.length())
            return std::nullopt;
        const int at = position(offset);
        return Span{at, at + 1};
    }
    const auto characterStart = [this](qsizetype at) {
        while (ByteWords::isContinuation(engine_.charAt(at)))
            --at;
        return at;
    };
    const qsizetype from =
        characterStart(std::max<qsizetype>(engine_.lineStart(line), offset - lookAround));
    const qsizetype to = characterStart(std::min<qsizetype>(lineEnd, offset + lookAround));
    const int base = position(from);

    QTextDocument document(engineRange(from, to));
    QTextCursor cursor(&document);
    cursor.setPosition(position(offset) - base);
    const auto [start, end] = QAccessible::qAccessibleTextBoundaryHelper(
        cursor, type == QTextBoundaryFinder::Word ? QAccessible::WordBoundary
                                                  : QAccessible::SentenceBoundary);
    return Span{base + start, base + end};
}

QString AccessibleScriptEditor::answer(std::optional<Span> span, int* startOffset,
                                       int* endOffset) const
{
    if (!span)
        return {};
    *startOffset = span->start;
    *endOffset = span->end;
    return text(span->start, span->end);
}

// The offset a text query names (-1: the end), or std::nullopt when it lies
// outside the text; the span it reports is "none" until an answer is found.
std::optional<int> AccessibleScriptEditor::queriedOffset(int offset, int* startOffset,
                                                         int* endOffset) const
{
    *startOffset = *endOffset = -1;
    const int count = characterCount();
    if (offset == -1)
        return count;
    if (offset < 0 || offset > count)
        return std::nullopt;
    return offset;
}

QString AccessibleScriptEditor::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                             int* startOffset, int* endOffset) const
{
    const auto at = queriedOffset(offset, startOffset, endOffset);
    return at ? answer(spanAt(*at, boundaryType), startOffset, endOffset) : QString();
}

QString AccessibleScriptEditor::textBeforeOffset(int offset,
                                                 QAccessible::TextBoundaryType boundaryType,
                                                 int* startOffset, int* endOffset) const
{
    const auto queried = queriedOffset(offset, startOffset, endOffset);
    if (!queried || boundaryType == QAccessible::NoBoundary)
        return {};
    const auto at = spanAt(*queried, boundaryType);
    const int start = at ? at->start : *queried;
    if (start <= 0)
        return {};
    return answer(spanAt(start - 1, boundaryType), startOffset, endOffset);
}

QString AccessibleScriptEditor::textAfterOffset(int offset,
                                                QAccessible::TextBoundaryType boundaryType,
                                                int* startOffset, int* endOffset) const
{
    const auto queried = queriedOffset(offset, startOffset, endOffset);
    if (!queried || boundaryType == QAccessible::NoBoundary)
        return {};
    const auto at = spanAt(*queried, boundaryType);
    if (!at || at->end >= characterCount())
        return {};
    return answer(spanAt(at->end, boundaryType), startOffset, endOffset);
}

QRect AccessibleScriptEditor::characterRect(int offset) const
{
    if (offset < 0 || offset >= characterCount())
        return {};
    const qsizetype at = engineOffset(offset);
    const int x = engine_.xOfOffset(at);
    const int y = engine_.yOfOffset(at);
    const qsizetype line = engine_.lineFromOffset(at);
    // A line break is as wide as a space.
    const int width = at < engine_.lineEnd(line) ? engine_.xOfOffset(engine_.offsetAfter(at)) - x
                                                 : engine_.textWidth(" ");
    const int height = engine_.lineHeight(line);
    return {engine_.widget().viewport()->mapToGlobal(QPoint(x, y)),
            QSize(std::max(width, 1), height)};
}

int AccessibleScriptEditor::offsetAtPoint(const QPoint& point) const
{
    const QPoint inViewport = engine_.widget().viewport()->mapFromGlobal(point);
    const qsizetype at = engine_.characterAtPoint(inViewport);
    return at < 0 ? -1 : position(at);
}

void AccessibleScriptEditor::scrollToSubstring(int startIndex, int endIndex)
{
    engine_.scrollRange(engineOffset(startIndex), engineOffset(endIndex, Round::Up));
}

// The character's format, and the run of characters within its line that
// share it.
QString AccessibleScriptEditor::attributes(int offset, int* startOffset, int* endOffset) const
{
    const auto queried = queriedOffset(offset, startOffset, endOffset);
    if (!queried)
        return {};
    offset = *queried;
    const int count = characterCount();
    if (count == 0) {
        *startOffset = *endOffset = 0;
        return {};
    }
    // At the end of the text, the format of the last character.
    const qsizetype at = engineOffset(std::min(offset, count - 1));
    const auto formatAt = [this](qsizetype byte) { return engine_.styleAt(byte); };
    const int style = formatAt(at);
    const qsizetype line = engine_.lineFromOffset(at);
    const qsizetype lineEnd = engine_.lineEnd(line);
    qsizetype from = at;
    qsizetype to = at + 1;
    if (at < lineEnd) {
        const qsizetype first = std::max<qsizetype>(engine_.lineStart(line), at - lookAround);
        while (from > first && formatAt(from - 1) == style)
            --from;
        const qsizetype last = std::min<qsizetype>(lineEnd, at + lookAround);
        while (to < last && formatAt(to) == style)
            ++to;
        while (ByteWords::isContinuation(engine_.charAt(from)))
            --from;
        while (to < lineEnd && ByteWords::isContinuation(engine_.charAt(to)))
            ++to;
    }
    *startOffset = position(from);
    *endOffset = position(to);

    const FontChoice& format = formatter_.format(style);
    QString attributes;
    addAttribute(attributes, u"font-family", quotedFamily(format.name));
    // In hundredths of a point, as the engine keeps a size.
    addAttribute(attributes, u"font-size",
                 QString::number(double(qRound(format.size * 100)) / 100) + QStringLiteral("pt"));
    addAttribute(attributes, u"font-weight",
                 format.bold ? QStringLiteral("bold") : QStringLiteral("normal"));
    addAttribute(attributes, u"font-style",
                 format.italic ? QStringLiteral("italic") : QStringLiteral("normal"));
    if (format.underline) {
        addAttribute(attributes, u"text-underline-style", QStringLiteral("solid"));
        addAttribute(attributes, u"text-underline-type", QStringLiteral("single"));
    }
    if (format.strikeout)
        addAttribute(attributes, u"text-line-through-type", QStringLiteral("single"));
    addAttribute(attributes, u"color", rgb(format.color));
    addAttribute(attributes, u"background-color", rgb(engine_.styleBackground(style)));
    return attributes;
}

void AccessibleScriptEditor::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void AccessibleScriptEditor::insertText(int offset, const QString& text)
{
    replaceText(offset, offset, text);
}

void AccessibleScriptEditor::replaceText(int startOffset, int endOffset, const QString& text)
{
    selectRange(startOffset, endOffset);
    control_.setSelectedText(text);
}
