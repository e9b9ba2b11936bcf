#pragma once

#include <QAccessibleWidget>
#include <QString>
#include <QTextBoundaryFinder>
#include <optional>

class CharacterFormatter;
class EditorControl;
class Engine;

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
    AccessibleScriptEditor(Engine& engine, EditorControl& control,
                           const CharacterFormatter& formatter);

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
    EditorControl& control_;
    const CharacterFormatter& formatter_;
};
