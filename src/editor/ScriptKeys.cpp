#include "editor/ScriptKeys.h"

#include <Qsci/qsciscintillabase.h>

namespace {

using Sci = QsciScintillaBase;

struct Binding {
    int key;
    int modifiers;
    int command;
};

constexpr int none = Sci::SCMOD_NORM;
constexpr int shift = Sci::SCMOD_SHIFT;
constexpr int ctrl = Sci::SCMOD_CTRL;
constexpr int ctrlShift = Sci::SCMOD_CTRL | Sci::SCMOD_SHIFT;

constexpr Binding bindings[] = {
    {Sci::SCK_LEFT, none, Sci::SCI_CHARLEFT},
    {Sci::SCK_LEFT, shift, Sci::SCI_CHARLEFTEXTEND},
    {Sci::SCK_LEFT, ctrl, Sci::SCI_WORDLEFT},
    {Sci::SCK_LEFT, ctrlShift, Sci::SCI_WORDLEFTEXTEND},
    {Sci::SCK_RIGHT, none, Sci::SCI_CHARRIGHT},
    {Sci::SCK_RIGHT, shift, Sci::SCI_CHARRIGHTEXTEND},
    {Sci::SCK_RIGHT, ctrl, Sci::SCI_WORDRIGHT},
    {Sci::SCK_RIGHT, ctrlShift, Sci::SCI_WORDRIGHTEXTEND},
    {Sci::SCK_UP, none, Sci::SCI_LINEUP},
    {Sci::SCK_UP, shift, Sci::SCI_LINEUPEXTEND},
    {Sci::SCK_DOWN, none, Sci::SCI_LINEDOWN},
    {Sci::SCK_DOWN, shift, Sci::SCI_LINEDOWNEXTEND},
    {Sci::SCK_HOME, none, Sci::SCI_HOME},
    {Sci::SCK_HOME, shift, Sci::SCI_HOMEEXTEND},
    {Sci::SCK_HOME, ctrl, Sci::SCI_DOCUMENTSTART},
    {Sci::SCK_HOME, ctrlShift, Sci::SCI_DOCUMENTSTARTEXTEND},
    {Sci::SCK_END, none, Sci::SCI_LINEEND},
    {Sci::SCK_END, shift, Sci::SCI_LINEENDEXTEND},
    {Sci::SCK_END, ctrl, Sci::SCI_DOCUMENTEND},
    {Sci::SCK_END, ctrlShift, Sci::SCI_DOCUMENTENDEXTEND},
    {Sci::SCK_PRIOR, none, Sci::SCI_PAGEUP},
    {Sci::SCK_PRIOR, shift, Sci::SCI_PAGEUPEXTEND},
    {Sci::SCK_NEXT, none, Sci::SCI_PAGEDOWN},
    {Sci::SCK_NEXT, shift, Sci::SCI_PAGEDOWNEXTEND},
    {Sci::SCK_BACK, none, Sci::SCI_DELETEBACK},
    {Sci::SCK_BACK, shift, Sci::SCI_DELETEBACK},
    {Sci::SCK_BACK, ctrl, Sci::SCI_DELWORDLEFT},
    {Sci::SCK_DELETE, none, Sci::SCI_CLEAR},
    {Sci::SCK_DELETE, ctrl, Sci::SCI_DELWORDRIGHT},
    {Sci::SCK_DELETE, shift, Sci::SCI_CUT},
    {Sci::SCK_INSERT, ctrl, Sci::SCI_COPY},
    {Sci::SCK_INSERT, shift, Sci::SCI_PASTE},
    {Sci::SCK_RETURN, none, Sci::SCI_NEWLINE},
    {Sci::SCK_RETURN, shift, Sci::SCI_NEWLINE},
    {'A', ctrl, Sci::SCI_SELECTALL},
    {'K', ctrl, Sci::SCI_DELLINERIGHT},
};

} // namespace

void useScriptKeys(QsciScintillaBase& engine)
{
    engine.SendScintilla(Sci::SCI_CLEARALLCMDKEYS);
    for (const Binding& binding : bindings) {
        engine.SendScintilla(Sci::SCI_ASSIGNCMDKEY,
                             static_cast<unsigned long>(binding.key | (binding.modifiers << 16)),
                             static_cast<long>(binding.command));
    }
}
