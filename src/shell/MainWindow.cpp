#include "shell/MainWindow.h"

#include "document/FileCommands.h"
#include "document/PrintCommand.h"
#include "editing/ClipboardCommands.h"
#include "editing/EditorTextMirror.h"
#include "editing/FindDialog.h"
#include "editing/FormatCommands.h"
#include "editing/TriggerKeywords.h"
#include "editor/ScriptEditor.h"
#include "help/AboutBox.h"
#include "help/TriggerHelpWindow.h"
#include "platform/Twips.h"
#include "shell/MenuTable.h"
#include "shell/SingleWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

MainWindow::MainWindow(Services services)
    : services_(std::move(services))
    , editor_(new ScriptEditor)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Vexlon Script Editor"_s);
    setWindowIcon(QIcon(u":/icons/mainwindow.png"_s));

    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette black = client->palette();
    black.setColor(QPalette::Window, Qt::black);
    client->setPalette(black);
    setCentralWidget(client);

    editor_->setParent(client);
    editor_->setObjectName(u"Text1"_s);
    editor_->setGeometry(0, 0, pixelsFromTwips(1635), pixelsFromTwips(1050));

    files_ = std::make_unique<FileCommands>(*editor_, *services_.commonDialog,
                                            *services_.messageBox, *services_.process, *this);
    clipboard_ = std::make_unique<ClipboardCommands>(*editor_);
    format_ = std::make_unique<FormatCommands>(*editor_, *services_.commonDialog);
    // Follows every edit from the start, so that Find has the text at hand.
    EditorTextMirror::of(*editor_->document());
    print_ = std::make_unique<PrintCommand>(*editor_, *services_.printer, *services_.messageBox);

    buildMenuBar();
    setGeometry(pixelsFromTwips(1650), pixelsFromTwips(1950), pixelsFromTwips(8970),
                pixelsFromTwips(6720) + menuBar()->sizeHint().height());
}

MainWindow::~MainWindow()
{
    delete aboutBox_;
    delete findDialog_;
    delete triggerHelpWindow_;
}

void MainWindow::buildMenuBar()
{
    QList<QKeyCombination> shortcuts;
    for (const MenuEntry& menuEntry : mainMenuBar()) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(menuEntry.caption));
        menu->setObjectName(QString::fromLatin1(menuEntry.name));
        for (const MenuItemEntry& item : menuEntry.items) {
            QAction* action = item.handler ? menu->addAction(QString::fromLatin1(item.caption))
                                           : menu->addSeparator();
            action->setObjectName(QString::fromLatin1(item.name));
            if (!item.handler)
                continue;
            // Every shortcut is set here: no platform binding is relied on.
            action->setShortcut(QKeySequence(item.shortcut));
            action->setCheckable(item.checkable);
            if (item.shortcut != QKeyCombination())
                shortcuts << item.shortcut;
            connect(action, &QAction::triggered, this, item.handler);
        }
    }
    editor_->setReservedShortcuts(shortcuts);

    // The editor's own context menu would copy and paste past the program's commands.
    editor_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto* name : {u"mnuEditCut", u"mnuEditCopy", u"mnuEditPaste", u"Find"})
        editor_->addAction(menuItem(name));
}

QAction* MainWindow::menuItem(QStringView name) const
{
    return findChild<QAction*>(name.toString());
}

void MainWindow::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    // Whatever was on the clipboard before the program started is not pasted into a script.
    QGuiApplication::clipboard()->clear();
}

EditorControl& MainWindow::editor()
{
    load();
    return *editor_;
}

ScriptEditor& MainWindow::scriptEditor()
{
    load();
    return *editor_;
}

CommonDialog& MainWindow::commonDialog() { return *services_.commonDialog; }

MessageBox& MainWindow::messageBox() { return *services_.messageBox; }

QString MainWindow::currentFileName() const { return files_->currentFileName(); }

void MainWindow::showEvent(QShowEvent* event)
{
    load();
    QMainWindow::showEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    applySizeRules();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    // The window manager adds its frame after the window first shows, which
    // the resize rule counts: run it again once the frame is known.
    if (frameGeometry().size() - size() != ruleFrame_)
        applySizeRules();
}

// The editor is the one place the keyboard belongs: when the window becomes
// usable after the splash, and whenever it is active again after a dialog or
// another window. The caret stays where it was.
void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    const bool takesKeys = (event->type() == QEvent::EnabledChange && isEnabled())
                           || (event->type() == QEvent::ActivationChange && isActiveWindow());
    if (takesKeys && isEnabled())
        editor_->setFocus(Qt::ActiveWindowFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (files_->mayCloseWindow())
        event->accept();
    else
        event->ignore();
}

void MainWindow::setOuterSize(QSize pixels)
{
    const QSize frame = frameGeometry().size() - size();
    resize(pixels - frame);
}

// The minimums and the editor's size work on the outer size of the window,
// borders, caption and menu bar included, in twips.
void MainWindow::applySizeRules()
{
    if (!isMinimized()) {
        if (twipsFromPixels(frameGeometry().width()) <= 6495)
            setOuterSize({pixelsFromTwips(6490), frameGeometry().height()});
        if (twipsFromPixels(frameGeometry().height()) <= 2000)
            setOuterSize({frameGeometry().width(), pixelsFromTwips(2100)});
    }
    const QSize outer = frameGeometry().size();
    ruleFrame_ = outer - size();
    editor_->resize(pixelsFromTwips(twipsFromPixels(outer.width()) - 100),
                    pixelsFromTwips(twipsFromPixels(outer.height()) - 680));
}

void MainWindow::mnuFileNew_Click() { files_->newFile(); }
void MainWindow::mnuFileOpen_Click() { files_->openFile(); }
void MainWindow::mnuFileSave_Click() { files_->save(); }
void MainWindow::mnuFileSaveAs_Click() { files_->saveAs(); }
void MainWindow::mnuFilePrint_Click() { print_->print(); }
void MainWindow::mnuFileExit_Click() { files_->exit(); }

void MainWindow::Find_Click() { showSingleWindow(findDialog_); }
void MainWindow::mnuEditCut_Click() { clipboard_->cut(); }
void MainWindow::mnuEditCopy_Click() { clipboard_->copy(); }
void MainWindow::mnuEditPaste_Click() { clipboard_->paste(); }

void MainWindow::writeTrigger(QStringView keyword) { editor().setSelectedText(keyword.toString()); }
void MainWindow::Dclick_Click() { writeTrigger(TriggerKeywords::Dclick); }
void MainWindow::Step_Click() { writeTrigger(TriggerKeywords::Step); }
void MainWindow::Time_Click() { writeTrigger(TriggerKeywords::Time); }
void MainWindow::Unequip_Click() { writeTrigger(TriggerKeywords::Unequip); }
void MainWindow::Spell_Click() { writeTrigger(TriggerKeywords::Spell); }
void MainWindow::Equip_Click() { writeTrigger(TriggerKeywords::Equip); }
void MainWindow::Dropongr_Click() { writeTrigger(TriggerKeywords::Dropongr); }
void MainWindow::DRPCHAR_Click() { writeTrigger(TriggerKeywords::DRPCHAR); }
void MainWindow::Dmg_Click() { writeTrigger(TriggerKeywords::Dmg); }
void MainWindow::Hear_Click() { writeTrigger(TriggerKeywords::Hear); }

void MainWindow::mnuFormatFont_Click() { format_->chooseFont(); }
void MainWindow::mnuFormatBold_Click()
{
    menuItem(u"mnuFormatBold")->setChecked(format_->toggleBold());
}
void MainWindow::mnuFormatItalic_Click()
{
    menuItem(u"mnuFormatItalic")->setChecked(format_->toggleItalic());
}
void MainWindow::mnuFormatStrike_Click()
{
    menuItem(u"mnuFormatStrike")->setChecked(format_->toggleStrikeout());
}
void MainWindow::mnuFormatUnder_Click()
{
    menuItem(u"mnuFormatUnder")->setChecked(format_->toggleUnderline());
}

void MainWindow::TExplain_Click() { showSingleWindow(triggerHelpWindow_); }
void MainWindow::mnuHelpAbt_Click() { showSingleWindow(aboutBox_); }
