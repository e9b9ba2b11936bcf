#include "document/PrintCommand.h"

#include "editor/EditorControl.h"
#include "platform/FontChoice.h"
#include "platform/MessageBox.h"
#include "platform/Printer.h"

using namespace Qt::StringLiterals;

PrintCommand::PrintCommand(EditorControl& text, Printer& printer, MessageBox& messageBox)
    : text_(text)
    , printer_(printer)
    , messageBox_(messageBox)
{
}

void PrintCommand::print()
{
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

bool PrintCommand::printOnce()
{
    const FontChoice font = printFont();
    return printer_.printDocument(font, text_.documentText());
}

// The face of the base font, with the selection's size, styles and colour.
// Where the selection mixes an attribute there is no one value to print in,
// so the first selected character's value is taken.
FontChoice PrintCommand::printFont() const
{
    const FontChoice first = text_.firstSelectedCharacterFont();
    return {.name = text_.controlFontName(),
            .size = text_.selectionFontSize().value_or(first.size),
            .bold = text_.selectionBold().value_or(first.bold),
            .italic = text_.selectionItalic().value_or(first.italic),
            .strikeout = text_.selectionStrikeout().value_or(first.strikeout),
            .underline = text_.selectionUnderline().value_or(first.underline),
            .color = text_.selectionColor().value_or(first.color)};
}
