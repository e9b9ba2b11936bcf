#pragma once

#include "editor/EditorControl.h"

#include <vector>

// The editing area as plain text in memory, for tests of the commands that
// are not about the engine: a selection, and a format for each character.
//
// Its text holds a LF for each line break (one position, as in the editor)
// and reads back with CR LF. Inserted text takes the format chosen for the
// caret if it was chosen there, else that of the character before it (after
// it, at the start of a line).
class FakeEditorControl final : public EditorControl {
public:
    explicit FakeEditorControl(FontChoice base = {.name = QStringLiteral("Fixed"), .size = 10});

    QString documentText() const override;
    void setDocumentText(const QString& text) override;
    bool loadDocument(qsizetype size, const Utf8Pieces& pieces) override;
    QByteArrayView documentUtf8() const override;
    bool isModified() const override { return modified_; }
    void setModified(bool modified) override { modified_ = modified; }
    QString controlFontName() const override { return base_.name; }

    int selectionStart() const override { return start_; }
    void setSelectionStart(int position) override;
    int selectionLength() const override { return length_; }
    void setSelectionLength(int length) override;
    QString selectedText() const override;
    void setSelectedText(const QString& text) override;

    SelectionFormat selectionFormat() const override;
    FormatResult changeSelectionFormat(const SelectionFormat& change) override;
    FontChoice firstSelectedCharacterFont() const override;

    std::optional<Range> find(QStringView what, int from) const override;
    int endPosition() const override { return int(text_.size()); }
    void ensureSelectionVisible() override { ++selectionShown; }

    // While set, every format change answers NoRoom and changes nothing, as
    // the editor does once it shows as many formats as it can.
    bool full = false;
    // While set, loadDocument() finds no memory and changes nothing.
    bool noMemory = false;
    // How often the selection was scrolled into view.
    int selectionShown = 0;

private:
    FontChoice formatForInsertionAt(int position) const;
    bool isLineBreak(int position) const { return text_.at(position) == u'\n'; }

    FontChoice base_;
    QString text_;
    mutable QByteArray utf8_;
    std::vector<FontChoice> formats_;
    int start_ = 0;
    int length_ = 0;
    bool modified_ = false;
    // The format chosen with nothing selected, for text typed at chosenAt_.
    std::optional<FontChoice> chosen_;
    int chosenAt_ = -1;
};
