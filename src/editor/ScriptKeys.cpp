#include "editor/ScriptKeys.h"

#include "editor/EngineClipboard.h"
#include "editor/EngineText.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QTextBoundaryFinder>
#include <Qsci/qsciscintillabase.h>
#include <algorithm>
#include <span>

namespace {

using Sci = QsciScintillaBase;
using Command = void (*)(Sci&, const QKeyEvent&);

long send(const Sci& engine, unsigned int message, long wParam = 0, long lParam = 0)
{
    return engine.SendScintilla(message, static_cast<unsigned long>(wParam), lParam);
}

template<unsigned int Message> void run(Sci& engine, const QKeyEvent&) { send(engine, Message); }

long caret(const Sci& engine) { return send(engine, Sci::SCI_GETCURRENTPOS); }

// Nothing to undo or redo here. The key is taken all the same, and like any
// key it took, the plain field offered its selection again as the desktop's
// selection (X11's primary).
void offerSelection(Sci& engine, const QKeyEvent&)
{
    send(engine, Sci::SCI_SETSEL, send(engine, Sci::SCI_GETANCHOR), caret(engine));
}

long lineOf(const Sci& engine, long offset)
{
    return send(engine, Sci::SCI_LINEFROMPOSITION, offset);
}

// The caret at the end, as the plain field leaves it.
void selectAll(Sci& engine, const QKeyEvent&)
{
    send(engine, Sci::SCI_SETSEL, 0, send(engine, Sci::SCI_GETLENGTH));
}

long lastLine(const Sci& engine) { return send(engine, Sci::SCI_GETLINECOUNT) - 1; }

// Up on the first line and Down on the last stay where they are; with Shift
// they select to the start and to the end of the text.
void lineUp(Sci& engine, const QKeyEvent&)
{
    if (lineOf(engine, caret(engine)) > 0)
        send(engine, Sci::SCI_LINEUP);
}

void lineDown(Sci& engine, const QKeyEvent&)
{
    if (lineOf(engine, caret(engine)) < lastLine(engine))
        send(engine, Sci::SCI_LINEDOWN);
}

void selectLineUp(Sci& engine, const QKeyEvent&)
{
    send(engine,
         lineOf(engine, caret(engine)) == 0 ? Sci::SCI_DOCUMENTSTARTEXTEND : Sci::SCI_LINEUPEXTEND);
}

void selectLineDown(Sci& engine, const QKeyEvent&)
{
    send(engine, lineOf(engine, caret(engine)) == lastLine(engine) ? Sci::SCI_DOCUMENTENDEXTEND
                                                                   : Sci::SCI_LINEDOWNEXTEND);
}

// A page goes as far as the engine's, but short of a page from either end it
// stops on the first or the last line, in the caret's column, where the
// engine would go on to the very end of the text.
template<int Direction, bool Extend> void page(Sci& engine, const QKeyEvent&)
{
    const long line = lineOf(engine, caret(engine));
    const long room = Direction < 0 ? line : lastLine(engine) - line;
    const long pageLines = std::max(send(engine, Sci::SCI_LINESONSCREEN) - 1, 1L);
    if (room >= pageLines) {
        send(engine, Direction < 0 ? (Extend ? Sci::SCI_PAGEUPEXTEND : Sci::SCI_PAGEUP)
                                   : (Extend ? Sci::SCI_PAGEDOWNEXTEND : Sci::SCI_PAGEDOWN));
        return;
    }
    const unsigned int oneLine = Direction < 0
                                     ? (Extend ? Sci::SCI_LINEUPEXTEND : Sci::SCI_LINEUP)
                                     : (Extend ? Sci::SCI_LINEDOWNEXTEND : Sci::SCI_LINEDOWN);
    for (long step = 0; step < room; ++step)
        send(engine, oneLine);
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
Kind kindAt(const Sci& engine, long offset, long next)
{
    const auto byteAt = [&engine](long at) {
        return static_cast<unsigned char>(send(engine, Sci::SCI_GETCHARAT, at));
    };
    const unsigned char lead = byteAt(offset);
    if (lead < 0x80 || next - offset < 2)
        return lead < 0x80 ? kindOf(lead) : Kind::Word;
    char32_t c = lead & (lead >= 0xF0 ? 0x07U : lead >= 0xE0 ? 0x0FU : 0x1FU);
    for (long at = offset + 1; at < next; ++at)
        c = (c << 6) | (byteAt(at) & 0x3FU);
    return kindOf(c);
}

long nextWordStop(const Sci& engine, long offset)
{
    const long line = lineOf(engine, offset);
    const long end = send(engine, Sci::SCI_GETLINEENDPOSITION, line);
    if (offset >= end)
        return line < lastLine(engine) ? send(engine, Sci::SCI_POSITIONFROMLINE, line + 1) : offset;
    const auto kindHere = [&] {
        return kindAt(engine, offset, send(engine, Sci::SCI_POSITIONAFTER, offset));
    };
    const auto skip = [&](Kind kind) {
        while (offset < end && kindHere() == kind)
            offset = send(engine, Sci::SCI_POSITIONAFTER, offset);
    };
    skip(kindHere() == Kind::Punctuation ? Kind::Punctuation : Kind::Word);
    skip(Kind::Space);
    return offset;
}

long previousWordStop(const Sci& engine, long offset)
{
    const long line = lineOf(engine, offset);
    const long start = send(engine, Sci::SCI_POSITIONFROMLINE, line);
    if (offset <= start)
        return line > 0 ? send(engine, Sci::SCI_GETLINEENDPOSITION, line - 1) : offset;
    const auto kindBefore = [&] {
        return kindAt(engine, send(engine, Sci::SCI_POSITIONBEFORE, offset), offset);
    };
    const auto skip = [&](Kind kind) {
        while (offset > start && kindBefore() == kind)
            offset = send(engine, Sci::SCI_POSITIONBEFORE, offset);
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
constexpr long clusterWindow = 32;

long nextCharacterStop(const Sci& engine, long offset)
{
    const long end = send(engine, Sci::SCI_GETLINEENDPOSITION, lineOf(engine, offset));
    if (offset >= end)
        return send(engine, Sci::SCI_POSITIONAFTER, offset);
    // The engine gives 0 for a position past the end of the text.
    const long ahead = send(engine, Sci::SCI_POSITIONRELATIVE, offset, clusterWindow);
    const QString text =
        EngineText::textBetween(engine, offset, ahead > offset ? std::min(ahead, end) : end);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    const qsizetype next = std::max<qsizetype>(clusters.toNextBoundary(), 1);
    return send(engine, Sci::SCI_POSITIONRELATIVECODEUNITS, offset, long(next));
}

long previousCharacterStop(const Sci& engine, long offset)
{
    const long start = send(engine, Sci::SCI_POSITIONFROMLINE, lineOf(engine, offset));
    if (offset <= start)
        return send(engine, Sci::SCI_POSITIONBEFORE, offset);
    const long from =
        std::max(start, send(engine, Sci::SCI_POSITIONRELATIVE, offset, -clusterWindow));
    const QString text = EngineText::textBetween(engine, from, offset);
    QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, text);
    clusters.toEnd();
    const qsizetype previous = std::max<qsizetype>(clusters.toPreviousBoundary(), 0);
    return send(engine, Sci::SCI_POSITIONRELATIVECODEUNITS, from, long(previous));
}

using Stop = long (*)(const Sci&, long);

template<Stop To> void moveTo(Sci& engine, const QKeyEvent&)
{
    send(engine, Sci::SCI_GOTOPOS, To(engine, caret(engine)));
    send(engine, Sci::SCI_CHOOSECARETX);
}

template<Stop To> void selectTo(Sci& engine, const QKeyEvent&)
{
    send(engine, Sci::SCI_SETSEL, send(engine, Sci::SCI_GETANCHOR), To(engine, caret(engine)));
    send(engine, Sci::SCI_CHOOSECARETX);
}

// Left and Right with a selection go to its start or its end.
template<Stop To, unsigned int Collapse> void stepTo(Sci& engine, const QKeyEvent& key)
{
    if (send(engine, Sci::SCI_GETSELECTIONEMPTY))
        moveTo<To>(engine, key);
    else
        send(engine, Collapse);
}

void removeSelection(Sci& engine) { engine.SendScintilla(Sci::SCI_REPLACESEL, 0UL, ""); }

// Removes the text between two offsets without selecting it first, which
// would offer it as the desktop's selection (X11's primary); the caret stays
// where the text was.
void removeBetween(Sci& engine, long from, long to)
{
    send(engine, Sci::SCI_SETTARGETRANGE, std::min(from, to), std::max(from, to));
    engine.SendScintilla(Sci::SCI_REPLACETARGET, 0UL, "");
    send(engine, Sci::SCI_SETEMPTYSELECTION, std::min(from, to));
    send(engine, Sci::SCI_CHOOSECARETX);
}

// The selection alone when there is one, else up to the stop.
template<Stop To> void removeTo(Sci& engine, const QKeyEvent&)
{
    if (!send(engine, Sci::SCI_GETSELECTIONEMPTY)) {
        removeSelection(engine);
        return;
    }
    const long from = caret(engine);
    removeBetween(engine, from, To(engine, from));
}

// From the anchor to the end of the caret's line, the line break kept.
void removeToLineEnd(Sci& engine, const QKeyEvent&)
{
    const long end = send(engine, Sci::SCI_GETLINEENDPOSITION, lineOf(engine, caret(engine)));
    removeBetween(engine, send(engine, Sci::SCI_GETANCHOR), end);
}

void copy(Sci& engine, const QKeyEvent&) { EngineClipboard::copy(engine); }

void cut(Sci& engine, const QKeyEvent&) { EngineClipboard::cut(engine); }

// Where the desktop has a selection besides the clipboard (X11),
// Ctrl+Shift+Insert pastes the text selected last.
void paste(Sci& engine, const QKeyEvent& key)
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
    {QKeySequence::MoveToNextChar, stepTo<nextCharacterStop, Sci::SCI_CHARRIGHT>},
    {QKeySequence::MoveToPreviousChar, stepTo<previousCharacterStop, Sci::SCI_CHARLEFT>},
    {QKeySequence::SelectNextChar, selectTo<nextCharacterStop>},
    {QKeySequence::SelectPreviousChar, selectTo<previousCharacterStop>},
    {QKeySequence::SelectNextWord, selectTo<nextWordStop>},
    {QKeySequence::SelectPreviousWord, selectTo<previousWordStop>},
    {QKeySequence::SelectStartOfLine, run<Sci::SCI_HOMEEXTEND>},
    {QKeySequence::SelectEndOfLine, run<Sci::SCI_LINEENDEXTEND>},
    {QKeySequence::SelectStartOfBlock, run<Sci::SCI_HOMEEXTEND>},
    {QKeySequence::SelectEndOfBlock, run<Sci::SCI_LINEENDEXTEND>},
    {QKeySequence::SelectStartOfDocument, run<Sci::SCI_DOCUMENTSTARTEXTEND>},
    {QKeySequence::SelectEndOfDocument, run<Sci::SCI_DOCUMENTENDEXTEND>},
    {QKeySequence::SelectPreviousLine, selectLineUp},
    {QKeySequence::SelectNextLine, selectLineDown},
    {QKeySequence::MoveToNextWord, moveTo<nextWordStop>},
    {QKeySequence::MoveToPreviousWord, moveTo<previousWordStop>},
    {QKeySequence::MoveToEndOfBlock, run<Sci::SCI_LINEEND>},
    {QKeySequence::MoveToStartOfBlock, run<Sci::SCI_HOME>},
    {QKeySequence::MoveToNextLine, lineDown},
    {QKeySequence::MoveToPreviousLine, lineUp},
    {QKeySequence::MoveToStartOfLine, run<Sci::SCI_HOME>},
    {QKeySequence::MoveToEndOfLine, run<Sci::SCI_LINEEND>},
    {QKeySequence::MoveToStartOfDocument, run<Sci::SCI_DOCUMENTSTART>},
    {QKeySequence::MoveToEndOfDocument, run<Sci::SCI_DOCUMENTEND>},
};

// After Backspace, which the plain field took with or without Shift.
constexpr StandardCommand edits[] = {
    // A line separator in the plain field, read back as a line break.
    {QKeySequence::InsertParagraphSeparator, run<Sci::SCI_NEWLINE>},
    {QKeySequence::InsertLineSeparator, run<Sci::SCI_NEWLINE>},
    {QKeySequence::Undo, offerSelection},
    {QKeySequence::Redo, offerSelection},
    {QKeySequence::Cut, cut},
    {QKeySequence::Paste, paste},
    {QKeySequence::Delete, removeTo<nextCharacterStop>},
    {QKeySequence::Backspace, run<Sci::SCI_DELETEBACK>},
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

void useScriptKeys(QsciScintillaBase& engine) { send(engine, Sci::SCI_CLEARALLCMDKEYS); }

bool answerScriptKey(QsciScintillaBase& engine, const QKeyEvent& key)
{
    Command command = commandFor(key, moves);
    if (!command && key.key() == Qt::Key_Backspace
        && !(key.modifiers() & ~(Qt::ShiftModifier | Qt::GroupSwitchModifier)))
        command = run<Sci::SCI_DELETEBACK>;
    if (!command)
        command = commandFor(key, edits);
    if (command) {
        command(engine, key);
        return true;
    }
    if (!typesText(key))
        return false;
    engine.SendScintilla(Sci::SCI_REPLACESEL, 0UL, key.text().toUtf8().constData());
    return true;
}
