#pragma once

#include <QAccessibleWidget>
#include <QMetaObject>
#include <QString>
#include <QTextBoundaryFinder>
#include <optional>

class Engine;
class ScriptEditor;

// What a screen reader sees of ScriptEditor: its text, caret and selection
// in editor positions (UTF-16 units, one for each line break, which reads as
// LF), found through the engine's line index in time that grows with a
// line's length, never the document's. It answers in place of the engine's
// own accessible object, which counts characters from the start of the
// document on every question and every change.
class AccessibleScriptEditor final : public QAccessibleWidget,
                                     public QAccessibleTextInterface,
                                     public QAccessibleEditableTextInterface {
public:
    explicit AccessibleScriptEditor(ScriptEditor* editor);

    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;
    using QAccessibleWidget::text;

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                             int* startOffset, int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                            int* startOffset, int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType, int* startOffset,
                         int* endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // Through the editor's own commands, so that inserted text takes the
    // formatting around it and the document counts as modified.
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    // A stretch of text in editor positions, [start, end).
    struct Span {
        int start;
        int end;
    };
    // Which way a position inside a character that takes two units goes.
    enum class Round { Down, Up };

    ScriptEditor* editor() const;
    qsizetype engineOffset(int position, Round round = Round::Down) const;
    int position(qsizetype engineOffset) const;
    QString engineRange(qsizetype from, qsizetype to) const;
    // The character, word, line... that holds the position; std::nullopt
    // where there is none (past the last character, or for an unknown kind).
    std::optional<Span> spanAt(int position, QAccessible::TextBoundaryType boundaryType) const;
    std::optional<Span> lineAt(qsizetype offset) const;
    std::optional<Span> textItemAt(qsizetype offset, QTextBoundaryFinder::BoundaryType type) const;
    QString answer(std::optional<Span> span, int* startOffset, int* endOffset) const;
    std::optional<int> queriedOffset(int offset, int* startOffset, int* endOffset) const;
    void selectRange(int startOffset, int endOffset);

    Engine& engine_;
};

// Tells a screen reader what changes in the editor that owns it: text
// inserted or deleted, the caret moved, the selection changed. Without a
// screen reader each notice costs the test of a flag. The first one made
// installs the accessibility factory that makes AccessibleScriptEditor the
// editor's accessible object; it has to come after the engine's own, which
// the engine installs when its first widget is made.
class EditorAccessibility {
public:
    EditorAccessibility(QWidget& editor, const Engine& engine);
    ~EditorAccessibility();
    EditorAccessibility(const EditorAccessibility&) = delete;
    EditorAccessibility& operator=(const EditorAccessibility&) = delete;

    // Whether anything listens: a screen reader, or a test after
    // QAccessible::setActive(true).
    static bool active();

    // Hands the events of every editor to listener instead of Qt; nullptr
    // hands them to Qt again. For tests: Qt passes an event on, to its update
    // handler too, only where the platform has a screen reader.
    using Listener = void (*)(QAccessibleEvent* event);
    static void setListener(Listener listener);

private:
    // A change the engine announced before making it.
    struct Change {
        // Where, in the engine and in editor positions.
        qsizetype offset;
        int position;
        // Bytes inserted, or the text removed.
        qsizetype inserted;
        QString removed;
    };

    static void tell(QAccessibleEvent* event);
    void onModified(int offset, int type, int length);
    void onUpdateUi(int updated);
    void tellChange();

    QWidget& editor_;
    const Engine& engine_;
    QMetaObject::Connection modified_;
    QMetaObject::Connection updated_;
    // The engine tells the editor of a change only before making it, and
    // hands out inserted text only once it is in. A screen reader hears of
    // a change once it is made: before the next change, before the caret's
    // move, or when the editor is idle again, whichever comes first.
    std::optional<Change> change_;
    bool changeQueued_ = false;
    // The caret and the selection as last told, -1 before that.
    int caret_ = -1;
    int selectionStart_ = -1;
    int selectionEnd_ = -1;
};
