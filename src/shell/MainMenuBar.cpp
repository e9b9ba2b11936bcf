#include "editing/FindDialog.h"
#include "editing/TriggerKeywords.h"
#include "editor/EditorControl.h"
#include "help/AboutBox.h"
#include "platform/SingleWindow.h"
#include "shell/MainWindow.h"
#include "shell/MenuCommands.h"
#include "shell/MenuTable.h"

#include <QAction>

namespace {

using Run = MenuItemEntry::Run;

constexpr QKeyCombination none{};
constexpr QKeyCombination ctrl(Qt::Key key) { return Qt::CTRL | key; }

// Writes the keyword over the selection, or at the caret.
Run writes(QStringView keyword)
{
    return [keyword](MainWindow& window, QAction&) {
        window.editor().setSelectedText(keyword.toString());
    };
}

// Toggles an attribute of the selection; the item's check mark shows the
// value written, or stays as it was when nothing was written.
Run toggles(std::optional<bool> (FormatCommands::*toggle)())
{
    return [toggle](MainWindow& window, QAction& item) {
        // A checkable action has already flipped its mark when it triggers.
        const bool wasChecked = !item.isChecked();
        item.setChecked((window.commands().format.*toggle)().value_or(wasChecked));
    };
}

const MenuItemEntry fileItems[] = {
    {"mnuFileNew", "&New", ctrl(Qt::Key_N),
     [](MainWindow& window, QAction&) { window.commands().files.newFile(); }},
    {"mnuFileOpen", "&Open", ctrl(Qt::Key_O),
     [](MainWindow& window, QAction&) { window.commands().files.openFile(); }},
    {"mnuFileSep0", "-", none, nullptr},
    {"mnuFileSave", "&Save", ctrl(Qt::Key_S),
     [](MainWindow& window, QAction&) { window.commands().files.save(); }},
    {"mnuFileSaveAs", "Save &As", none,
     [](MainWindow& window, QAction&) { window.commands().files.saveAs(); }},
    {"mnuFileSep1", "-", none, nullptr},
    {"mnuFilePrint", "&Print", ctrl(Qt::Key_P),
     [](MainWindow& window, QAction&) { window.commands().print.print(); }},
    {"mnuFileSep2", "-", none, nullptr},
    {"mnuFileExit", "E&xit", ctrl(Qt::Key_Q),
     [](MainWindow& window, QAction&) { window.commands().files.exit(); }},
};

const MenuItemEntry editItems[] = {
    {"Find", "Find", ctrl(Qt::Key_F),
     [](MainWindow& window, QAction&) {
         MenuCommands& commands = window.commands();
         showSingleWindow(commands.findDialog, commands.editor);
     }},
    {"mnuEditCut", "Cu&t", ctrl(Qt::Key_X),
     [](MainWindow& window, QAction&) { window.commands().clipboard.cut(); }},
    {"mnuEditCopy", "&Copy", ctrl(Qt::Key_C),
     [](MainWindow& window, QAction&) { window.commands().clipboard.copy(); }},
    {"mnuEditPaste", "&Paste", ctrl(Qt::Key_V),
     [](MainWindow& window, QAction&) { window.commands().clipboard.paste(); }},
};

const MenuItemEntry triggerItems[] = {
    {"Dclick", "Double Click", none, writes(TriggerKeywords::doubleClick)},
    {"Step", "Step", none, writes(TriggerKeywords::step)},
    {"Time", "Timer", none, writes(TriggerKeywords::timer)},
    {"Unequip", "Unequip", none, writes(TriggerKeywords::unequip)},
    {"Spell", "Spell", none, writes(TriggerKeywords::spell)},
    {"Equip", "Equip", none, writes(TriggerKeywords::equip)},
    {"Dropongr", "Drop On Ground", none, writes(TriggerKeywords::dropOnGround)},
    {"DRPCHAR", "Drop On Char", none, writes(TriggerKeywords::dropOnChar)},
    {"Dmg", "Damage", none, writes(TriggerKeywords::damage)},
    {"Hear", "Hear", none, writes(TriggerKeywords::hear)},
};

const MenuItemEntry formatItems[] = {
    {"mnuFormatFont", "&Font", ctrl(Qt::Key_T),
     [](MainWindow& window, QAction&) { window.commands().format.chooseFont(); }},
    {"mnuFormatSep0", "-", none, nullptr},
    {"mnuFormatBold", "&Bold", ctrl(Qt::Key_B), toggles(&FormatCommands::toggleBold), true},
    {"mnuFormatItalic", "&Italic", ctrl(Qt::Key_I), toggles(&FormatCommands::toggleItalic), true},
    // Ctrl+Z is strikeout here; the program has no undo command.
    {"mnuFormatStrike", "&Strikeout", ctrl(Qt::Key_Z), toggles(&FormatCommands::toggleStrikeout),
     true},
    {"mnuFormatUnder", "&Underline", ctrl(Qt::Key_U), toggles(&FormatCommands::toggleUnderline),
     true},
};

const MenuItemEntry helpItems[] = {
    {"TExplain", "Triggers Explained", none,
     [](MainWindow& window, QAction&) { window.commands().triggerHelp->show(); }},
    {"mnuHelpAbt", "About VxScript", none,
     [](MainWindow& window, QAction&) { showSingleWindow(window.commands().aboutBox); }},
};

const MenuEntry menuBar[] = {
    {"mnuFile", "&File", fileItems},    {"mnuEdit", "&Edit", editItems},
    {"Trig", "Triggers", triggerItems}, {"mnuFormat", "For&mat", formatItems},
    {"mnuHelp", "&Help", helpItems},
};

} // namespace

std::span<const MenuEntry> mainMenuBar() { return menuBar; }
