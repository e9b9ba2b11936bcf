#include "shell/MainWindow.h"
#include "shell/MenuTable.h"

namespace {

constexpr QKeyCombination none{};
constexpr QKeyCombination ctrl(Qt::Key key) { return Qt::CTRL | key; }

const MenuItemEntry fileItems[] = {
    {"mnuFileNew", "&New", ctrl(Qt::Key_N), &MainWindow::mnuFileNew_Click},
    {"mnuFileOpen", "&Open", ctrl(Qt::Key_O), &MainWindow::mnuFileOpen_Click},
    {"mnuFileSep0", "-", none, nullptr},
    {"mnuFileSave", "&Save", ctrl(Qt::Key_S), &MainWindow::mnuFileSave_Click},
    {"mnuFileSaveAs", "Save &As", none, &MainWindow::mnuFileSaveAs_Click},
    {"mnuFileSep1", "-", none, nullptr},
    {"mnuFilePrint", "&Print", ctrl(Qt::Key_P), &MainWindow::mnuFilePrint_Click},
    {"mnuFileSep2", "-", none, nullptr},
    {"mnuFileExit", "E&xit", ctrl(Qt::Key_Q), &MainWindow::mnuFileExit_Click},
};

const MenuItemEntry editItems[] = {
    {"Find", "Find", ctrl(Qt::Key_F), &MainWindow::Find_Click},
    {"mnuEditCut", "Cu&t", ctrl(Qt::Key_X), &MainWindow::mnuEditCut_Click},
    {"mnuEditCopy", "&Copy", ctrl(Qt::Key_C), &MainWindow::mnuEditCopy_Click},
    {"mnuEditPaste", "&Paste", ctrl(Qt::Key_V), &MainWindow::mnuEditPaste_Click},
};

const MenuItemEntry triggerItems[] = {
    {"Dclick", "Double Click", none, &MainWindow::Dclick_Click},
    {"Step", "Step", none, &MainWindow::Step_Click},
    {"Time", "Timer", none, &MainWindow::Time_Click},
    {"Unequip", "Unequip", none, &MainWindow::Unequip_Click},
    {"Spell", "Spell", none, &MainWindow::Spell_Click},
    {"Equip", "Equip", none, &MainWindow::Equip_Click},
    {"Dropongr", "Drop On Ground", none, &MainWindow::Dropongr_Click},
    {"DRPCHAR", "Drop On Char", none, &MainWindow::DRPCHAR_Click},
    {"Dmg", "Damage", none, &MainWindow::Dmg_Click},
    {"Hear", "Hear", none, &MainWindow::Hear_Click},
};

const MenuItemEntry formatItems[] = {
    {"mnuFormatFont", "&Font", ctrl(Qt::Key_T), &MainWindow::mnuFormatFont_Click},
    {"mnuFormatSep0", "-", none, nullptr},
    {"mnuFormatBold", "&Bold", ctrl(Qt::Key_B), &MainWindow::mnuFormatBold_Click, true},
    {"mnuFormatItalic", "&Italic", ctrl(Qt::Key_I), &MainWindow::mnuFormatItalic_Click, true},
    // Ctrl+Z is strikeout here; the program has no undo command.
    {"mnuFormatStrike", "&Strikeout", ctrl(Qt::Key_Z), &MainWindow::mnuFormatStrike_Click, true},
    {"mnuFormatUnder", "&Underline", ctrl(Qt::Key_U), &MainWindow::mnuFormatUnder_Click, true},
};

const MenuItemEntry helpItems[] = {
    {"TExplain", "Triggers Explained", none, &MainWindow::TExplain_Click},
    {"mnuHelpAbt", "About VxScript", none, &MainWindow::mnuHelpAbt_Click},
};

const MenuEntry menuBar[] = {
    {"mnuFile", "&File", fileItems},    {"mnuEdit", "&Edit", editItems},
    {"Trig", "Triggers", triggerItems}, {"mnuFormat", "For&mat", formatItems},
    {"mnuHelp", "&Help", helpItems},
};

} // namespace

std::span<const MenuEntry> mainMenuBar() { return menuBar; }
