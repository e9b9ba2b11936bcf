#include "editor/Engine.h"

#include <QByteArray>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

using Sci = QsciScintillaBase;

// The engine's own pointer shape for text (its first after "none"). Set as
// the pointer for the whole editor, it shows over selected text too, where
// the engine would show an arrow.
constexpr long textPointer = 1;
// Styled text is read in pieces of this many bytes.
constexpr qsizetype stylePiece = qsizetype(1) << 16;

// The engine hands out a pointer as its integer result.
template<typename T> T* pointerResult(long result)
{
    return reinterpret_cast<T*>(result); // NOLINT(performance-no-int-to-ptr)
}

} // namespace

Engine::NewDocument::NewDocument(QsciScintillaBase* filler, void* document)
    : filler_(filler)
    , document_(document)
{
}

Engine::NewDocument::NewDocument(NewDocument&& other) noexcept
    : filler_(other.filler_)
    , document_(std::exchange(other.document_, nullptr))
{
}

Engine::NewDocument::~NewDocument()
{
    if (void* const document = take())
        filler_->SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0, document);
}

void* Engine::NewDocument::take()
{
    if (document_)
        // The filler goes on with an empty document of its own.
        filler_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0, static_cast<void*>(nullptr));
    return std::exchange(document_, nullptr);
}

bool Engine::NewDocument::append(QByteArrayView bytes)
{
    if (!document_)
        return false;
    filler_->SendScintilla(Sci::SCI_APPENDTEXT, uintptr_t(bytes.size()), bytes.data());
    // The engine reports memory it could not get as its status.
    if (filler_->SendScintilla(Sci::SCI_GETSTATUS) != Sci::SC_STATUS_OK) {
        filler_->SendScintilla(Sci::SCI_SETSTATUS, Sci::SC_STATUS_OK);
        filler_->SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0, take());
    }
    return document_ != nullptr;
}

Engine::Engine(QsciScintillaBase& widget)
    : widget_(widget)
{
}

long Engine::send(unsigned int message, qsizetype wParam, qsizetype lParam) const
{
    return widget_.SendScintilla(message, static_cast<unsigned long>(wParam),
                                 static_cast<long>(lParam));
}

long Engine::sendText(unsigned int message, qsizetype wParam, const char* lParam) const
{
    return widget_.SendScintilla(message, static_cast<uintptr_t>(wParam), lParam);
}

void Engine::setUpDocument()
{
    send(Sci::SCI_SETCODEPAGE, Sci::SC_CP_UTF8);
    send(Sci::SCI_SETEOLMODE, Sci::SC_EOL_LF);
    // Ctrl+Z is a formatting command here, so the engine's own undo could
    // never be reached; keeping its history would only cost memory.
    send(Sci::SCI_SETUNDOCOLLECTION, 0);
    send(Sci::SCI_SETTABWIDTH, 4);
}

void Engine::setUp()
{
    // The first document keeps no styles either, as every one opened later.
    adopt(newDocument(0));
    send(Sci::SCI_SETPASTECONVERTENDINGS, 1);
    // Insertions and deletions are announced only before they happen. The
    // engine's own accessibility code counts the characters from the start
    // of the document on every notice that text was inserted or deleted,
    // which costs a key tens of milliseconds on a large script.
    send(Sci::SCI_SETMODEVENTMASK, Sci::SC_MOD_INSERTCHECK | Sci::SC_MOD_BEFOREDELETE);
    for (int margin = 0; margin < 5; ++margin)
        send(Sci::SCI_SETMARGINWIDTHN, margin, 0);
    send(Sci::SCI_SETMARGINLEFT, 0, 2);
    // ScrollWidth sets the width; the engine's tracking only adds a line it
    // draws wider than measured.
    send(Sci::SCI_SETSCROLLWIDTH, 1);
    send(Sci::SCI_SETSCROLLWIDTHTRACKING, 1);
    send(Sci::SCI_SETCURSOR, textPointer);
}

Engine::NewDocument Engine::newDocument(qsizetype bytes, bool styled) const
{
    if (!filler_) {
        filler_ = std::make_unique<QsciScintillaBase>();
        // It tells nobody of its changes.
        filler_->SendScintilla(Sci::SCI_SETMODEVENTMASK, 0UL);
    }
    const long options =
        styled ? Sci::SC_DOCUMENTOPTION_DEFAULT : Sci::SC_DOCUMENTOPTION_STYLES_NONE;
    // Null when the engine found no memory for the bytes. Two bytes more: the
    // engine grows a buffer whose gap would be no larger than what goes in,
    // and text() puts a NUL after the text. Grown, the buffer would be copied
    // whole.
    void* const document =
        pointerResult<void>(filler_->SendScintilla(Sci::SCI_CREATEDOCUMENT, bytes + 2, options));
    if (!document)
        return {filler_.get(), nullptr};
    // The new document's own reference goes to NewDocument; the filler takes
    // one of its own.
    filler_->SendScintilla(Sci::SCI_SETDOCPOINTER, 0, document);
    // Filling it must not keep a copy of everything for the engine's undo.
    filler_->SendScintilla(Sci::SCI_SETUNDOCOLLECTION, 0UL);
    return {filler_.get(), document};
}

void Engine::adopt(NewDocument document)
{
    void* const adopted = document.take();
    if (!adopted)
        return;
    // The view takes a reference of its own; the new document's goes.
    widget_.SendScintilla(Sci::SCI_SETDOCPOINTER, 0, adopted);
    widget_.SendScintilla(Sci::SCI_RELEASEDOCUMENT, 0, adopted);
    setUpDocument();
    index_.reset();
}

bool Engine::hasStyles() const
{
    return (send(Sci::SCI_GETDOCUMENTOPTIONS) & Sci::SC_DOCUMENTOPTION_STYLES_NONE) == 0;
}

void Engine::giveStyles()
{
    if (hasStyles())
        return;
    const QByteArrayView bytes = text();
    NewDocument styled = newDocument(bytes.size(), true);
    if (!styled.append(bytes))
        return;
    const qsizetype anchorAt = anchor();
    const qsizetype caretAt = caret();
    const qsizetype firstLine = firstVisibleLine();
    const int xOffset = int(send(Sci::SCI_GETXOFFSET));
    adopt(std::move(styled));
    setSelection(anchorAt, caretAt);
    send(Sci::SCI_SETFIRSTVISIBLELINE, firstLine);
    setXOffset(xOffset);
}

void Engine::clearKeyMap() { send(Sci::SCI_CLEARALLCMDKEYS); }

void Engine::run(Command command) { send(static_cast<unsigned int>(command)); }

bool Engine::announcesInsertion(int type) { return (type & Sci::SC_MOD_INSERTCHECK) != 0; }

bool Engine::announcesDeletion(int type) { return (type & Sci::SC_MOD_BEFOREDELETE) != 0; }

bool Engine::updatesTextOrSelection(int updated)
{
    return (updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION)) != 0;
}

QByteArrayView Engine::text() const
{
    const auto* text =
        static_cast<const char*>(widget_.SendScintillaPtrResult(Sci::SCI_GETCHARACTERPOINTER));
    return {text, length()};
}

std::optional<qsizetype> Engine::find(QByteArrayView needle, qsizetype from) const
{
    const QByteArrayView haystack = text();
    if (needle.isEmpty() || from < 0 || from > haystack.size())
        return std::nullopt;
    // The C library's search is the fastest at hand, several times a naive scan.
    const void* found = memmem(haystack.data() + from, size_t(haystack.size() - from),
                               needle.data(), size_t(needle.size()));
    if (!found)
        return std::nullopt;
    return static_cast<const char*>(found) - haystack.data();
}

QByteArrayView Engine::textRange(qsizetype offset, qsizetype length) const
{
    if (length <= 0)
        return {};
    return {pointerResult<const char>(send(Sci::SCI_GETRANGEPOINTER, offset, length)), length};
}

qsizetype Engine::length() const { return send(Sci::SCI_GETLENGTH); }

char Engine::charAt(qsizetype offset) const { return char(send(Sci::SCI_GETCHARAT, offset)); }

QString Engine::textBetween(qsizetype from, qsizetype to) const
{
    if (to <= from)
        return {};
    // Room for the terminating NUL the engine writes is always there.
    QByteArray bytes(to - from, Qt::Uninitialized);
    widget_.SendScintilla(Sci::SCI_GETTEXTRANGE, long(from), long(to), bytes.data());
    return QString::fromUtf8(bytes);
}

void Engine::styledText(qsizetype from, qsizetype to, char* styled) const
{
    widget_.SendScintilla(Sci::SCI_GETSTYLEDTEXT, long(from), long(to), styled);
}

void Engine::addText(QByteArrayView bytes)
{
    sendText(Sci::SCI_ADDTEXT, bytes.size(), bytes.data());
}

void Engine::replaceSelection(const char* text) { sendText(Sci::SCI_REPLACESEL, 0, text); }

void Engine::setTargetRange(qsizetype from, qsizetype to)
{
    send(Sci::SCI_SETTARGETRANGE, from, to);
}

void Engine::targetFromSelection() { send(Sci::SCI_TARGETFROMSELECTION); }

qsizetype Engine::targetStart() const { return send(Sci::SCI_GETTARGETSTART); }

void Engine::replaceTarget(QByteArrayView bytes)
{
    sendText(Sci::SCI_REPLACETARGET, bytes.size(), bytes.isEmpty() ? "" : bytes.data());
}

qsizetype Engine::lineCount() const { return send(Sci::SCI_GETLINECOUNT); }

qsizetype Engine::lineFromOffset(qsizetype offset) const
{
    return send(Sci::SCI_LINEFROMPOSITION, offset);
}

qsizetype Engine::lineStart(qsizetype line) const { return send(Sci::SCI_POSITIONFROMLINE, line); }

qsizetype Engine::lineEnd(qsizetype line) const { return send(Sci::SCI_GETLINEENDPOSITION, line); }

qsizetype Engine::lineLength(qsizetype line) const { return send(Sci::SCI_LINELENGTH, line); }

qsizetype Engine::offsetBefore(qsizetype offset) const
{
    return send(Sci::SCI_POSITIONBEFORE, offset);
}

qsizetype Engine::offsetAfter(qsizetype offset) const
{
    return send(Sci::SCI_POSITIONAFTER, offset);
}

qsizetype Engine::offsetRelative(qsizetype offset, qsizetype characters) const
{
    return send(Sci::SCI_POSITIONRELATIVE, offset, characters);
}

qsizetype Engine::offsetRelativeUnits(qsizetype offset, qsizetype units) const
{
    return send(Sci::SCI_POSITIONRELATIVECODEUNITS, offset, units);
}

qsizetype Engine::positionOfOffset(qsizetype offset) const
{
    return index_.positionOfOffset(offset);
}

qsizetype Engine::offsetOfPosition(qsizetype position) const
{
    return index_.offsetOfPosition(position);
}

int Engine::endPosition() const { return int(index_.endPosition()); }

qsizetype Engine::caret() const { return send(Sci::SCI_GETCURRENTPOS); }

qsizetype Engine::anchor() const { return send(Sci::SCI_GETANCHOR); }

qsizetype Engine::selectionStart() const { return send(Sci::SCI_GETSELECTIONSTART); }

qsizetype Engine::selectionEnd() const { return send(Sci::SCI_GETSELECTIONEND); }

bool Engine::selectionEmpty() const { return send(Sci::SCI_GETSELECTIONEMPTY) != 0; }

void Engine::setSelection(qsizetype anchor, qsizetype caret)
{
    send(Sci::SCI_SETSEL, anchor, caret);
}

void Engine::setEmptySelection(qsizetype offset) { send(Sci::SCI_SETEMPTYSELECTION, offset); }

void Engine::selectAll() { send(Sci::SCI_SELECTALL); }

void Engine::goTo(qsizetype offset) { send(Sci::SCI_GOTOPOS, offset); }

void Engine::chooseCaretX() { send(Sci::SCI_CHOOSECARETX); }

bool Engine::isReadOnly() const { return send(Sci::SCI_GETREADONLY) != 0; }

int Engine::xOfOffset(qsizetype offset) const
{
    return int(send(Sci::SCI_POINTXFROMPOSITION, 0, offset));
}

int Engine::yOfOffset(qsizetype offset) const
{
    return int(send(Sci::SCI_POINTYFROMPOSITION, 0, offset));
}

int Engine::lineHeight(qsizetype line) const { return int(send(Sci::SCI_TEXTHEIGHT, line)); }

qsizetype Engine::offsetAtPoint(QPoint point) const
{
    return send(Sci::SCI_POSITIONFROMPOINT, point.x(), point.y());
}

qsizetype Engine::characterAtPoint(QPoint point) const
{
    return send(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, point.x(), point.y());
}

int Engine::textWidth(const char* text) const
{
    return int(widget_.SendScintilla(Sci::SCI_TEXTWIDTH, uintptr_t(Sci::STYLE_DEFAULT), text));
}

int Engine::zoom() const { return int(send(Sci::SCI_GETZOOM)); }

qsizetype Engine::firstVisibleLine() const { return send(Sci::SCI_GETFIRSTVISIBLELINE); }

qsizetype Engine::linesOnScreen() const { return send(Sci::SCI_LINESONSCREEN); }

int Engine::tabWidth() const { return int(send(Sci::SCI_GETTABWIDTH)); }

void Engine::setScrollWidth(int pixels) { send(Sci::SCI_SETSCROLLWIDTH, pixels); }

void Engine::setXOffset(int pixels) { send(Sci::SCI_SETXOFFSET, pixels); }

void Engine::scrollCaret() { send(Sci::SCI_SCROLLCARET); }

void Engine::scrollRange(qsizetype start, qsizetype end) { send(Sci::SCI_SCROLLRANGE, end, start); }

int Engine::caretPeriod() const { return int(send(Sci::SCI_GETCARETPERIOD)); }

void Engine::setCaretPeriod(int milliseconds) { send(Sci::SCI_SETCARETPERIOD, milliseconds); }

// The engine hands out a style as a signed char.
int Engine::styleAt(qsizetype offset) const
{
    return int(send(Sci::SCI_GETSTYLEAT, offset)) & 0xFF;
}

void Engine::setStyle(qsizetype offset, qsizetype length, int style)
{
    if (style != 0 && !hasStyles())
        giveStyles();
    send(Sci::SCI_STARTSTYLING, offset, 0);
    send(Sci::SCI_SETSTYLING, length, style);
}

bool Engine::forEachStyleRun(qsizetype from, qsizetype to,
                             const std::function<bool(int, qsizetype, qsizetype)>& onRun) const
{
    // The engine hands out text and style bytes interleaved.
    std::vector<char> styled(2 * stylePiece + 2);
    int runStyle = -1;
    qsizetype runStart = 0;
    qsizetype runEnd = 0;
    for (qsizetype at = from; at < to; at += stylePiece) {
        const qsizetype end = std::min(to, at + stylePiece);
        styledText(at, end, styled.data());
        for (qsizetype offset = at; offset < end; ++offset) {
            const char character = styled[size_t(2 * (offset - at))];
            const int style = uchar(styled[size_t(2 * (offset - at) + 1)]);
            if (character != '\n' && style == runStyle && offset == runEnd) {
                ++runEnd;
                continue;
            }
            if (runStyle >= 0 && !onRun(runStyle, runStart, runEnd - runStart))
                return false;
            runStyle = character == '\n' ? -1 : style;
            runStart = offset;
            runEnd = offset + 1;
        }
    }
    return runStyle < 0 || onRun(runStyle, runStart, runEnd - runStart);
}

void Engine::defineStyle(int style, const FontChoice& format, const QColor& background)
{
    sendText(Sci::SCI_STYLESETFONT, style, format.name.toUtf8().constData());
    send(Sci::SCI_STYLESETSIZEFRACTIONAL, style, qRound(format.size * 100));
    send(Sci::SCI_STYLESETBOLD, style, format.bold ? 1 : 0);
    send(Sci::SCI_STYLESETITALIC, style, format.italic ? 1 : 0);
    widget_.SendScintilla(Sci::SCI_STYLESETFORE, style, format.color);
    widget_.SendScintilla(Sci::SCI_STYLESETBACK, style, background);
}

QColor Engine::styleBackground(int style) const
{
    // The engine hands out a colour as 0xBBGGRR.
    const auto colour = send(Sci::SCI_STYLEGETBACK, style);
    return {int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF)};
}

void Engine::resetStyles() { send(Sci::SCI_STYLECLEARALL); }

void Engine::setCaretColor(const QColor& color)
{
    widget_.SendScintilla(Sci::SCI_SETCARETFORE, color);
}

void Engine::setSelectionColors(const QColor& text, const QColor& background)
{
    widget_.SendScintilla(Sci::SCI_SETSELFORE, 1, text);
    widget_.SendScintilla(Sci::SCI_SETSELBACK, 1, background);
}
