#pragma once

#include "editor/Utf16Index.h"
#include "platform/FontChoice.h"

#include <QByteArrayView>
#include <QColor>
#include <QPoint>
#include <QString>
#include <Qsci/qsciscintillabase.h>
#include <functional>
#include <memory>
#include <optional>

// The Scintilla engine in typed calls: the only code that sends it messages.
//
// Offsets count bytes of the engine's text (UTF-8, LF between lines);
// positions count the editor's UTF-16 units, one for each line break. Lines
// count from 0.
class Engine {
public:
    explicit Engine(QsciScintillaBase& widget);

    QsciScintillaBase& widget() const { return widget_; }

    // The engine as the editor wants it: UTF-8, no undo history, no margins,
    // insertions and deletions announced before they happen.
    void setUp();

    // A document filled away from the view, which takes the view's place
    // only once it is whole (adopt()); dropped unadopted, it goes.
    class NewDocument {
    public:
        NewDocument(NewDocument&& other) noexcept;
        NewDocument& operator=(NewDocument&&) = delete;
        ~NewDocument();
        // False once the engine ran out of memory for it.
        bool append(QByteArrayView bytes);
        bool isValid() const { return document_ != nullptr; }

    private:
        friend class Engine;
        NewDocument(QsciScintillaBase* filler, void* document);
        // Detaches the document from the filler and hands over its reference.
        void* take();

        // A view that is never shown, through which the document is filled.
        QsciScintillaBase* filler_;
        void* document_;
    };
    // Room for bytes of UTF-8 text. Without styles, a document keeps no
    // style byte for each character until giveStyles().
    NewDocument newDocument(qsizetype bytes, bool styled = false) const;
    // The view shows the document, with the caret at its start; the old one goes.
    void adopt(NewDocument document);
    bool hasStyles() const;
    // Moves the text into a document that keeps styles, keeping the
    // selection and the scroll position: the first style other than the
    // default one needs it.
    void giveStyles();

    // To be told of each insertion and deletion before it happens, to keep
    // the positions.
    void inserting(qsizetype offset, QByteArrayView bytes) { index_.inserting(offset, bytes); }
    void deleting(qsizetype offset, qsizetype length) { index_.deleting(offset, length); }
    // The text changed without the notices above.
    void textReplaced() { index_.reset(); }
    // Empties the engine's key map.
    void clearKeyMap();

    // The engine's key commands that the editor's keys run.
    enum class Command : unsigned int {
        LineUp = QsciScintillaBase::SCI_LINEUP,
        LineDown = QsciScintillaBase::SCI_LINEDOWN,
        LineUpExtend = QsciScintillaBase::SCI_LINEUPEXTEND,
        LineDownExtend = QsciScintillaBase::SCI_LINEDOWNEXTEND,
        PageUp = QsciScintillaBase::SCI_PAGEUP,
        PageDown = QsciScintillaBase::SCI_PAGEDOWN,
        PageUpExtend = QsciScintillaBase::SCI_PAGEUPEXTEND,
        PageDownExtend = QsciScintillaBase::SCI_PAGEDOWNEXTEND,
        CharLeft = QsciScintillaBase::SCI_CHARLEFT,
        CharRight = QsciScintillaBase::SCI_CHARRIGHT,
        Home = QsciScintillaBase::SCI_HOME,
        HomeExtend = QsciScintillaBase::SCI_HOMEEXTEND,
        LineEnd = QsciScintillaBase::SCI_LINEEND,
        LineEndExtend = QsciScintillaBase::SCI_LINEENDEXTEND,
        DocumentStart = QsciScintillaBase::SCI_DOCUMENTSTART,
        DocumentStartExtend = QsciScintillaBase::SCI_DOCUMENTSTARTEXTEND,
        DocumentEnd = QsciScintillaBase::SCI_DOCUMENTEND,
        DocumentEndExtend = QsciScintillaBase::SCI_DOCUMENTENDEXTEND,
        NewLine = QsciScintillaBase::SCI_NEWLINE,
        DeleteBack = QsciScintillaBase::SCI_DELETEBACK,
    };
    void run(Command command);

    // What a change notice (the widget's SCN_MODIFIED) announces.
    static bool announcesInsertion(int type);
    static bool announcesDeletion(int type);
    // Whether an update notice (SCN_UPDATEUI) is about the text or the selection.
    static bool updatesTextOrSelection(int updated);

    // The text, without a copy: valid until it next changes.
    QByteArrayView text() const;
    // A part of it, moving the engine's gap only where it lies inside.
    QByteArrayView textRange(qsizetype offset, qsizetype length) const;
    // Where needle, as the engine holds text, first occurs at or after the
    // offset from: exact, without a copy of the text.
    std::optional<qsizetype> find(QByteArrayView needle, qsizetype from) const;
    qsizetype length() const;
    char charAt(qsizetype offset) const;
    // The text between two offsets as it is, line breaks LF.
    QString textBetween(qsizetype from, qsizetype to) const;
    // Fills styled with the text's bytes and their styles, interleaved.
    void styledText(qsizetype from, qsizetype to, char* styled) const;
    // Inserts at the caret.
    void addText(QByteArrayView bytes);
    // Takes the text up to its NUL.
    void replaceSelection(const char* text);
    void setTargetRange(qsizetype from, qsizetype to);
    void targetFromSelection();
    qsizetype targetStart() const;
    void replaceTarget(QByteArrayView bytes);

    qsizetype lineCount() const;
    qsizetype lineFromOffset(qsizetype offset) const;
    qsizetype lineStart(qsizetype line) const;
    // Before the line's line break.
    qsizetype lineEnd(qsizetype line) const;
    // With the line break.
    qsizetype lineLength(qsizetype line) const;
    qsizetype offsetBefore(qsizetype offset) const;
    qsizetype offsetAfter(qsizetype offset) const;
    // That many characters on; 0 past either end of the text.
    qsizetype offsetRelative(qsizetype offset, qsizetype characters) const;
    // That many UTF-16 units on; 0 past the end, or inside a character.
    qsizetype offsetRelativeUnits(qsizetype offset, qsizetype units) const;

    // Between editor positions and offsets, in time that grows with at most
    // 64 KiB of the text, not the document's size (Utf16Index). A position between the two halves
    // of a surrogate pair finds the character's start; one past the end, the end.
    qsizetype positionOfOffset(qsizetype offset) const;
    qsizetype offsetOfPosition(qsizetype position) const;
    // Where the text ends, as an editor position.
    int endPosition() const;

    qsizetype caret() const;
    qsizetype anchor() const;
    qsizetype selectionStart() const;
    qsizetype selectionEnd() const;
    bool selectionEmpty() const;
    void setSelection(qsizetype anchor, qsizetype caret);
    void setEmptySelection(qsizetype offset);
    void selectAll();
    // Puts the caret at offset and scrolls it into view.
    void goTo(qsizetype offset);
    // Up and Down go on from the caret's column.
    void chooseCaretX();
    bool isReadOnly() const;

    // In the viewport's pixels.
    int xOfOffset(qsizetype offset) const;
    int yOfOffset(qsizetype offset) const;
    int lineHeight(qsizetype line) const;
    qsizetype offsetAtPoint(QPoint point) const;
    // The character nearest the point, -1 for none.
    qsizetype characterAtPoint(QPoint point) const;
    // The width of text in the base format.
    int textWidth(const char* text) const;
    int zoom() const;
    qsizetype firstVisibleLine() const;
    qsizetype linesOnScreen() const;
    int tabWidth() const;
    void setScrollWidth(int pixels);
    void setXOffset(int pixels);
    void scrollCaret();
    // Scrolls to show the range, its start first when it is wider.
    void scrollRange(qsizetype start, qsizetype end);
    int caretPeriod() const;
    void setCaretPeriod(int milliseconds);

    // The style the engine keeps for its own use as the default.
    static constexpr int defaultStyle = QsciScintillaBase::STYLE_DEFAULT;
    int styleAt(qsizetype offset) const;
    void setStyle(qsizetype offset, qsizetype length, int style);
    // Calls onRun(style, offset, length) for each run of one style within
    // [from, to), line breaks left out, until it returns false.
    bool forEachStyleRun(qsizetype from, qsizetype to,
                         const std::function<bool(int, qsizetype, qsizetype)>& onRun) const;
    void defineStyle(int style, const FontChoice& format, const QColor& background);
    QColor styleBackground(int style) const;
    // Every style takes the default style's definition.
    void resetStyles();
    void setCaretColor(const QColor& color);
    void setSelectionColors(const QColor& text, const QColor& background);

private:
    long send(unsigned int message, qsizetype wParam = 0, qsizetype lParam = 0) const;
    long sendText(unsigned int message, qsizetype wParam, const char* lParam) const;
    // What the engine keeps for each document rather than for the view.
    void setUpDocument();

    QsciScintillaBase& widget_;
    mutable std::unique_ptr<QsciScintillaBase> filler_;
    Utf16Index index_{
        [this](qsizetype offset, qsizetype length) { return textRange(offset, length); },
        [this] { return length(); }};
};
