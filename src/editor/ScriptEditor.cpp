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

// Past this many bytes a line takes long to lay out, and the caret's blink
// would lay it out again on every tick: on such a line the caret stays lit.
constexpr long longLineBytes = 200'000;

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
    engine_.setUp();
    defineBaseStyle();
    blinkPeriod_ = engine_.caretPeriod();
    useScriptKeys(engine_);

    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int position, int type, const char* text, int length, int, int, int, int, int,
                   int) { onModified(position, type, text, length); });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { updateCaretBlink(); });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        decorations_.stylesChanged();
        scrollWidth_.countAll();
    });
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
    event->setAccepted(answerScriptKey(engine_, *event));
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
    engine_.setEmptySelection(engine_.offsetAtPoint(at));
    EngineClipboard::paste(engine_, QClipboard::Selection);
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
    qsizetype at = engine_.offsetAtPoint(point);
    const qsizetype from = engine_.selectionStart();
    const qsizetype to = engine_.selectionEnd();
    const bool moving = fromHere && event->dropAction() == Qt::MoveAction;
    if (fromHere && at >= from && at <= to && (moving || (at > from && at < to))) {
        engine_.setEmptySelection(at);
        return;
    }
    if (moving) {
        engine_.setTargetRange(from, to);
        engine_.replaceTarget({});
        if (at > to)
            at -= to - from;
    }
    engine_.setTargetRange(at, at);
    engine_.replaceTarget(text);
    engine_.setSelection(at, at + text.size());
    engine_.chooseCaretX();
}

void ScriptEditor::cut()
{
    EngineClipboard::cut(engine_);
    styleInsertions();
}

void ScriptEditor::copy() { EngineClipboard::copy(engine_); }

void ScriptEditor::paste()
{
    EngineClipboard::paste(engine_);
    styleInsertions();
}

void ScriptEditor::selectAll() { engine_.selectAll(); }

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
        if (style != StyleTable::baseStyle && style != Engine::defaultStyle)
            defineStyle(style, styles_.format(style));
    }
}

void ScriptEditor::defineBaseStyle()
{
    const FontChoice& base = styles_.format(StyleTable::baseStyle);
    defineStyle(Engine::defaultStyle, base);
    engine_.resetStyles();
    engine_.setCaretColor(base.color);
    engine_.setSelectionColors(palette().color(QPalette::HighlightedText),
                               palette().color(QPalette::Highlight));
}

void ScriptEditor::defineStyle(int style, const FontChoice& format)
{
    engine_.defineStyle(style, format, palette().color(QPalette::Base));
    decorations_.stylesChanged();
}

const FontChoice& ScriptEditor::styleFormat(int style) const { return styles_.format(style); }

void ScriptEditor::paintEvent(QPaintEvent* event)
{
    QsciScintillaBase::paintEvent(event);
    QPainter painter(viewport());
    decorations_.paint(painter, event->rect());
}

QByteArrayView ScriptEditor::engineText() const { return engine_.text(); }

qsizetype ScriptEditor::positionOfOffset(qsizetype offset) const
{
    return engine_.positionOfOffset(offset);
}

qsizetype ScriptEditor::offsetOfPosition(qsizetype position) const
{
    return engine_.offsetOfPosition(position);
}

int ScriptEditor::endPosition() const { return engine_.endPosition(); }

void ScriptEditor::ensureCaretVisible() { engine_.scrollCaret(); }

void ScriptEditor::ensureSelectionVisible()
{
    engine_.scrollRange(engine_.selectionStart(), engine_.selectionEnd());
}

QRect ScriptEditor::caretRect() const
{
    const qsizetype caret = engine_.caret();
    return {engine_.xOfOffset(caret), engine_.yOfOffset(caret), 1,
            engine_.lineHeight(engine_.lineFromOffset(caret))};
}

QString ScriptEditor::documentText() const { return EngineText::toEditor(engineText()); }

qsizetype ScriptEditor::documentTextLength() const
{
    // Each line break is CR LF in the text, one position in the editor.
    return endPosition() + engine_.lineCount() - 1;
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
    engine_.clearAll();
    insertions_.clear();
    styles_.clear();
    defineBaseStyle();
    chosenCaretStyle_.reset();
    // Room for the whole text at once: growing step by step would copy the
    // buffer over and over.
    engine_.allocate(sizeHint + 1);
    EngineText::EngineWriter writer([this](QByteArrayView piece) { engine_.appendText(piece); });
    pieces([&writer](QStringView piece) { writer.write(piece); });
    writer.flush();
    engine_.goTo(0);
    engine_.chooseCaretX();
    engine_.setXOffset(0);
    scrollWidth_.countAll();
    loading_ = false;
    modified_ = false;
}

bool ScriptEditor::isModified() const { return modified_; }

void ScriptEditor::setModified(bool modified) { modified_ = modified; }

QString ScriptEditor::controlFontName() const { return styles_.format(StyleTable::baseStyle).name; }

int ScriptEditor::selectionStart() const { return int(positionOfOffset(engine_.selectionStart())); }

void ScriptEditor::setSelectionStart(int position)
{
    engine_.goTo(offsetOfPosition(std::clamp(position, 0, endPosition())));
    // Up and Down go on from the caret's column, not from the last one a key chose.
    engine_.chooseCaretX();
}

int ScriptEditor::selectionLength() const
{
    return int(positionOfOffset(engine_.selectionEnd())
               - positionOfOffset(engine_.selectionStart()));
}

void ScriptEditor::setSelectionLength(int length)
{
    const int start = selectionStart();
    const qint64 end = std::min<qint64>(qint64(start) + std::max(length, 0), endPosition());
    engine_.setSelection(offsetOfPosition(start), offsetOfPosition(end));
    engine_.chooseCaretX();
}

QString ScriptEditor::selectedText() const
{
    const qsizetype from = engine_.selectionStart();
    return EngineText::toEditor(engineText().sliced(from, engine_.selectionEnd() - from));
}

void ScriptEditor::setSelectedText(const QString& text)
{
    const QByteArray bytes = EngineText::toEngine(text);
    engine_.targetFromSelection();
    const qsizetype at = engine_.targetStart();
    engine_.replaceTarget(bytes);
    styleInsertions();
    engine_.goTo(at + bytes.size());
    engine_.chooseCaretX();
}

void ScriptEditor::onModified(int offset, int type, const char* text, int length)
{
    if (loading_ || length <= 0)
        return;
    modified_ = true;
    if (Engine::announcesInsertion(type)) {
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

int ScriptEditor::styleAt(qsizetype offset) const { return engine_.styleAt(offset); }

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
    const bool atLineStart = offset == 0 || engine_.charAt(offset - 1) == '\n';
    if (!atLineStart)
        return styleAt(offset - 1);
    if (offset < engine_.length() && engine_.charAt(offset) != '\n')
        return styleAt(offset);
    return offset > 0 ? styleAt(offset - 1) : StyleTable::baseStyle;
}

int ScriptEditor::caretStyle() const { return styleForInsertionAt(engine_.caret()); }

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
        scrollWidth_.inserted(engine_.lineFromOffset(insertion.offset),
                              engine_.lineFromOffset(insertion.offset + insertion.length));
    }
    scrollWidth_.settle();
}

void ScriptEditor::setStyle(qsizetype offset, qsizetype length, int style)
{
    engine_.setStyle(offset, length, style);
}

bool ScriptEditor::forEachStyleRun(
    qsizetype from, qsizetype to, const std::function<bool(int, qsizetype, qsizetype)>& onRun) const
{
    return engine_.forEachStyleRun(from, to, onRun);
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
    const qsizetype from = engine_.selectionStart();
    const qsizetype to = engine_.selectionEnd();
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
    StyleTable::StyleSet used = keep | stylesIn(0, engine_.length());
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
    const qsizetype from = engine_.selectionStart();
    const qsizetype to = engine_.selectionEnd();
    if (from == to) {
        FontChoice format = styles_.format(caretStyle());
        change(format);
        const auto style = styleFor(format, {});
        if (!style)
            return FormatResult::NoRoom;
        chosenCaretStyle_ = style;
        caretStyleAt_ = engine_.caret();
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
    scrollWidth_.reformatted(engine_.lineFromOffset(from), engine_.lineFromOffset(to));
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
    forEachStyleRun(engine_.selectionStart(), engine_.selectionEnd(),
                    [&style](int run, qsizetype, qsizetype) {
                        style = run;
                        return false;
                    });
    return styles_.format(style);
}

void ScriptEditor::updateCaretBlink()
{
    const qsizetype line = engine_.lineFromOffset(engine_.caret());
    const bool blinks = engine_.lineLength(line) <= longLineBytes;
    if (blinks == caretBlinks_)
        return;
    caretBlinks_ = blinks;
    engine_.setCaretPeriod(blinks ? blinkPeriod_ : 0);
}
