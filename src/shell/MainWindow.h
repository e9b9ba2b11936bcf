#pragma once

#include "platform/Services.h"

#include <QMainWindow>
#include <memory>

class EditorControl;
class ScriptEditor;
struct MenuCommands;

// The main editor window: a menu bar over the editing area. Every user
// command is an item of its menu bar. It owns its services, and the
// secondary windows it opened are closed with it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Services services);
    ~MainWindow() override;

    // Runs the load step once. Every use of the window's contents goes
    // through here. It leaves the clipboard alone: what the user copied
    // elsewhere before the editor started is theirs to paste into a script.
    void load();
    bool isLoaded() const { return loaded_; }

    EditorControl& editor();
    ScriptEditor& scriptEditor();
    CommonDialog& commonDialog();
    MessageBox& messageBox();
    QString currentFileName() const;
    // The menu item of that name, such as "mnuFormatBold".
    QAction* menuItem(QStringView name) const;
    // What the menu items work on.
    MenuCommands& commands() { return *commands_; }
    // Opens the file as File > Open would, once the window takes input (the
    // splash screen has handed over): a failure is then reported over it.
    void openWhenUsable(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenuBar();
    void setOuterSize(QSize pixels);
    void applySizeRules();
    void applySizeRulesIfTheFrameChanged();

    Services services_;
    ScriptEditor* editor_;
    std::unique_ptr<MenuCommands> commands_;
    bool loaded_ = false;
    // The window frame's size when the resize rule last ran.
    QSize ruleFrame_;
    QString pendingFile_;
};
