#pragma once

#include "editor/EditorControl.h"

#include <QList>
#include <QPlainTextEdit>

class QTextCharFormat;

// The editing area: a QPlainTextEdit, which keeps per-character formatting
// and stays fast on documents of many megabytes, behind EditorControl.
class ScriptEditor final : public QPlainTextEdit, public EditorControl {
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget* parent = nullptr);

    // Keys that belong to the window's menu commands. The text widget would
    // otherwise claim some of them (copy, paste, undo) before the menu sees them.
    void setReservedShortcuts(const QList<QKeyCombination>& keys);

    QString documentText() const override;
    void setDocumentText(const QString& text) override;
    bool isModified() const override;
    void setModified(bool modified) override;
    QString controlFontName() const override;

    int selectionStart() const override;
    void setSelectionStart(int position) override;
    int selectionLength() const override;
    void setSelectionLength(int length) override;
    QString selectedText() const override;
    void setSelectedText(const QString& text) override;

    std::optional<QString> selectionFontName() const override;
    void setSelectionFontName(const QString& name) override;
    std::optional<float> selectionFontSize() const override;
    void setSelectionFontSize(float points) override;
    std::optional<bool> selectionBold() const override;
    void setSelectionBold(bool on) override;
    std::optional<bool> selectionItalic() const override;
    void setSelectionItalic(bool on) override;
    std::optional<bool> selectionStrikeout() const override;
    void setSelectionStrikeout(bool on) override;
    std::optional<bool> selectionUnderline() const override;
    void setSelectionUnderline(bool on) override;
    std::optional<QColor> selectionColor() const override;
    void setSelectionColor(const QColor& color) override;
    FontChoice firstSelectedCharacterFont() const override;

protected:
    bool event(QEvent* event) override;
    // The widget's own clipboard paths (Shift+Insert, middle click, drag and
    // drop) carry plain text only, as the Edit commands do.
    QMimeData* createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int endPosition() const;
    QFont fontOf(const QTextCharFormat& format) const;
    QColor colorOf(const QTextCharFormat& format) const;
    template<typename OnRun> bool forEachRunIn(int from, int to, OnRun onRun) const;
    template<typename Value, typename Read>
    std::optional<Value> selectionAttribute(Read read) const;
    void mergeFormatOfSelection(const QTextCharFormat& format);

    QList<QKeyCombination> reservedShortcuts_;
};
