#include "editor/ScriptEditor.h"

#include "editor/EngineClipboard.h"
#include "editor/EngineText.h"
#include "editor/PlainTextMime.h"
#include "editor/ScriptKeys.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <array>

namespace {

using Sci = QsciScintillaBase;

// The engine's own pointer shape for text (its first after "none"). Set as
// the pointer for the whole editor, it shows over selected text too, where
// the engine would show an arrow.
constexpr long textPointer = 1;
// Past this many bytes a line takes long to lay out, and the caret's blink
// would lay it out again on every tick: on such a line the caret stays lit.
constexpr long longLineBytes = 200'000;
// Styled text is read in pieces of this many bytes.
constexpr qsizetype stylePiece = qsizetype(1) << 16;

FontChoice baseFormat(const QFont& font, const QColor& text)
{
    return {.name = font.family(),
            .size = float(font.pointSizeF()),
            .bold = false,
            .italic = false,
            .strikeout = false,
            .underline = false,
            .color = QColor::fromRgb(text.rgb())};
}

} // namespace

ScriptEditor::ScriptEditor(QWidget* parent)
    : QsciScintillaBase(parent)
    // Scripts are line-oriented and column-aligned: a fixed-pitch face.
    , styles_(baseFormat(QFontDatabase::systemFont(QFontDatabase::FixedFont),
                         palette().color(QPalette::Text)))
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The sunken frame of a text field, and the corner between the scroll
    // bars painted as the window is, not left black.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(true);
    send(SCI_SETCODEPAGE, SC_CP_UTF8);
    send(SCI_SETEOLMODE, SC_EOL_LF);
    send(SCI_SETPASTECONVERTENDINGS, 1);
    // Ctrl+Z is a formatting command here, so the engine's own undo could
    // never be reached; keeping its history would only cost memory.
    send(SCI_SETUNDOCOLLECTION, 0);
    // Insertions and deletions are announced only before they happen. The
    // engine's own accessibility code counts the characters from the start
    // of the document on every notice that text was inserted or deleted,
    // which costs a key tens of milliseconds on a large script.
    send(SCI_SETMODEVENTMASK, SC_MOD_INSERTCHECK | SC_MOD_BEFOREDELETE);
    // Positions in UTF-16 units, found through a line index.
    send(SCI_ALLOCATELINECHARACTERINDEX, SC_LINECHARACTERINDEX_UTF16);
    for (int margin = 0; margin < 5; ++margin)
        send(SCI_SETMARGINWIDTHN, margin, 0);
    send(SCI_SETMARGINLEFT, 0, 2);
    // ScrollWidth sets the width; the engine's tracking only adds a line it
    // draws wider than measured.
    send(SCI_SETSCROLLWIDTH, 1);
    send(SCI_SETSCROLLWIDTHTRACKING, 1);
    send(SCI_SETTABWIDTH, 4);
    send(SCI_SETCURSOR, textPointer);
    defineBaseStyle();
    blinkPeriod_ = send(SCI_GETCARETPERIOD);
    useScriptKeys(*this);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int,
                   int) { onModified(position, type, text, length); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { updateCaretBlink(); });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        decorations_.stylesChanged();
        scrollWidth_.countAll();
    });
}

long ScriptEditor::send(unsigned int message, qsizetype wParam, qsizetype lParam) const
{
    return SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
}

long ScriptEditor::sendText(unsigned int message, qsizetype wParam, const char* lParam) const
{
    return SendScintilla(message, static_cast<uintptr_t>(wParam), lParam);
}

void ScriptEditor::setReservedShortcuts(const QList<QKeyCombination>& keys)
{
    reservedShortcuts_ = keys;
}

bool ScriptEditor::event(QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (reservedShortcuts_.contains(key->keyCombination())) {
            event->ignore();
            return true;
        }
    }
    const bool handled = QsciScintillaBase::event(event);
    styleInsertions();
    return handled;
}

// The keys of the plain text field, not the engine's (ScriptKeys). The
// engine's own handling would also scroll the view on keys that do nothing.
void ScriptEditor::keyPressEvent(QKeyEvent* event)
{
    event->setAccepted(answerScriptKey(*this, *event));
}

// Mouse and drop events arrive through the viewport.
bool ScriptEditor::viewportEvent(QEvent* event)
{
    const bool handled = QsciScintillaBase::viewportEvent(event);
    styleInsertions();
    return handled;
}

bool ScriptEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return !plainTextOffered(source).isEmpty();
}

QByteArray ScriptEditor::fromMimeData(const QMimeData* source, bool& rectangular) const
{
    rectangular = false;
    return EngineText::toEngine(plainTextOffered(source));
}

// The engine offers its selection as the X11 selection and as a drag, but
// the text it hands over ends at the first NUL or has each NUL made a space.
// Both offer the selection, so it is read whole here.
QMimeData* ScriptEditor::toMimeData(const QByteArray& text, bool rectangular) const
{
    return plainTextData(rectangular ? EngineText::toEditor(text) : selectedText());
}

// The engine would paste the X11 selection with each NUL made a space.
void ScriptEditor::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::MiddleButton) {
        QsciScintillaBase::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    if (!QGuiApplication::clipboard()->supportsSelection())
        return;
    const QPoint at = event->position().toPoint();
    send(SCI_SETEMPTYSELECTION, send(SCI_POSITIONFROMPOINT, at.x(), at.y()));
    EngineClipboard::paste(*this, QClipboard::Selection);
    styleInsertions();
}

// The engine would drop the text only up to its first NUL. A drag from the
// editor itself moves the selection, unless Ctrl copies it; a drop on the
// dragged text leaves it where it is.
void ScriptEditor::dropEvent(QDropEvent* event)
{
    const QByteArray text = EngineText::toEngine(plainTextOffered(event->mimeData()));
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    const bool fromHere = event->source() == this || event->source() == viewport();
    if (fromHere && !(event->modifiers() & Qt::ControlModifier))
        event->setDropAction(Qt::MoveAction);
    else
        event->acceptProposedAction();
    event->accept();
    // The engine no longer shows where the text would land.
    QDragLeaveEvent leave;
    QsciScintillaBase::dragLeaveEvent(&leave);

    const QPoint point = event->position().toPoint();
    qsizetype at = send(SCI_POSITIONFROMPOINT, point.x(), point.y());
    const qsizetype from = send(SCI_GETSELECTIONSTART);
    const qsizetype to = send(SCI_GETSELECTIONEND);
    const bool moving = fromHere && event->dropAction() == Qt::MoveAction;
    if (fromHere && at >= from && at <= to && (moving || (at > from && at < to))) {
        send(SCI_SETEMPTYSELECTION, at);
        return;
    }
    if (moving) {
        send(SCI_SETTARGETRANGE, from, to);
        sendText(SCI_REPLACETARGET, 0, "");
        if (at > to)
            at -= to - from;
    }
    send(SCI_SETTARGETRANGE, at, at);
    sendText(SCI_REPLACETARGET, text.size(), text.constData());
    send(SCI_SETSEL, at, at + text.size());
    send(SCI_CHOOSECARETX);
}

void ScriptEditor::cut()
{
    EngineClipboard::cut(*this);
    styleInsertions();
}

void ScriptEditor::copy() { EngineClipboard::copy(*this); }

void ScriptEditor::paste()
{
    EngineClipboard::paste(*this);
    styleInsertions();
}

void ScriptEditor::selectAll() { send(SCI_SELECTALL); }

// Unformatted text shows in the widget's font.
void ScriptEditor::changeEvent(QEvent* event)
{
    QsciScintillaBase::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        styles_.setBaseFormat(baseFormat(font(), styles_.format(StyleTable::baseStyle).color));
        defineAllStyles();
        scrollWidth_.countAll();
    }
}

void ScriptEditor::defineAllStyles()
{
    defineBaseStyle();
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        if (style != StyleTable::baseStyle && style != STYLE_DEFAULT)
            defineStyle(style, styles_.format(style));
    }
}

void ScriptEditor::defineBaseStyle()
{
    const FontChoice& base = styles_.format(StyleTable::baseStyle);
    defineStyle(STYLE_DEFAULT, base);
    send(SCI_STYLECLEARALL);
    SendScintilla(SCI_SETCARETFORE, base.color);
    SendScintilla(SCI_SETSELFORE, 1, palette().color(QPalette::HighlightedText));
    SendScintilla(SCI_SETSELBACK, 1, palette().color(QPalette::Highlight));
}

void ScriptEditor::defineStyle(int style, const FontChoice& format)
{
    sendText(SCI_STYLESETFONT, style, format.name.toUtf8().constData());
    send(SCI_STYLESETSIZEFRACTIONAL, style, qRound(format.size * 100));
    send(SCI_STYLESETBOLD, style, format.bold ? 1 : 0);
    send(SCI_STYLESETITALIC, style, format.italic ? 1 : 0);
    SendScintilla(SCI_STYLESETFORE, style, format.color);
    SendScintilla(SCI_STYLESETBACK, style, palette().color(QPalette::Base));
    decorations_.stylesChanged();
}

const FontChoice& ScriptEditor::styleFormat(int style) const { return styles_.format(style); }

void ScriptEditor::paintEvent(QPaintEvent* event)
{
    QsciScintillaBase::paintEvent(event);
    QPainter painter(viewport());
    decorations_.paint(painter, event->rect());
}

QByteArrayView ScriptEditor::engineText() const
{
    const auto* text = static_cast<const char*>(SendScintillaPtrResult(SCI_GETCHARACTERPOINTER));
    return {text, send(SCI_GETLENGTH)};
}

qsizetype ScriptEditor::positionOfOffset(qsizetype offset) const
{
    const qsizetype line = send(SCI_LINEFROMPOSITION, offset);
    const qsizetype lineStart = send(SCI_POSITIONFROMLINE, line);
    return send(SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16)
           + send(SCI_COUNTCODEUNITS, lineStart, offset);
}

qsizetype ScriptEditor::offsetOfPosition(qsizetype position) const
{
    if (position <= 0)
        return 0;
    const qsizetype line = send(SCI_LINEFROMINDEXPOSITION, position, SC_LINECHARACTERINDEX_UTF16);
    const qsizetype lineStart = send(SCI_POSITIONFROMLINE, line);
    const qsizetype rest =
        position - send(SCI_INDEXPOSITIONFROMLINE, line, SC_LINECHARACTERINDEX_UTF16);
    if (rest <= 0)
        return lineStart;
    const qsizetype offset = send(SCI_POSITIONRELATIVECODEUNITS, lineStart, rest);
    if (offset > 0)
        return offset;
    // The engine answers 0 past the end of the text, and between the two
    // halves of a surrogate pair, which here stands for the character's start.
    if (position >= endPosition())
        return send(SCI_GETLENGTH);
    return send(SCI_POSITIONRELATIVECODEUNITS, lineStart, rest - 1);
}

int ScriptEditor::endPosition() const { return int(positionOfOffset(send(SCI_GETLENGTH))); }

void ScriptEditor::ensureCaretVisible() { send(SCI_SCROLLCARET); }

void ScriptEditor::ensureSelectionVisible()
{
    send(SCI_SCROLLRANGE, send(SCI_GETSELECTIONEND), send(SCI_GETSELECTIONSTART));
}

QRect ScriptEditor::caretRect() const
{
    const qsizetype caret = send(SCI_GETCURRENTPOS);
    const int x = int(send(SCI_POINTXFROMPOSITION, 0, caret));
    const int y = int(send(SCI_POINTYFROMPOSITION, 0, caret));
    return {x, y, 1, int(send(SCI_TEXTHEIGHT, send(SCI_LINEFROMPOSITION, caret)))};
}

QString ScriptEditor::documentText() const { return EngineText::toEditor(engineText()); }

qsizetype ScriptEditor::documentTextLength() const
{
    // Each line break is CR LF in the text, one position in the editor.
    return endPosition() + send(SCI_GETLINECOUNT) - 1;
}

void ScriptEditor::readDocumentText(const std::function<void(QStringView)>& onPiece) const
{
    EngineText::forEachEditorPiece(engineText(), onPiece);
}

void ScriptEditor::setDocumentText(const QString& text)
{
    setDocumentText(EngineText::engineSizeOf(text),
                    [&text](const auto& onPiece) { onPiece(QStringView(text)); });
}

void ScriptEditor::setDocumentText(qsizetype sizeHint, const TextPieces& pieces)
{
    loading_ = true;
    send(SCI_CLEARALL);
    insertions_.clear();
    styles_.clear();
    defineBaseStyle();
    chosenCaretStyle_.reset();
    // Room for the whole text at once: growing step by step would copy the
    // buffer over and over.
    send(SCI_ALLOCATE, sizeHint + 1);
    EngineText::EngineWriter writer(
        [this](QByteArrayView piece) { sendText(SCI_APPENDTEXT, piece.size(), piece.data()); });
    pieces([&writer](QStringView piece) { writer.write(piece); });
    writer.flush();
    send(SCI_GOTOPOS, 0);
    send(SCI_CHOOSECARETX);
    send(SCI_SETXOFFSET, 0);
    scrollWidth_.countAll();
    loading_ = false;
    modified_ = false;
}

bool ScriptEditor::isModified() const { return modified_; }

void ScriptEditor::setModified(bool modified) { modified_ = modified; }

QString ScriptEditor::controlFontName() const { return styles_.format(StyleTable::baseStyle).name; }

int ScriptEditor::selectionStart() const
{
    return int(positionOfOffset(send(SCI_GETSELECTIONSTART)));
}

void ScriptEditor::setSelectionStart(int position)
{
    send(SCI_GOTOPOS, offsetOfPosition(std::clamp(position, 0, endPosition())));
    // Up and Down go on from the caret's column, not from the last one a key chose.
    send(SCI_CHOOSECARETX);
}

int ScriptEditor::selectionLength() const
{
    return int(positionOfOffset(send(SCI_GETSELECTIONEND))
               - positionOfOffset(send(SCI_GETSELECTIONSTART)));
}

void ScriptEditor::setSelectionLength(int length)
{
    const int start = selectionStart();
    const qint64 end = std::min<qint64>(qint64(start) + std::max(length, 0), endPosition());
    send(SCI_SETSEL, offsetOfPosition(start), offsetOfPosition(end));
    send(SCI_CHOOSECARETX);
}

QString ScriptEditor::selectedText() const
{
    const qsizetype from = send(SCI_GETSELECTIONSTART);
    return EngineText::toEditor(engineText().sliced(from, send(SCI_GETSELECTIONEND) - from));
}

void ScriptEditor::setSelectedText(const QString& text)
{
    const QByteArray bytes = EngineText::toEngine(text);
    send(SCI_TARGETFROMSELECTION);
    const qsizetype at = send(SCI_GETTARGETSTART);
    sendText(SCI_REPLACETARGET, bytes.size(), bytes.constData());
    styleInsertions();
    send(SCI_GOTOPOS, at + bytes.size());
    send(SCI_CHOOSECARETX);
}

void ScriptEditor::onModified(int offset, int type, const char* text, int length)
{
    if (loading_ || length <= 0)
        return;
    modified_ = true;
    if (type & SC_MOD_INSERTCHECK) {
        insertions_.push_back({offset, length, styleForInsertionAt(offset)});
        scrollWidth_.inserting(offset, text ? std::count(text, text + length, '\n') : 0);
        return;
    }
    scrollWidth_.deleting(offset, length);
    // A deletion in the same command as an insertion (a moving drop) moves it.
    for (Insertion& insertion : insertions_) {
        if (insertion.offset >= offset + length)
            insertion.offset -= length;
        else if (insertion.offset > offset)
            insertion.offset = offset;
    }
}

// The engine hands out a style as a signed char.
int ScriptEditor::styleAt(qsizetype offset) const
{
    return int(send(SCI_GETSTYLEAT, offset)) & 0xFF;
}

// The style of text inserted at offset: the one chosen for the caret, else
// that of the character before, or after it at the start of a line, as a
// plain text field does.
int ScriptEditor::styleForInsertionAt(qsizetype offset) const
{
    if (chosenCaretStyle_ && caretStyleAt_ == offset)
        return *chosenCaretStyle_;
    return styleAround(offset);
}

int ScriptEditor::styleAround(qsizetype offset) const
{
    const bool atLineStart = offset == 0 || send(SCI_GETCHARAT, offset - 1) == '\n';
    if (!atLineStart)
        return styleAt(offset - 1);
    if (offset < send(SCI_GETLENGTH) && send(SCI_GETCHARAT, offset) != '\n')
        return styleAt(offset);
    return offset > 0 ? styleAt(offset - 1) : StyleTable::baseStyle;
}

int ScriptEditor::caretStyle() const { return styleForInsertionAt(send(SCI_GETCURRENTPOS)); }

// Inserted text comes in with the base style; it takes the style chosen when
// the insertion was announced.
// Also measures the lines that changed, for the horizontal scroll bar.
void ScriptEditor::styleInsertions()
{
    const std::vector<Insertion> insertions = std::exchange(insertions_, {});
    for (const Insertion& insertion : insertions) {
        if (insertion.style != StyleTable::baseStyle)
            setStyle(insertion.offset, insertion.length, insertion.style);
        if (chosenCaretStyle_ && caretStyleAt_ == insertion.offset)
            caretStyleAt_ = insertion.offset + insertion.length;
        scrollWidth_.inserted(send(SCI_LINEFROMPOSITION, insertion.offset),
                              send(SCI_LINEFROMPOSITION, insertion.offset + insertion.length));
    }
    scrollWidth_.settle();
}

void ScriptEditor::setStyle(qsizetype offset, qsizetype length, int style)
{
    send(SCI_STARTSTYLING, offset, 0);
    send(SCI_SETSTYLING, length, style);
}

bool ScriptEditor::forEachStyleRun(
    qsizetype from, qsizetype to, const std::function<bool(int, qsizetype, qsizetype)>& onRun) const
{
    // The engine hands out text and style bytes interleaved.
    std::vector<char> styled(2 * stylePiece + 2);
    int runStyle = -1;
    qsizetype runStart = 0;
    qsizetype runEnd = 0;
    for (qsizetype at = from; at < to; at += stylePiece) {
        const qsizetype end = std::min(to, at + stylePiece);
        SendScintilla(SCI_GETSTYLEDTEXT, long(at), long(end), styled.data());
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

StyleTable::StyleSet ScriptEditor::stylesIn(qsizetype from, qsizetype to) const
{
    StyleTable::StyleSet styles;
    forEachStyleRun(from, to, [&styles](int style, qsizetype, qsizetype) {
        styles.set(size_t(style));
        return true;
    });
    return styles;
}

// The attribute shared by every selected character, std::nullopt when they
// differ, or the attribute for the text typed next when nothing is selected.
// The walk stops at the first run that differs.
template<typename Value, typename Read>
std::optional<Value> ScriptEditor::selectionAttribute(Read read) const
{
    const qsizetype from = send(SCI_GETSELECTIONSTART);
    const qsizetype to = send(SCI_GETSELECTIONEND);
    const Value atCaret = read(styles_.format(caretStyle()));
    if (from == to)
        return atCaret;
    std::optional<Value> shared;
    const bool same = forEachStyleRun(from, to, [&](int style, qsizetype, qsizetype) {
        const Value value = read(styles_.format(style));
        if (!shared)
            shared = value;
        return *shared == value;
    });
    if (!same)
        return std::nullopt;
    // Only line breaks selected: they carry the formatting at the caret.
    return shared ? shared : std::optional<Value>(atCaret);
}

std::optional<int> ScriptEditor::styleFor(const FontChoice& format,
                                          const StyleTable::StyleSet& keep)
{
    if (const auto style = styles_.find(format))
        return style;
    auto style = styles_.add(format);
    if (!style) {
        reclaimStyles(keep);
        style = styles_.add(format);
    }
    if (style)
        defineStyle(*style, format);
    return style;
}

void ScriptEditor::reclaimStyles(const StyleTable::StyleSet& keep)
{
    StyleTable::StyleSet used = keep | stylesIn(0, send(SCI_GETLENGTH));
    if (chosenCaretStyle_)
        used.set(size_t(*chosenCaretStyle_));
    const FontChoice& base = styles_.format(StyleTable::baseStyle);
    // A freed style shows the base format again, so that it no longer adds
    // to the height of every line.
    for (const int style : styles_.keepOnly(used))
        defineStyle(style, base);
}

// Changes the formatting of the selection, or with nothing selected that of
// the text typed next, as change says. Changes nothing when the selection
// holds only line breaks, or when the engine has no style left for a
// combination the change needs.
EditorControl::FormatResult
ScriptEditor::changeSelectionFormat(const std::function<void(FontChoice&)>& change)
{
    const qsizetype from = send(SCI_GETSELECTIONSTART);
    const qsizetype to = send(SCI_GETSELECTIONEND);
    if (from == to) {
        FontChoice format = styles_.format(caretStyle());
        change(format);
        const auto style = styleFor(format, {});
        if (!style)
            return FormatResult::NoRoom;
        chosenCaretStyle_ = style;
        caretStyleAt_ = send(SCI_GETCURRENTPOS);
        return FormatResult::Written;
    }
    const StyleTable::StyleSet present = stylesIn(from, to);
    if (present.none())
        return FormatResult::NothingToFormat;
    StyleTable::StyleSet keep = present;
    std::array<int, StyleTable::styleCount> target{};
    for (int style = 0; style < StyleTable::styleCount; ++style) {
        if (!present.test(size_t(style)))
            continue;
        FontChoice format = styles_.format(style);
        change(format);
        const auto changed = styleFor(format, keep);
        if (!changed)
            return FormatResult::NoRoom;
        target[size_t(style)] = *changed;
        keep.set(size_t(*changed));
    }
    forEachStyleRun(from, to, [&](int style, qsizetype offset, qsizetype length) {
        if (target[size_t(style)] != style)
            setStyle(offset, length, target[size_t(style)]);
        return true;
    });
    scrollWidth_.reformatted(send(SCI_LINEFROMPOSITION, from), send(SCI_LINEFROMPOSITION, to));
    scrollWidth_.settle();
    return FormatResult::Written;
}

std::optional<QString> ScriptEditor::selectionFontName() const
{
    return selectionAttribute<QString>([](const FontChoice& f) { return f.name; });
}

EditorControl::FormatResult ScriptEditor::setSelectionFontName(const QString& name)
{
    return changeSelectionFormat([&name](FontChoice& f) { f.name = name; });
}

std::optional<float> ScriptEditor::selectionFontSize() const
{
    return selectionAttribute<float>([](const FontChoice& f) { return f.size; });
}

EditorControl::FormatResult ScriptEditor::setSelectionFontSize(float points)
{
    return changeSelectionFormat([points](FontChoice& f) { f.size = points; });
}

std::optional<bool> ScriptEditor::selectionBold() const
{
    return selectionAttribute<bool>([](const FontChoice& f) { return f.bold; });
}

EditorControl::FormatResult ScriptEditor::setSelectionBold(bool on)
{
    return changeSelectionFormat([on](FontChoice& f) { f.bold = on; });
}

std::optional<bool> ScriptEditor::selectionItalic() const
{
    return selectionAttribute<bool>([](const FontChoice& f) { return f.italic; });
}

EditorControl::FormatResult ScriptEditor::setSelectionItalic(bool on)
{
    return changeSelectionFormat([on](FontChoice& f) { f.italic = on; });
}

std::optional<bool> ScriptEditor::selectionStrikeout() const
{
    return selectionAttribute<bool>([](const FontChoice& f) { return f.strikeout; });
}

EditorControl::FormatResult ScriptEditor::setSelectionStrikeout(bool on)
{
    return changeSelectionFormat([on](FontChoice& f) { f.strikeout = on; });
}

std::optional<bool> ScriptEditor::selectionUnderline() const
{
    return selectionAttribute<bool>([](const FontChoice& f) { return f.underline; });
}

EditorControl::FormatResult ScriptEditor::setSelectionUnderline(bool on)
{
    return changeSelectionFormat([on](FontChoice& f) { f.underline = on; });
}

std::optional<QColor> ScriptEditor::selectionColor() const
{
    return selectionAttribute<QColor>([](const FontChoice& f) { return f.color; });
}

EditorControl::FormatResult ScriptEditor::setSelectionColor(const QColor& color)
{
    const QColor opaque = QColor::fromRgb(color.rgb());
    return changeSelectionFormat([&opaque](FontChoice& f) { f.color = opaque; });
}

EditorControl::FormatResult ScriptEditor::setSelectionFont(const FontChoice& font)
{
    return changeSelectionFormat([&font](FontChoice& f) {
        const float size = f.size;
        f = font;
        f.color = QColor::fromRgb(font.color.rgb());
        if (font.size <= 0)
            f.size = size;
    });
}

FontChoice ScriptEditor::firstSelectedCharacterFont() const
{
    int style = caretStyle();
    forEachStyleRun(send(SCI_GETSELECTIONSTART), send(SCI_GETSELECTIONEND),
                    [&style](int run, qsizetype, qsizetype) {
                        style = run;
                        return false;
                    });
    return styles_.format(style);
}

void ScriptEditor::updateCaretBlink()
{
    const qsizetype line = send(SCI_LINEFROMPOSITION, send(SCI_GETCURRENTPOS));
    const bool blinks = send(SCI_LINELENGTH, line) <= longLineBytes;
    if (blinks == caretBlinks_)
        return;
    caretBlinks_ = blinks;
    send(SCI_SETCARETPERIOD, blinks ? blinkPeriod_ : 0);
}
