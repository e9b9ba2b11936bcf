#include "document/PrintCommand.h"

#include "editor/EditorControl.h"
#include "platform/FontChoice.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

using namespace Qt::StringLiterals;

namespace {

// Narrows the selection to its first character that is not a line break for
// as long as it lives, then puts the selection back as it was.
class FirstSelectedCharacter {
public:
    explicit FirstSelectedCharacter(EditorControl& text)
        : text_(text)
        , start_(text.SelectionStart())
        , length_(text.SelectionLength()) {
        text_.setSelectionStart(firstPosition());
        text_.setSelectionLength(1);
    }
    ~FirstSelectedCharacter() {
        text_.setSelectionStart(start_);
        text_.setSelectionLength(length_);
    }
    FirstSelectedCharacter(const FirstSelectedCharacter&) = delete;
    FirstSelectedCharacter& operator=(const FirstSelectedCharacter&) = delete;

private:
    // Selected text has CR LF between lines, where the editor counts one position.
    int firstPosition() const {
        const QString selected = text_.SelectedText();
        int position = start_;
        for (qsizetype i = 0; i < selected.size(); ++i, ++position) {
            if (selected[i] == u'\r' && i + 1 < selected.size() && selected[i + 1] == u'\n')
                ++i;
            else if (selected[i] != u'\r' && selected[i] != u'\n')
                return position;
        }
        return start_;
    }

    EditorControl& text_;
    int start_;
    int length_;
};

} // namespace

PrintCommand::PrintCommand(EditorControl& text, Printer& printer, MessageBox& messageBox)
    : text_(text)
    , printer_(printer)
    , messageBox_(messageBox) {}

void PrintCommand::Print() {
    // Every try reads the editor afresh: the user may have changed it, or fixed
    // the printer, before choosing Retry.
    while (!printOnce()) {
        const auto answer =
            messageBox_.ask(u"Unable to print Document."_s, u"Printing Error..."_s,
                            MessageBox::Buttons::RetryCancel, MessageBox::Icon::Stop);
        if (answer != MessageBox::Answer::Retry)
            return;
    }
}

bool PrintCommand::printOnce() {
    const FontChoice font = printFont();
    return printer_.printDocument(font, text_.DocumentText());
}

FontChoice PrintCommand::printFont() {
    FontChoice font;
    font.name = text_.ControlFontName();
    auto size = text_.SelectionFontSize();
    auto bold = text_.SelectionBold();
    auto italic = text_.SelectionItalic();
    auto strikeout = text_.SelectionStrikeout();
    auto underline = text_.SelectionUnderline();
    auto color = text_.SelectionColor();

    // A mixed attribute has no one value to print in: take the first character's.
    if (!size || !bold || !italic || !strikeout || !underline || !color) {
        const FirstSelectedCharacter first(text_);
        size = size ? size : text_.SelectionFontSize();
        bold = bold ? bold : text_.SelectionBold();
        italic = italic ? italic : text_.SelectionItalic();
        strikeout = strikeout ? strikeout : text_.SelectionStrikeout();
        underline = underline ? underline : text_.SelectionUnderline();
        color = color ? color : text_.SelectionColor();
    }

    font.size = size.value_or(font.size);
    font.bold = bold.value_or(false);
    font.italic = italic.value_or(false);
    font.strikeout = strikeout.value_or(false);
    font.underline = underline.value_or(false);
    font.color = color.value_or(font.color);
    return font;
}
