#include "editor/ScriptEditor.h"

#include "editor/AccessibleScriptEditor.h"
#include "editor/EngineClipboard.h"
#include "editor/EngineText.h"
#include "editor/PlainTextMime.h"
#include "editor/ScriptKeys.h"
#include "platform/LineBreaks.h"

#include <QAccessible>
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
    , formatter_(engine_,
                 baseFormat(QFontDatabase::systemFont(QFontDatabase::FixedFont),
                            palette().color(QPalette::Text)),
                 scrollWidth_, decorations_)
{
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The sunken frame of a text field, and the corner between the scroll
    // bars painted as the window is, not left black.
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAutoFillBackground(true);
    engine_.setUp();
    formatter_.defineBaseStyle();
    blinkPeriod_ = engine_.caretPeriod();
    useScriptKeys(engine_);

    // Qt asks the factory installed last first: this one has to come after
    // the engine's own, which the engine installs when its first widget is made.
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);

    connect(
        this, &QsciScintillaBase::SCN_MODIFIED, this,
        [this](int position, int type, const char* text, int length, int, int, int, int, int, int) {
            accessibility_.changing(position, type, length);
            onModified(position, type, text, length);
        });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int updated) {
        accessibility_.viewUpdated(updated);
        updateCaretBlink();
    });
    connect(this, &QsciScintillaBase::SCN_ZOOM, this, [this] {
        decorations_.stylesChanged();
        scrollWidth_.countAll();
    });
}

QAccessibleInterface* ScriptEditor::accessibleFor(const QString& className, QObject* object)
{
    if (className != QLatin1StringView(staticMetaObject.className()))
        return nullptr;
    auto* editor = qobject_cast<ScriptEditor*>(object);
    return editor ? new AccessibleScriptEditor(editor->engine_, *editor, editor->formatter_)
                  : nullptr;
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
    formatter_.styleInsertions();
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
    formatter_.styleInsertions();
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
    formatter_.styleInsertions();
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
    formatter_.styleInsertions();
}

void ScriptEditor::copy() { EngineClipboard::copy(engine_); }

void ScriptEditor::paste()
{
    EngineClipboard::paste(engine_);
    formatter_.styleInsertions();
}

void ScriptEditor::selectAll() { engine_.selectAll(); }

// Unformatted text shows in the widget's font.
void ScriptEditor::changeEvent(QEvent* event)
{
    QsciScintillaBase::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        formatter_.setBaseFormat(baseFormat(font(), formatter_.baseFormat().color));
        scrollWidth_.countAll();
    }
}

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

std::optional<EditorControl::Range> ScriptEditor::find(QStringView what, int from) const
{
    const QByteArray needle = LineBreaks::withLineBreaks(what, u"\n").toUtf8();
    const qsizetype position = std::clamp(from, 0, endPosition());
    qsizetype offset = engine_.offsetOfPosition(position);
    // No match starts inside the character that holds the position.
    if (engine_.positionOfOffset(offset) < position)
        offset = engine_.offsetAfter(offset);
    const auto found = engine_.find(needle, offset);
    if (!found)
        return std::nullopt;
    const qsizetype start = engine_.positionOfOffset(*found);
    return Range{int(start), int(engine_.positionOfOffset(*found + needle.size()) - start)};
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

QByteArrayView ScriptEditor::documentUtf8() const { return engine_.text(); }

void ScriptEditor::setDocumentText(const QString& text)
{
    const QByteArray bytes = EngineText::toEngine(text);
    loadDocument(bytes.size(), [&bytes](const auto& onPiece) {
        onPiece(bytes);
        return true;
    });
}

bool ScriptEditor::loadDocument(qsizetype size, const Utf8Pieces& pieces)
{
    // Filled away from the view: the document on screen stays as it is
    // until the new one is whole.
    Engine::NewDocument document = engine_.newDocument(size);
    bool taken = document.isValid();
    const bool whole =
        pieces([&](QByteArrayView piece) { taken = taken && document.append(piece); });
    if (!whole || !taken)
        return false;
    formatter_.clear();
    engine_.adopt(std::move(document));
    engine_.goTo(0);
    engine_.chooseCaretX();
    engine_.setXOffset(0);
    scrollWidth_.countAll();
    modified_ = false;
    return true;
}

bool ScriptEditor::isModified() const { return modified_; }

void ScriptEditor::setModified(bool modified) { modified_ = modified; }

QString ScriptEditor::controlFontName() const { return formatter_.baseFormat().name; }

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
    formatter_.styleInsertions();
    engine_.goTo(at + bytes.size());
    engine_.chooseCaretX();
}

void ScriptEditor::onModified(int offset, int type, const char* text, int length)
{
    if (length <= 0)
        return;
    modified_ = true;
    if (Engine::announcesInsertion(type)) {
        formatter_.inserting(offset, length);
        scrollWidth_.inserting(offset, text ? std::count(text, text + length, '\n') : 0);
        if (text)
            engine_.inserting(offset, QByteArrayView(text, length));
        else
            engine_.textReplaced();
        return;
    }
    scrollWidth_.deleting(offset, length);
    formatter_.deleting(offset, length);
    engine_.deleting(offset, length);
}

SelectionFormat ScriptEditor::selectionFormat() const { return formatter_.selectionFormat(); }

EditorControl::FormatResult ScriptEditor::changeSelectionFormat(const SelectionFormat& change)
{
    return formatter_.changeSelectionFormat(change);
}

FontChoice ScriptEditor::firstSelectedCharacterFont() const
{
    return formatter_.firstSelectedCharacterFont();
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
