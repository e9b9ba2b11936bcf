#include "editor/ScriptKeys.h"

#include "editor/Engine.h"
#include "editor/EngineClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <span>

namespace {

using Command = void (*)(Engine&, const QKeyEvent&);
using EngineCommand = Engine::Command;

template<EngineCommand Run> void run(Engine& engine, const QKeyEvent&) { engine.run(Run); }

qsizetype caret(const Engine& engine) { return engine.caret(); }

// Nothing to undo or redo here. The key is taken all the same, and like any
// key it took, the plain field offered its selection again as the desktop's
// selection (X11's primary).
void offerSelection(Engine& engine, const QKeyEvent&)
{
    engine.setSelection(engine.anchor(), caret(engine));
}

qsizetype lineOf(const Engine& engine, qsizetype offset) { return engine.lineFromOffset(offset); }

// The caret at the end, as the plain field leaves it.
void selectAll(Engine& engine, const QKeyEvent&) { engine.setSelection(0, engine.length()); }

qsizetype lastLine(const Engine& engine) { return engine.lineCount() - 1; }

// Up on the first line and Down on the last stay where they are; with Shift
// they select to the start and to the end of the text.
void lineUp(Engine& engine, const QKeyEvent&)
{
    if (lineOf(engine, caret(engine)) > 0)
        engine.run(EngineCommand::LineUp);
}

void lineDown(Engine& engine, const QKeyEvent&)
{
    if (lineOf(engine, caret(engine)) < lastLine(engine))
        engine.run(EngineCommand::LineDown);
}

void selectLineUp(Engine& engine, const QKeyEvent&)
{
    engine.run(lineOf(engine, caret(engine)) == 0 ? EngineCommand::DocumentStartExtend
                                                  : EngineCommand::LineUpExtend);
}

void selectLineDown(Engine& engine, const QKeyEvent&)
{
    engine.run(lineOf(engine, caret(engine)) == lastLine(engine) ? EngineCommand::DocumentEndExtend
                                                                 : EngineCommand::LineDownExtend);
}

// A page goes as far as the engine's, but short of a page from either end it
// stops on the first or the last line, in the caret's column, where the
// engine would go on to the very end of the text.
template<int Direction, bool Extend> void page(Engine& engine, const QKeyEvent&)
{
    const qsizetype line = lineOf(engine, caret(engine));
    const qsizetype room = Direction < 0 ? line : lastLine(engine) - line;
    const qsizetype pageLines = std::max<qsizetype>(engine.linesOnScreen() - 1, 1);
    if (room >= pageLines) {
        engine.run(Direction < 0
                       ? (Extend ? EngineCommand::PageUpExtend : EngineCommand::PageUp)
                       : (Extend ? EngineCommand::PageDownExtend : EngineCommand::PageDown));
        return;
    }
    const EngineCommand oneLine =
        Direction < 0 ? (Extend ? EngineCommand::LineUpExtend : EngineCommand::LineUp)
                      : (Extend ? EngineCommand::LineDownExtend : EngineCommand::LineDown);
    for (qsizetype step = 0; step < room; ++step)
        engine.run(oneLine);
}

// The word moves stop where the plain field's did. Within a line a move
// crosses a run of word characters or one of punctuation, then the spaces
// after it; a line break is a step of its own, so a move never goes past the
// start or the end of a line.
enum class Kind { Space, Punctuation, Word };

// Punctuation is ASCII's, less the underscore, which joins words; every other
// character that is not a space makes words.
Kind kindOf(char32_t c)
{
    if (c == u' ' || (c >= u'\t' && c <= u'\r'))
        return Kind::Space;
    if (c < 0x80) {
        const bool punctuation = (c >= u'!' && c <= u'/') || (c >= u':' && c <= u'@')
                                 || (c >= u'[' && c <= u'`' && c != u'_')
                                 || (c >= u'{' && c <= u'~');
        return punctuation ? Kind::Punctuation : Kind::Word;
    }
    return QChar::isSpace(c) ? Kind::Space : Kind::Word;
}

// The kind of the character from offset to next, read from its UTF-8 bytes.
Kind kindAt(const Engine& engine, qsizetype offset, qsizetype next)
{
    const auto byteAt = [&engine](qsizetype at) {
        return static_cast<unsigned char>(engine.charAt(at));
    };
    const unsigned char lead = byteAt(offset);
    if (lead < 0x80 || next - offset < 2)
        return lead < 0x80 ? kindOf(lead) : Kind::Word;
    char32_t c = lead & (lead >= 0xF0 ? 0x07U : lead >= 0xE0 ? 0x0FU : 0x1FU);
    for (qsizetype at = offset + 1; at < next; ++at)
        c = (c << 6) | (byteAt(at) & 0x3FU);
    return kindOf(c);
}

qsizetype nextWordStop(const Engine& engine, qsizetype offset)
{
    const qsizetype line = lineOf(engine, offset);
    const qsizetype end = engine.lineEnd(line);
    if (offset >= end)
        return line < lastLine(engine) ? engine.lineStart(line + 1) : offset;
    const auto kindHere = [&] { return kindAt(engine, offset, engine.offsetAfter(offset)); };
    const auto skip = [&](Kind kind) {
        while (offset < end && kindHere() == kind)
            offset = engine.offsetAfter(offset);
    };
    skip(kindHere() == Kind::Punctuation ? Kind::Punctuation : Kind::Word);
    skip(Kind::Space);
    return offset;
}

qsizetype previousWordStop(const Engine& engine, qsizetype offset)
{
    const qsizetype line = lineOf(engine, offset);
    const qsizetype start = engine.lineStart(line);
    if (offset <= start)
        return line > 0 ? engine.lineEnd(line - 1) : offset;
    const auto kindBefore = [&] { return kindAt(engine, engine.offsetBefore(offset), offset); };
    const auto skip = [&](Kind kind) {
        while (offset > start && kindBefore() == kind)
            offset = engine.offsetBefore(offset);
    };
    skip(Kind::Space);
    if (offset > start)
        skip(kindBefore() == Kind::Punctuation ? Kind::Punctuation : Kind::Word);
    return offset;
}

// A letter with its combining marks, an emoji with its modifiers, a flag:
// the plain field's caret stepped over each as one character (a grapheme
// cluster), where the engine's steps by code point. A cluster is looked for
// within this many characters of the caret.
constexpr qsizetype clusterWindow = 32;

qsizetype nextCharacterStop(const Engine& engine, qsizetype offset)
{
    const qsizetype end = engine.lineEnd(lineOf(engine, offset));
    if (offset >= end)
        return engine.offsetAfter(offset);
    // The engine gives 0 for a position past the end of the text.
    const qsizetype ahead = engine.offsetRelative(offset, clusterWindow);
    const QString text = engine.textBetween(offset, ahead > offset ? std::min(ahead, end) : end);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    const qsizetype next = std::max<qsizetype>(clusters.toNextBoundary(), 1);
    return engine.offsetRelativeUnits(offset, next);
}

qsizetype previousCharacterStop(const Engine& engine, qsizetype offset)
{
    const qsizetype start = engine.lineStart(lineOf(engine, offset));
    if (offset <= start)
        return engine.offsetBefore(offset);
    const qsizetype from = std::max(start, engine.offsetRelative(offset, -clusterWindow));
    const QString text = engine.textBetween(from, offset);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    clusters.toEnd();
    const qsizetype previous = std::max<qsizetype>(clusters.toPreviousBoundary(), 0);
    return engine.offsetRelativeUnits(from, previous);
}

using Stop = qsizetype (*)(const Engine&, qsizetype);

template<Stop To> void moveTo(Engine& engine, const QKeyEvent&)
{
    engine.goTo(To(engine, caret(engine)));
    engine.chooseCaretX();
}

template<Stop To> void selectTo(Engine& engine, const QKeyEvent&)
{
    engine.setSelection(engine.anchor(), To(engine, caret(engine)));
    engine.chooseCaretX();
}

// Left and Right with a selection go to its start or its end.
template<Stop To, EngineCommand Collapse> void stepTo(Engine& engine, const QKeyEvent& key)
{
    if (engine.selectionEmpty())
        moveTo<To>(engine, key);
    else
        engine.run(Collapse);
}

void removeSelection(Engine& engine) { engine.replaceSelection(""); }

// Removes the text between two offsets without selecting it first, which
// would offer it as the desktop's selection (X11's primary); the caret stays
// where the text was.
void removeBetween(Engine& engine, qsizetype from, qsizetype to)
{
    engine.setTargetRange(std::min(from, to), std::max(from, to));
    engine.replaceTarget({});
    engine.setEmptySelection(std::min(from, to));
    engine.chooseCaretX();
}

// The selection alone when there is one, else up to the stop.
template<Stop To> void removeTo(Engine& engine, const QKeyEvent&)
{
    if (!engine.selectionEmpty()) {
        removeSelection(engine);
        return;
    }
    const qsizetype from = caret(engine);
    removeBetween(engine, from, To(engine, from));
}

// From the anchor to the end of the caret's line, the line break kept.
void removeToLineEnd(Engine& engine, const QKeyEvent&)
{
    const qsizetype end = engine.lineEnd(lineOf(engine, caret(engine)));
    removeBetween(engine, engine.anchor(), end);
}

void copy(Engine& engine, const QKeyEvent&) { EngineClipboard::copy(engine); }

void cut(Engine& engine, const QKeyEvent&) { EngineClipboard::cut(engine); }

// Where the desktop has a selection besides the clipboard (X11),
// Ctrl+Shift+Insert pastes the text selected last.
void paste(Engine& engine, const QKeyEvent& key)
{
    const bool selection = QGuiApplication::clipboard()->supportsSelection()
                           && key.keyCombination() == (Qt::CTRL | Qt::SHIFT | Qt::Key_Insert);
    EngineClipboard::paste(engine, selection ? QClipboard::Selection : QClipboard::Clipboard);
}

struct StandardCommand {
    QKeySequence::StandardKey key;
    Command command;
};

// The plain field's commands, in the order it tried them: where a desktop
// binds one key twice, the first wins. The page keys come first, then
// select all and copy, the caret moves, and the edits.
constexpr StandardCommand moves[] = {
    {QKeySequence::SelectPreviousPage, page<-1, true>},
    {QKeySequence::SelectNextPage, page<1, true>},
    {QKeySequence::MoveToPreviousPage, page<-1, false>},
    {QKeySequence::MoveToNextPage, page<1, false>},
    {QKeySequence::SelectAll, selectAll},
    {QKeySequence::Copy, copy},
    {QKeySequence::MoveToNextChar, stepTo<nextCharacterStop, EngineCommand::CharRight>},
    {QKeySequence::MoveToPreviousChar, stepTo<previousCharacterStop, EngineCommand::CharLeft>},
    {QKeySequence::SelectNextChar, selectTo<nextCharacterStop>},
    {QKeySequence::SelectPreviousChar, selectTo<previousCharacterStop>},
    {QKeySequence::SelectNextWord, selectTo<nextWordStop>},
    {QKeySequence::SelectPreviousWord, selectTo<previousWordStop>},
    {QKeySequence::SelectStartOfLine, run<EngineCommand::HomeExtend>},
    {QKeySequence::SelectEndOfLine, run<EngineCommand::LineEndExtend>},
    {QKeySequence::SelectStartOfBlock, run<EngineCommand::HomeExtend>},
    {QKeySequence::SelectEndOfBlock, run<EngineCommand::LineEndExtend>},
    {QKeySequence::SelectStartOfDocument, run<EngineCommand::DocumentStartExtend>},
    {QKeySequence::SelectEndOfDocument, run<EngineCommand::DocumentEndExtend>},
    {QKeySequence::SelectPreviousLine, selectLineUp},
    {QKeySequence::SelectNextLine, selectLineDown},
    {QKeySequence::MoveToNextWord, moveTo<nextWordStop>},
    {QKeySequence::MoveToPreviousWord, moveTo<previousWordStop>},
    {QKeySequence::MoveToEndOfBlock, run<EngineCommand::LineEnd>},
    {QKeySequence::MoveToStartOfBlock, run<EngineCommand::Home>},
    {QKeySequence::MoveToNextLine, lineDown},
    {QKeySequence::MoveToPreviousLine, lineUp},
    {QKeySequence::MoveToStartOfLine, run<EngineCommand::Home>},
    {QKeySequence::MoveToEndOfLine, run<EngineCommand::LineEnd>},
    {QKeySequence::MoveToStartOfDocument, run<EngineCommand::DocumentStart>},
    {QKeySequence::MoveToEndOfDocument, run<EngineCommand::DocumentEnd>},
};

// After Backspace, which the plain field took with or without Shift.
constexpr StandardCommand edits[] = {
    // A line separator in the plain field, read back as a line break.
    {QKeySequence::InsertParagraphSeparator, run<EngineCommand::NewLine>},
    {QKeySequence::InsertLineSeparator, run<EngineCommand::NewLine>},
    {QKeySequence::Undo, offerSelection},
    {QKeySequence::Redo, offerSelection},
    {QKeySequence::Cut, cut},
    {QKeySequence::Paste, paste},
    {QKeySequence::Delete, removeTo<nextCharacterStop>},
    {QKeySequence::Backspace, run<EngineCommand::DeleteBack>},
    {QKeySequence::DeleteEndOfWord, removeTo<nextWordStop>},
    {QKeySequence::DeleteStartOfWord, removeTo<previousWordStop>},
    {QKeySequence::DeleteEndOfLine, removeToLineEnd},
};

Command commandFor(const QKeyEvent& key, std::span<const StandardCommand> commands)
{
    for (const StandardCommand& command : commands) {
        if (key.matches(command.key))
            return command.command;
    }
    return nullptr;
}

// The plain field's rule for typed text: nothing while Ctrl is held without
// Alt (Ctrl+Alt is AltGr on some keyboards), except formatting characters.
bool typesText(const QKeyEvent& key)
{
    const QString text = key.text();
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    if (first.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ControlModifier | Qt::ShiftModifier))
        return false;
    return first.isPrint() || first.category() == QChar::Other_PrivateUse || first == u'\t'
           || (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

} // namespace

void useScriptKeys(Engine& engine) { engine.clearKeyMap(); }

bool answerScriptKey(Engine& engine, const QKeyEvent& key)
{
    Command command = commandFor(key, moves);
    if (!command && key.key() == Qt::Key_Backspace
        && !(key.modifiers() & ~(Qt::ShiftModifier | Qt::GroupSwitchModifier)))
        command = run<EngineCommand::DeleteBack>;
    if (!command)
        command = commandFor(key, edits);
    if (command) {
        command(engine, key);
        return true;
    }
    if (!typesText(key))
        return false;
    engine.replaceSelection(key.text().toUtf8().constData());
    return true;
}
