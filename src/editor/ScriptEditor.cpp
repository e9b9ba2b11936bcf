#include "editor/ScriptEditor.h"

#include "editor/PlainTextMime.h"
#include "platform/LineBreaks.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

ScriptEditor::ScriptEditor(QWidget* parent)
    : QPlainTextEdit(parent)
{
    // Scripts are line-oriented and column-aligned: a fixed-pitch face, and no
    // wrapping. Wrapped lines would also make each key cost time in proportion
    // to the script's length (2.5 ms a key at 10 MB, 13 ms at 50 MB, against
    // about 1.2 ms unwrapped at any size).
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabStopDistance(4 * fontMetrics().horizontalAdvance(u' '));
    // Ctrl+Z is a formatting command here, so the widget's own undo could never
    // be reached; keeping its history would only cost memory on large scripts.
    setUndoRedoEnabled(false);
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
    return QPlainTextEdit::event(event);
}

QMimeData* ScriptEditor::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(withPlatformLineBreaks(selectedText()));
    return data;
}

bool ScriptEditor::canInsertFromMimeData(const QMimeData* source) const
{
    return !plainTextOffered(source).isEmpty();
}

// With no plain text on offer (nothing, or only HTML or images) the selection stays as it is.
void ScriptEditor::insertFromMimeData(const QMimeData* source)
{
    const QString text = plainTextOffered(source);
    if (!text.isEmpty())
        setSelectedText(text);
}

QString ScriptEditor::documentText() const { return withCrLfLineBreaks(document()->toRawText()); }

void ScriptEditor::setDocumentText(const QString& text)
{
    // The widget would give the new text the formatting the caret had.
    setTextCursor(QTextCursor(document()));
    setCurrentCharFormat(QTextCharFormat());
    // A scroll bar that appears once the text is in narrows the viewport, and
    // the widget then builds a layout for every line of the document: on a
    // large script that triples the memory and adds most of a second.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setPlainText(withLfLineBreaks(text));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

bool ScriptEditor::isModified() const { return document()->isModified(); }

void ScriptEditor::setModified(bool modified) { document()->setModified(modified); }

QString ScriptEditor::controlFontName() const { return font().family(); }

int ScriptEditor::endPosition() const { return document()->characterCount() - 1; }

int ScriptEditor::selectionStart() const { return textCursor().selectionStart(); }

void ScriptEditor::setSelectionStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, endPosition()));
    setTextCursor(cursor);
}

int ScriptEditor::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void ScriptEditor::setSelectionLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const qint64 end = qint64(start) + std::max(length, 0);
    cursor.setPosition(start);
    cursor.setPosition(int(std::min<qint64>(end, endPosition())), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString ScriptEditor::selectedText() const
{
    return withCrLfLineBreaks(textCursor().selectedText());
}

void ScriptEditor::setSelectedText(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(withLfLineBreaks(text));
    setTextCursor(cursor);
}

QFont ScriptEditor::fontOf(const QTextCharFormat& format) const
{
    return format.font().resolve(document()->defaultFont());
}

QColor ScriptEditor::colorOf(const QTextCharFormat& format) const
{
    const QColor color = format.hasProperty(QTextFormat::ForegroundBrush)
                             ? format.foreground().color()
                             : palette().color(QPalette::Text);
    return QColor::fromRgb(color.rgb());
}

// Calls onRun(format) for each formatting run that overlaps [from, to), in
// order, until it returns false; returns false when it did. Runs, not
// characters: a selection of a whole large script has few of them. Line
// breaks are not runs.
template<typename OnRun> bool ScriptEditor::forEachRunIn(int from, int to, OnRun onRun) const
{
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextFragment fragment = run.fragment();
            if (fragment.position() + fragment.length() <= from || fragment.position() >= to)
                continue;
            if (!onRun(fragment.charFormat()))
                return false;
        }
    }
    return true;
}

// The attribute shared by every selected character, std::nullopt when they
// differ, or the attribute for the text typed next when nothing is selected.
// The walk stops at the first run that differs.
template<typename Value, typename Read>
std::optional<Value> ScriptEditor::selectionAttribute(Read read) const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return read(cursor.charFormat());
    std::optional<Value> shared;
    const bool same = forEachRunIn(cursor.selectionStart(), cursor.selectionEnd(),
                                   [&](const QTextCharFormat& format) {
                                       const Value value = read(format);
                                       if (!shared)
                                           shared = value;
                                       return *shared == value;
                                   });
    if (!same)
        return std::nullopt;
    // Only line breaks selected: they carry the formatting at the caret.
    return shared ? shared : std::optional<Value>(read(cursor.charFormat()));
}

// The document counts a change of formatting as a change, but a file keeps
// only the text: formatting alone leaves the document as modified as it was.
void ScriptEditor::mergeFormatOfSelection(const QTextCharFormat& format)
{
    const bool modified = isModified();
    mergeCurrentCharFormat(format);
    setModified(modified);
}

std::optional<QString> ScriptEditor::selectionFontName() const
{
    return selectionAttribute<QString>(
        [this](const QTextCharFormat& f) { return fontOf(f).family(); });
}

void ScriptEditor::setSelectionFontName(const QString& name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    mergeFormatOfSelection(format);
}

std::optional<float> ScriptEditor::selectionFontSize() const
{
    return selectionAttribute<float>(
        [this](const QTextCharFormat& f) { return float(fontOf(f).pointSizeF()); });
}

void ScriptEditor::setSelectionFontSize(float points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeFormatOfSelection(format);
}

std::optional<bool> ScriptEditor::selectionBold() const
{
    return selectionAttribute<bool>([this](const QTextCharFormat& f) { return fontOf(f).bold(); });
}

void ScriptEditor::setSelectionBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeFormatOfSelection(format);
}

std::optional<bool> ScriptEditor::selectionItalic() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).italic(); });
}

void ScriptEditor::setSelectionItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeFormatOfSelection(format);
}

std::optional<bool> ScriptEditor::selectionStrikeout() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).strikeOut(); });
}

void ScriptEditor::setSelectionStrikeout(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeFormatOfSelection(format);
}

std::optional<bool> ScriptEditor::selectionUnderline() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).underline(); });
}

void ScriptEditor::setSelectionUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeFormatOfSelection(format);
}

std::optional<QColor> ScriptEditor::selectionColor() const
{
    return selectionAttribute<QColor>([this](const QTextCharFormat& f) { return colorOf(f); });
}

void ScriptEditor::setSelectionColor(const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    mergeFormatOfSelection(format);
}

// The first formatting run inside the selection, else the caret's format.
FontChoice ScriptEditor::firstSelectedCharacterFont() const
{
    const QTextCursor cursor = textCursor();
    QTextCharFormat format = cursor.charFormat();
    if (cursor.hasSelection()) {
        forEachRunIn(cursor.selectionStart(), cursor.selectionEnd(),
                     [&format](const QTextCharFormat& run) {
                         format = run;
                         return false;
                     });
    }
    const QFont font = fontOf(format);
    return {.name = font.family(),
            .size = float(font.pointSizeF()),
            .bold = font.bold(),
            .italic = font.italic(),
            .strikeout = font.strikeOut(),
            .underline = font.underline(),
            .color = colorOf(format)};
}
