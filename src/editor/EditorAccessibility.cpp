#include "editor/EditorAccessibility.h"

#include "editor/EngineText.h"

#include "editor/ScriptEditor.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <utility>

namespace {

using Sci = QsciScintillaBase;

// Words, sentences and runs of one format are looked for this many bytes
// around a position at most, so that a question about a very long line
// reads only a part of it.
constexpr qsizetype lookAround = 4096;

// Follows QAccessible::setActive(), which the platform calls when a screen
// reader comes or goes, and which a test calls to listen without one.
class ActivityWatch final : public QAccessible::ActivationObserver {
public:
    ActivityWatch()
        : active_(QAccessible::isActive())
    {
        QAccessible::installActivationObserver(this);
    }
    ~ActivityWatch() override { QAccessible::removeActivationObserver(this); }
    ActivityWatch(const ActivityWatch&) = delete;
    ActivityWatch& operator=(const ActivityWatch&) = delete;

    void accessibilityActiveChanged(bool active) override { active_ = active; }
    bool active() const { return active_; }

private:
    bool active_;
};

EditorAccessibility::Listener listener = nullptr;

ActivityWatch& activityWatch()
{
    static ActivityWatch watch;
    return watch;
}

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className != QLatin1StringView(ScriptEditor::staticMetaObject.className()))
        return nullptr;
    auto* editor = qobject_cast<ScriptEditor*>(object);
    return editor ? new AccessibleScriptEditor(editor) : nullptr;
}

bool isContinuationByte(long byte) { return (byte & 0xC0) == 0x80; }

// A colour the engine hands out (0xBBGGRR) as text attributes write it.
QString rgb(long colour)
{
    return QStringLiteral("rgb(%1,%2,%3)")
        .arg(colour & 0xFF)
        .arg((colour >> 8) & 0xFF)
        .arg((colour >> 16) & 0xFF);
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

AccessibleScriptEditor::AccessibleScriptEditor(ScriptEditor* editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

ScriptEditor* AccessibleScriptEditor::editor() const
{
    return static_cast<ScriptEditor*>(widget());
}

long AccessibleScriptEditor::send(unsigned int message, qsizetype wParam, qsizetype lParam) const
{
    return editor()->SendScintilla(message, static_cast<unsigned long>(wParam),
                                   static_cast<long>(lParam));
}

QAccessible::State AccessibleScriptEditor::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.selectableText = true;
    state.multiLine = true;
    if (send(Sci::SCI_GETREADONLY) != 0)
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
    const qsizetype offset = editor()->offsetOfPosition(clamped);
    // Between the two units of a character beyond U+FFFF the editor finds
    // the character's start; rounded up, its end.
    if (round == Round::Up && editor()->positionOfOffset(offset) < clamped)
        return editor()->SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER,
                                       static_cast<unsigned long>(offset));
    return offset;
}

int AccessibleScriptEditor::position(qsizetype engineOffset) const
{
    return int(editor()->positionOfOffset(engineOffset));
}

QString AccessibleScriptEditor::engineRange(qsizetype from, qsizetype to) const
{
    return EngineText::textBetween(*editor(), from, to);
}

int AccessibleScriptEditor::characterCount() const { return editor()->endPosition(); }

QString AccessibleScriptEditor::text(int startOffset, int endOffset) const
{
    // An end of -1 stands for the end of the text.
    if (endOffset < 0)
        endOffset = characterCount();
    return engineRange(engineOffset(startOffset, Round::Down), engineOffset(endOffset, Round::Up));
}

int AccessibleScriptEditor::cursorPosition() const
{
    return position(send(Sci::SCI_GETCURRENTPOS));
}

void AccessibleScriptEditor::setCursorPosition(int position)
{
    editor()->setSelectionStart(this->position(engineOffset(position)));
}

int AccessibleScriptEditor::selectionCount() const
{
    return send(Sci::SCI_GETSELECTIONSTART) == send(Sci::SCI_GETSELECTIONEND) ? 0 : 1;
}

void AccessibleScriptEditor::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || selectionCount() == 0)
        return;
    *startOffset = position(send(Sci::SCI_GETSELECTIONSTART));
    *endOffset = position(send(Sci::SCI_GETSELECTIONEND));
}

void AccessibleScriptEditor::selectRange(int startOffset, int endOffset)
{
    const int start = position(engineOffset(std::min(startOffset, endOffset), Round::Down));
    const int end = position(engineOffset(std::max(startOffset, endOffset), Round::Up));
    editor()->setSelectionStart(start);
    editor()->setSelectionLength(end - start);
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
        editor()->setSelectionStart(cursorPosition());
}

std::optional<AccessibleScriptEditor::Span>
AccessibleScriptEditor::spanAt(int position, QAccessible::TextBoundaryType boundaryType) const
{
    switch (boundaryType) {
    case QAccessible::CharBoundary: {
        if (position >= characterCount())
            return std::nullopt;
        const qsizetype from = engineOffset(position);
        return Span{this->position(from), this->position(send(Sci::SCI_POSITIONAFTER, from))};
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
    const qsizetype line = send(Sci::SCI_LINEFROMPOSITION, offset);
    const qsizetype end = line + 1 < send(Sci::SCI_GETLINECOUNT)
                              ? send(Sci::SCI_POSITIONFROMLINE, line + 1)
                              : send(Sci::SCI_GETLENGTH);
    return Span{position(send(Sci::SCI_POSITIONFROMLINE, line)), position(end)};
}

// A word or sentence, or the stretch between two of them, as Qt's plain text
// field finds it within the line; a line break stands alone. A word there
// runs between blanks and ASCII punctuation, so "5€" and "“quoted”" are one
// word each, not a word and a symbol glued to the blank after it.
std::optional<AccessibleScriptEditor::Span>
AccessibleScriptEditor::textItemAt(qsizetype offset, QTextBoundaryFinder::BoundaryType type) const
{
    const qsizetype line = send(Sci::SCI_LINEFROMPOSITION, offset);
    const qsizetype lineEnd = send(Sci::SCI_GETLINEENDPOSITION, line);
    if (offset >= lineEnd) {
        if (offset >= send(Sci::SCI_GETLENGTH))
            return std::nullopt;
        const int at = position(offset);
        return Span{at, at + 1};
    }
    const auto characterStart = [this](qsizetype at) {
        while (isContinuationByte(send(Sci::SCI_GETCHARAT, at)))
            --at;
        return at;
    };
    const qsizetype from = characterStart(
        std::max<qsizetype>(send(Sci::SCI_POSITIONFROMLINE, line), offset - lookAround));
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
    const int x = int(send(Sci::SCI_POINTXFROMPOSITION, 0, at));
    const int y = int(send(Sci::SCI_POINTYFROMPOSITION, 0, at));
    const qsizetype line = send(Sci::SCI_LINEFROMPOSITION, at);
    // A line break is as wide as a space.
    const int width =
        at < send(Sci::SCI_GETLINEENDPOSITION, line)
            ? int(send(Sci::SCI_POINTXFROMPOSITION, 0, send(Sci::SCI_POSITIONAFTER, at))) - x
            : int(editor()->SendScintilla(Sci::SCI_TEXTWIDTH, uintptr_t(Sci::STYLE_DEFAULT), " "));
    const int height = int(send(Sci::SCI_TEXTHEIGHT, line));
    return {editor()->viewport()->mapToGlobal(QPoint(x, y)), QSize(std::max(width, 1), height)};
}

int AccessibleScriptEditor::offsetAtPoint(const QPoint& point) const
{
    const QPoint inViewport = editor()->viewport()->mapFromGlobal(point);
    const long at = send(Sci::SCI_CHARPOSITIONFROMPOINTCLOSE, inViewport.x(), inViewport.y());
    return at < 0 ? -1 : position(at);
}

void AccessibleScriptEditor::scrollToSubstring(int startIndex, int endIndex)
{
    send(Sci::SCI_SCROLLRANGE, engineOffset(endIndex, Round::Up), engineOffset(startIndex));
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
    const auto formatAt = [this](qsizetype byte) {
        return int(send(Sci::SCI_GETSTYLEAT, byte) & 0xFF);
    };
    const int style = formatAt(at);
    const qsizetype line = send(Sci::SCI_LINEFROMPOSITION, at);
    const qsizetype lineEnd = send(Sci::SCI_GETLINEENDPOSITION, line);
    qsizetype from = at;
    qsizetype to = at + 1;
    if (at < lineEnd) {
        const qsizetype first =
            std::max<qsizetype>(send(Sci::SCI_POSITIONFROMLINE, line), at - lookAround);
        while (from > first && formatAt(from - 1) == style)
            --from;
        const qsizetype last = std::min<qsizetype>(lineEnd, at + lookAround);
        while (to < last && formatAt(to) == style)
            ++to;
        while (isContinuationByte(send(Sci::SCI_GETCHARAT, from)))
            --from;
        while (to < lineEnd && isContinuationByte(send(Sci::SCI_GETCHARAT, to)))
            ++to;
    }
    *startOffset = position(from);
    *endOffset = position(to);

    const FontChoice& format = editor()->styleFormat(style);
    QByteArray family(int(send(Sci::SCI_STYLEGETFONT, style)) + 1, '\0');
    editor()->SendScintilla(Sci::SCI_STYLEGETFONT, static_cast<unsigned long>(style),
                            static_cast<void*>(family.data()));
    QString attributes;
    addAttribute(attributes, u"font-family", quotedFamily(QString::fromUtf8(family.constData())));
    addAttribute(attributes, u"font-size",
                 QString::number(double(send(Sci::SCI_STYLEGETSIZEFRACTIONAL, style)) / 100)
                     + QStringLiteral("pt"));
    addAttribute(attributes, u"font-weight",
                 send(Sci::SCI_STYLEGETBOLD, style) != 0 ? QStringLiteral("bold")
                                                         : QStringLiteral("normal"));
    addAttribute(attributes, u"font-style",
                 send(Sci::SCI_STYLEGETITALIC, style) != 0 ? QStringLiteral("italic")
                                                           : QStringLiteral("normal"));
    if (format.underline) {
        addAttribute(attributes, u"text-underline-style", QStringLiteral("solid"));
        addAttribute(attributes, u"text-underline-type", QStringLiteral("single"));
    }
    if (format.strikeout)
        addAttribute(attributes, u"text-line-through-type", QStringLiteral("single"));
    addAttribute(attributes, u"color", rgb(send(Sci::SCI_STYLEGETFORE, style)));
    addAttribute(attributes, u"background-color", rgb(send(Sci::SCI_STYLEGETBACK, style)));
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
    editor()->setSelectedText(text);
}

EditorAccessibility::EditorAccessibility(ScriptEditor& editor)
    : editor_(editor)
{
    // Qt asks the factory installed last first.
    static const bool installed = [] {
        activityWatch();
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
    modified_ = QObject::connect(&editor, &QsciScintillaBase::SCN_MODIFIED,
                                 [this](int offset, int type, const char*, int length, int, int,
                                        int, int, int, int) { onModified(offset, type, length); });
    updated_ = QObject::connect(&editor, &QsciScintillaBase::SCN_UPDATEUI,
                                [this](int updated) { onUpdateUi(updated); });
}

EditorAccessibility::~EditorAccessibility()
{
    QObject::disconnect(modified_);
    QObject::disconnect(updated_);
}

bool EditorAccessibility::active() { return activityWatch().active() || QAccessible::isActive(); }

void EditorAccessibility::setListener(Listener listener) { ::listener = listener; }

void EditorAccessibility::tell(QAccessibleEvent* event)
{
    if (listener)
        listener(event);
    else
        QAccessible::updateAccessibility(event);
}

// The editor hears of an insertion or a deletion only before it happens
// (SC_MOD_INSERTCHECK, SC_MOD_BEFOREDELETE).
void EditorAccessibility::onModified(int offset, int type, int length)
{
    if (!active()) {
        change_.reset();
        return;
    }
    const bool inserts = (type & Sci::SC_MOD_INSERTCHECK) != 0;
    if (length <= 0 || (!inserts && (type & Sci::SC_MOD_BEFOREDELETE) == 0))
        return;
    tellChange();
    // The text before the change stays as it is, and so does the position.
    change_ = Change{
        .offset = offset,
        .position = int(editor_.positionOfOffset(offset)),
        .inserted = inserts ? length : 0,
        .removed = inserts ? QString() : EngineText::textBetween(editor_, offset, offset + length)};
    if (!changeQueued_) {
        changeQueued_ = true;
        QMetaObject::invokeMethod(
            &editor_,
            [this] {
                changeQueued_ = false;
                tellChange();
            },
            Qt::QueuedConnection);
    }
}

// Nothing changed since the change was announced but the change itself.
void EditorAccessibility::tellChange()
{
    if (!change_)
        return;
    const Change change = *std::exchange(change_, std::nullopt);
    if (change.inserted == 0) {
        QAccessibleTextRemoveEvent event(&editor_, change.position, change.removed);
        tell(&event);
        return;
    }
    const qsizetype end = std::min<qsizetype>(change.offset + change.inserted,
                                              editor_.SendScintilla(Sci::SCI_GETLENGTH));
    QAccessibleTextInsertEvent event(&editor_, change.position,
                                     EngineText::textBetween(editor_, change.offset, end));
    tell(&event);
}

void EditorAccessibility::onUpdateUi(int updated)
{
    if ((updated & (Sci::SC_UPDATE_CONTENT | Sci::SC_UPDATE_SELECTION)) == 0)
        return;
    if (!active()) {
        caret_ = selectionStart_ = selectionEnd_ = -1;
        return;
    }
    tellChange();
    const int caret = int(editor_.positionOfOffset(editor_.SendScintilla(Sci::SCI_GETCURRENTPOS)));
    const int anchor = int(editor_.positionOfOffset(editor_.SendScintilla(Sci::SCI_GETANCHOR)));
    const int start = std::min(caret, anchor);
    const int end = std::max(caret, anchor);
    if (start != selectionStart_ || end != selectionEnd_) {
        // A caret that moves selects nothing: the cursor event tells it.
        const bool wasEmpty = selectionStart_ == selectionEnd_;
        selectionStart_ = start;
        selectionEnd_ = end;
        if (start != end || !wasEmpty) {
            QAccessibleTextSelectionEvent event(&editor_, start, end);
            tell(&event);
        }
    }
    if (caret != caret_) {
        caret_ = caret;
        QAccessibleTextCursorEvent event(&editor_, caret);
        tell(&event);
    }
}
