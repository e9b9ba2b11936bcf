#include "editor/RichTextBox.h"

#include "editor/LineBreaks.h"
#include "editor/PlainTextMime.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

RichTextBox::RichTextBox(QWidget* parent)
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

void RichTextBox::setReservedShortcuts(const QList<QKeyCombination>& keys)
{
    reservedShortcuts_ = keys;
}

bool RichTextBox::event(QEvent* event)
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

QMimeData* RichTextBox::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(withPlatformLineBreaks(SelectedText()));
    return data;
}

bool RichTextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return !plainTextOffered(source).isEmpty();
}

// With no plain text on offer (nothing, or only HTML or images) the selection stays as it is.
void RichTextBox::insertFromMimeData(const QMimeData* source)
{
    const QString text = plainTextOffered(source);
    if (!text.isEmpty())
        setSelectedText(text);
}

QString RichTextBox::DocumentText() const { return withCrLfLineBreaks(document()->toRawText()); }

void RichTextBox::setDocumentText(const QString& text)
{
    // The widget would give the new text the formatting the caret had.
    setTextCursor(QTextCursor(document()));
    setCurrentCharFormat(QTextCharFormat());
    // A scroll bar that appears once the text is in narrows the viewport, and
    // the widget then builds a layout for every line of the document: on a
    // large script that triples the memory and adds most of a second.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setPlainText(text.contains(u'\r') ? withLfLineBreaks(text) : text);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

bool RichTextBox::isModified() const { return document()->isModified(); }

void RichTextBox::setModified(bool modified) { document()->setModified(modified); }

QString RichTextBox::ControlFontName() const { return font().family(); }

int RichTextBox::endPosition() const { return document()->characterCount() - 1; }

int RichTextBox::SelectionStart() const { return textCursor().selectionStart(); }

void RichTextBox::setSelectionStart(int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(position, 0, endPosition()));
    setTextCursor(cursor);
}

int RichTextBox::SelectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelectionLength(int length)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const qint64 end = qint64(start) + std::max(length, 0);
    cursor.setPosition(start);
    cursor.setPosition(int(std::min<qint64>(end, endPosition())), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelectedText() const
{
    return withCrLfLineBreaks(textCursor().selectedText());
}

void RichTextBox::setSelectedText(const QString& text)
{
    QTextCursor cursor = textCursor();
    cursor.insertText(withLfLineBreaks(text));
    setTextCursor(cursor);
}

QFont RichTextBox::fontOf(const QTextCharFormat& format) const
{
    return format.font().resolve(document()->defaultFont());
}

QColor RichTextBox::colorOf(const QTextCharFormat& format) const
{
    const QColor color = format.hasProperty(QTextFormat::ForegroundBrush)
                             ? format.foreground().color()
                             : palette().color(QPalette::Text);
    return QColor::fromRgb(color.rgb());
}

// The attribute shared by every selected character, std::nullopt when they
// differ, or the attribute for the text typed next when nothing is selected.
// Walks the formatting runs, not the characters, so it stays quick on a
// selection of a whole large script.
template<typename Value, typename Read>
std::optional<Value> RichTextBox::selectionAttribute(Read read) const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return read(cursor.charFormat());
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    std::optional<Value> shared;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto run = block.begin(); !run.atEnd(); ++run) {
            const QTextFragment fragment = run.fragment();
            if (fragment.position() + fragment.length() <= from || fragment.position() >= to)
                continue;
            const Value value = read(fragment.charFormat());
            if (!shared)
                shared = value;
            else if (*shared != value)
                return std::nullopt;
        }
    }
    // Only line breaks selected: they carry the formatting at the caret.
    return shared ? shared : std::optional<Value>(read(cursor.charFormat()));
}

// The document counts a change of formatting as a change, but a file keeps
// only the text: formatting alone leaves the document as modified as it was.
void RichTextBox::mergeFormatOfSelection(const QTextCharFormat& format)
{
    const bool modified = isModified();
    mergeCurrentCharFormat(format);
    setModified(modified);
}

std::optional<QString> RichTextBox::SelectionFontName() const
{
    return selectionAttribute<QString>(
        [this](const QTextCharFormat& f) { return fontOf(f).family(); });
}

void RichTextBox::setSelectionFontName(const QString& name)
{
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name});
    mergeFormatOfSelection(format);
}

std::optional<float> RichTextBox::SelectionFontSize() const
{
    return selectionAttribute<float>(
        [this](const QTextCharFormat& f) { return float(fontOf(f).pointSizeF()); });
}

void RichTextBox::setSelectionFontSize(float points)
{
    QTextCharFormat format;
    format.setFontPointSize(points);
    mergeFormatOfSelection(format);
}

std::optional<bool> RichTextBox::SelectionBold() const
{
    return selectionAttribute<bool>([this](const QTextCharFormat& f) { return fontOf(f).bold(); });
}

void RichTextBox::setSelectionBold(bool on)
{
    QTextCharFormat format;
    format.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeFormatOfSelection(format);
}

std::optional<bool> RichTextBox::SelectionItalic() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).italic(); });
}

void RichTextBox::setSelectionItalic(bool on)
{
    QTextCharFormat format;
    format.setFontItalic(on);
    mergeFormatOfSelection(format);
}

std::optional<bool> RichTextBox::SelectionStrikeout() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).strikeOut(); });
}

void RichTextBox::setSelectionStrikeout(bool on)
{
    QTextCharFormat format;
    format.setFontStrikeOut(on);
    mergeFormatOfSelection(format);
}

std::optional<bool> RichTextBox::SelectionUnderline() const
{
    return selectionAttribute<bool>(
        [this](const QTextCharFormat& f) { return fontOf(f).underline(); });
}

void RichTextBox::setSelectionUnderline(bool on)
{
    QTextCharFormat format;
    format.setFontUnderline(on);
    mergeFormatOfSelection(format);
}

std::optional<QColor> RichTextBox::SelectionColor() const
{
    return selectionAttribute<QColor>([this](const QTextCharFormat& f) { return colorOf(f); });
}

void RichTextBox::setSelectionColor(const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    mergeFormatOfSelection(format);
}

// The first formatting run inside the selection; line breaks are not runs.
FontChoice RichTextBox::FirstSelectedCharacterFont() const
{
    const QTextCursor cursor = textCursor();
    const auto firstRun = [&]() -> QTextCharFormat {
        const int from = cursor.selectionStart();
        const int to = cursor.selectionEnd();
        for (QTextBlock block = document()->findBlock(from);
             block.isValid() && block.position() < to; block = block.next()) {
            for (auto run = block.begin(); !run.atEnd(); ++run) {
                const QTextFragment fragment = run.fragment();
                if (fragment.position() + fragment.length() > from && fragment.position() < to)
                    return fragment.charFormat();
            }
        }
        return cursor.charFormat();
    };
    const QTextCharFormat format = cursor.hasSelection() ? firstRun() : cursor.charFormat();
    const QFont font = fontOf(format);
    return {.name = font.family(),
            .size = float(font.pointSizeF()),
            .bold = font.bold(),
            .italic = font.italic(),
            .strikeout = font.strikeOut(),
            .underline = font.underline(),
            .color = colorOf(format)};
}
