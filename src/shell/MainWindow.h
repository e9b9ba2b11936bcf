#pragma once

#include "platform/Services.h"

#include <QMainWindow>
#include <QPointer>

class EditorControl;
class ScriptEditor;
class FileCommands;
class ClipboardCommands;
class FormatCommands;
class PrintCommand;
class AboutBox;
class FindDialog;
class TriggerHelpWindow;

// The main editor window: a menu bar over the editing area. Every user
// command is one of its menu handlers. It owns its services, and the
// secondary windows it opened are closed with it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Services services);
    ~MainWindow() override;

    // Runs the load step once: it empties the clipboard. Every use of the
    // window's contents goes through here.
    void load();
    bool isLoaded() const { return loaded_; }

    EditorControl& editor();
    ScriptEditor& scriptEditor();
    CommonDialog& commonDialog();
    MessageBox& messageBox();
    QString currentFileName() const;
    // The menu item of that name, such as "mnuFormatBold".
    QAction* menuItem(QStringView name) const;

    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();

    void Find_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();

    void Dclick_Click();
    void Step_Click();
    void Time_Click();
    void Unequip_Click();
    void Spell_Click();
    void Equip_Click();
    void Dropongr_Click();
    void DRPCHAR_Click();
    void Dmg_Click();
    void Hear_Click();

    void mnuFormatFont_Click();
    void mnuFormatBold_Click();
    void mnuFormatItalic_Click();
    void mnuFormatStrike_Click();
    void mnuFormatUnder_Click();

    void TExplain_Click();
    void mnuHelpAbt_Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenuBar();
    void writeTrigger(QStringView keyword);
    void setOuterSize(QSize pixels);
    void applySizeRules();

    Services services_;
    ScriptEditor* editor_;
    std::unique_ptr<FileCommands> files_;
    std::unique_ptr<ClipboardCommands> clipboard_;
    std::unique_ptr<FormatCommands> format_;
    std::unique_ptr<PrintCommand> print_;
    QPointer<AboutBox> aboutBox_;
    QPointer<FindDialog> findDialog_;
    QPointer<TriggerHelpWindow> triggerHelpWindow_;
    bool loaded_ = false;
    // The window frame's size when the resize rule last ran.
    QSize ruleFrame_;
};
