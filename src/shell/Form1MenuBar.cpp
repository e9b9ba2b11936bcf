#include "shell/Form1.h"
#include "shell/MenuTable.h"

namespace {

constexpr QKeyCombination none{};
constexpr QKeyCombination ctrl(Qt::Key key) { return Qt::CTRL | key; }

const MenuItemEntry fileItems[] = {
    {"mnuFileNew", "&New", ctrl(Qt::Key_N), &Form1::mnuFileNew_Click},
    {"mnuFileOpen", "&Open", ctrl(Qt::Key_O), &Form1::mnuFileOpen_Click},
    {"mnuFileSep0", "-", none, nullptr},
    {"mnuFileSave", "&Save", ctrl(Qt::Key_S), &Form1::mnuFileSave_Click},
    {"mnuFileSaveAs", "Save &As", none, &Form1::mnuFileSaveAs_Click},
    {"mnuFileSep1", "-", none, nullptr},
    {"mnuFilePrint", "&Print", ctrl(Qt::Key_P), &Form1::mnuFilePrint_Click},
    {"mnuFileSep2", "-", none, nullptr},
    {"mnuFileExit", "E&xit", ctrl(Qt::Key_Q), &Form1::mnuFileExit_Click},
};

const MenuItemEntry editItems[] = {
    {"Find", "Find", ctrl(Qt::Key_F), &Form1::Find_Click},
    {"mnuEditCut", "Cu&t", ctrl(Qt::Key_X), &Form1::mnuEditCut_Click},
    {"mnuEditCopy", "&Copy", ctrl(Qt::Key_C), &Form1::mnuEditCopy_Click},
    {"mnuEditPaste", "&Paste", ctrl(Qt::Key_V), &Form1::mnuEditPaste_Click},
};

const MenuItemEntry triggerItems[] = {
    {"Dclick", "Double Click", none, &Form1::Dclick_Click},
    {"Step", "Step", none, &Form1::Step_Click},
    {"Time", "Timer", none, &Form1::Time_Click},
    {"Unequip", "Unequip", none, &Form1::Unequip_Click},
    {"Spell", "Spell", none, &Form1::Spell_Click},
    {"Equip", "Equip", none, &Form1::Equip_Click},
    {"Dropongr", "Drop On Ground", none, &Form1::Dropongr_Click},
    {"DRPCHAR", "Drop On Char", none, &Form1::DRPCHAR_Click},
    {"Dmg", "Damage", none, &Form1::Dmg_Click},
    {"Hear", "Hear", none, &Form1::Hear_Click},
};

const MenuItemEntry formatItems[] = {
    {"mnuFormatFont", "&Font", ctrl(Qt::Key_T), &Form1::mnuFormatFont_Click},
    {"mnuFormatSep0", "-", none, nullptr},
    {"mnuFormatBold", "&Bold", ctrl(Qt::Key_B), &Form1::mnuFormatBold_Click, true},
    {"mnuFormatItalic", "&Italic", ctrl(Qt::Key_I), &Form1::mnuFormatItalic_Click, true},
    // Ctrl+Z is strikeout here; the program has no undo command.
    {"mnuFormatStrike", "&Strikeout", ctrl(Qt::Key_Z), &Form1::mnuFormatStrike_Click, true},
    {"mnuFormatUnder", "&Underline", ctrl(Qt::Key_U), &Form1::mnuFormatUnder_Click, true},
};

const MenuItemEntry helpItems[] = {
    {"TExplain", "Triggers Explained", none, &Form1::TExplain_Click},
    {"mnuHelpAbt", "About VxScript", none, &Form1::mnuHelpAbt_Click},
};

const MenuEntry menuBar[] = {
    {"mnuFile", "&File", fileItems},    {"mnuEdit", "&Edit", editItems},
    {"Trig", "Triggers", triggerItems}, {"mnuFormat", "For&mat", formatItems},
    {"mnuHelp", "&Help", helpItems},
};

} // namespace

std::span<const MenuEntry> form1MenuBar() { return menuBar; }
