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
// so the first selected character's values are taken; it has every value the
// selection shares as well.
FontChoice PrintCommand::printFont() const
{
    const std::optional<FontChoice> shared = text_.selectionFormat().font();
    FontChoice font = shared ? *shared : text_.firstSelectedCharacterFont();
    font.name = text_.controlFontName();
    return font;
}
