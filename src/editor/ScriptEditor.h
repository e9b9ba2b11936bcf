#pragma once

#include "editor/CharacterFormatter.h"
#include "editor/EditorAccessibility.h"
#include "editor/EditorControl.h"
#include "editor/Engine.h"
#include "editor/ScrollWidth.h"
#include "editor/TextDecorations.h"

#include <QByteArrayView>
#include <QList>
#include <Qsci/qsciscintillabase.h>
#include <functional>
#include <vector>

// The editing area: the Scintilla engine behind EditorControl. It keeps the
// document as UTF-8 in a gap buffer with a line index and lays out only what
// is on screen, so scripts of tens of megabytes open and edit at once.
//
// Character formatting is the engine's per-character style
// (CharacterFormatter); strikeout and underline are drawn over the engine's
// text (TextDecorations).
class ScriptEditor final : public QsciScintillaBase, public EditorControl {
    Q_OBJECT
public:
    explicit ScriptEditor(QWidget* parent = nullptr);

    // Keys that belong to the window's menu commands. The editor would
    // otherwise claim some of them before the menu sees them.
    void setReservedShortcuts(const QList<QKeyCombination>& keys);

    QString documentText() const override;
    void setDocumentText(const QString& text) override;
    bool loadDocument(qsizetype size, const Utf8Pieces& pieces) override;
    QByteArrayView documentUtf8() const override;
    bool isModified() const override;
    void setModified(bool modified) override;
    QString controlFontName() const override;

    int selectionStart() const override;
    void setSelectionStart(int position) override;
    int selectionLength() const override;
    void setSelectionLength(int length) override;
    QString selectedText() const override;
    void setSelectedText(const QString& text) override;

    SelectionFormat selectionFormat() const override;
    FormatResult changeSelectionFormat(const SelectionFormat& change) override;
    FontChoice firstSelectedCharacterFont() const override;

    // The document as the engine holds it: UTF-8 with LF between lines,
    // without a copy. Valid until the document next changes.
    QByteArrayView engineText() const;
    // Between editor positions (UTF-16 units, one per line break) and
    // offsets into engineText(), in time that grows with a line's length,
    // not the document's. A position between the two halves of a surrogate
    // pair finds the character's start; one past the end, the end.
    qsizetype positionOfOffset(qsizetype offset) const;
    qsizetype offsetOfPosition(qsizetype position) const;
    std::optional<Range> find(QStringView what, int from) const override;
    // Where the text ends, as an editor position.
    int endPosition() const override;
    // Scrolls the caret into view.
    void ensureCaretVisible();
    // Scrolls the selection into view, its start first when it is wider.
    void ensureSelectionVisible() override;
    // The caret's rectangle in the viewport.
    QRect caretRect() const;

    void cut();
    void copy();
    void paste();
    void selectAll();

protected:
    bool event(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The engine's own clipboard paths (the X11 selection, drag and drop)
    // carry plain text only, every character kept, as the Edit commands do.
    bool canInsertFromMimeData(const QMimeData* source) const override;
    QByteArray fromMimeData(const QMimeData* source, bool& rectangular) const override;
    QMimeData* toMimeData(const QByteArray& text, bool rectangular) const override;

private:
    // Makes AccessibleScriptEditor the accessible object of each editor.
    static QAccessibleInterface* accessibleFor(const QString& className, QObject* object);
    void onModified(int offset, int type, const char* text, int length);
    void updateCaretBlink();

    Engine engine_{*this};
    QList<QKeyCombination> reservedShortcuts_;
    ScrollWidth scrollWidth_{engine_};
    CharacterFormatter formatter_;
    TextDecorations decorations_{engine_, formatter_.styles()};
    bool modified_ = false;
    bool caretBlinks_ = true;
    int blinkPeriod_ = 0;
    // What a screen reader sees of the editor, and what it is told.
    EditorAccessibility accessibility_{*this, engine_};
};
