#include "shell/Form1.h"

#include "document/FileCommands.h"
#include "document/PrintCommand.h"
#include "editing/ClipboardCommands.h"
#include "editing/EditorTextMirror.h"
#include "editing/Form3.h"
#include "editing/FormatCommands.h"
#include "editing/TriggerKeywords.h"
#include "editor/RichTextBox.h"
#include "help/Form2.h"
#include "help/Form4.h"
#include "platform/Twips.h"
#include "shell/MenuTable.h"
#include "shell/SingleWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QMenuBar>

using namespace Qt::StringLiterals;

Form1::Form1(Services services)
    : services_(std::move(services))
    , text1_(new RichTextBox)
{
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Vexlon Script Editor"_s);
    setWindowIcon(QIcon(u":/icons/form1.png"_s));

    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette black = client->palette();
    black.setColor(QPalette::Window, Qt::black);
    client->setPalette(black);
    setCentralWidget(client);

    text1_->setParent(client);
    text1_->setObjectName(u"Text1"_s);
    text1_->setGeometry(0, 0, pixelsFromTwips(1635), pixelsFromTwips(1050));

    files_ = std::make_unique<FileCommands>(*text1_, *services_.commonDialog, *services_.messageBox,
                                            *services_.process, *this);
    clipboard_ = std::make_unique<ClipboardCommands>(*text1_);
    format_ = std::make_unique<FormatCommands>(*text1_, *services_.commonDialog);
    // Follows every edit from the start, so that Find has the text at hand.
    EditorTextMirror::of(*text1_->document());
    print_ = std::make_unique<PrintCommand>(*text1_, *services_.printer, *services_.messageBox);

    buildMenuBar();
    setGeometry(pixelsFromTwips(1650), pixelsFromTwips(1950), pixelsFromTwips(8970),
                pixelsFromTwips(6720) + menuBar()->sizeHint().height());
}

Form1::~Form1()
{
    delete form2_;
    delete form3_;
    delete form4_;
}

void Form1::buildMenuBar()
{
    QList<QKeyCombination> shortcuts;
    for (const MenuEntry& menuEntry : form1MenuBar()) {
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
    text1_->setReservedShortcuts(shortcuts);

    // The editor's own context menu would copy and paste past the program's commands.
    text1_->setContextMenuPolicy(Qt::ActionsContextMenu);
    for (const auto* name : {u"mnuEditCut", u"mnuEditCopy", u"mnuEditPaste", u"Find"})
        text1_->addAction(menuItem(name));
}

QAction* Form1::menuItem(QStringView name) const { return findChild<QAction*>(name.toString()); }

void Form1::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    Form_Load();
}

EditorControl& Form1::Text1()
{
    load();
    return *text1_;
}

RichTextBox& Form1::editorWidget()
{
    load();
    return *text1_;
}

CommonDialog& Form1::CommonDialog1() { return *services_.commonDialog; }

MessageBox& Form1::messageBox() { return *services_.messageBox; }

QString Form1::CurrentFileName() const { return files_->CurrentFileName(); }

void Form1::showEvent(QShowEvent* event)
{
    load();
    QMainWindow::showEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void Form1::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    rerunResizeRuleIfTheFrameChanged();
}

// The window manager adds its frame after the window first shows, and tells
// of it at no fixed moment: by a move, or only by the time it activates the
// window. The resize rule counts the frame, so it runs again once it is known.
void Form1::rerunResizeRuleIfTheFrameChanged()
{
    if (frameGeometry().size() - size() != ruleFrame_)
        Form_Resize();
}

// The editor is the one place the keyboard belongs: when the window becomes
// usable after the splash, and whenever it is active again after a dialog or
// another window. The caret stays where it was.
void Form1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        rerunResizeRuleIfTheFrameChanged();
    const bool takesKeys = (event->type() == QEvent::EnabledChange && isEnabled())
                           || (event->type() == QEvent::ActivationChange && isActiveWindow());
    if (takesKeys && isEnabled())
        text1_->setFocus(Qt::ActiveWindowFocusReason);
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (files_->mayCloseWindow())
        event->accept();
    else
        event->ignore();
}

void Form1::Form_Load()
{
    // Whatever was on the clipboard before the program started is not pasted into a script.
    QGuiApplication::clipboard()->clear();
}

void Form1::setOuterSize(QSize pixels)
{
    const QSize frame = frameGeometry().size() - size();
    resize(pixels - frame);
}

// The minimums and the editor's size work on the outer size of the window,
// borders, caption and menu bar included, in twips.
void Form1::Form_Resize()
{
    if (!isMinimized()) {
        if (twipsFromPixels(frameGeometry().width()) <= 6495)
            setOuterSize({pixelsFromTwips(6490), frameGeometry().height()});
        if (twipsFromPixels(frameGeometry().height()) <= 2000)
            setOuterSize({frameGeometry().width(), pixelsFromTwips(2100)});
    }
    const QSize outer = frameGeometry().size();
    ruleFrame_ = outer - size();
    text1_->resize(pixelsFromTwips(twipsFromPixels(outer.width()) - 100),
                   pixelsFromTwips(twipsFromPixels(outer.height()) - 680));
}

void Form1::mnuFileNew_Click() { files_->New(); }
void Form1::mnuFileOpen_Click() { files_->Open(); }
void Form1::mnuFileSave_Click() { files_->Save(); }
void Form1::mnuFileSaveAs_Click() { files_->SaveAs(); }
void Form1::mnuFilePrint_Click() { print_->Print(); }
void Form1::mnuFileExit_Click() { files_->Exit(); }

void Form1::Find_Click() { showSingleWindow(form3_); }
void Form1::mnuEditCut_Click() { clipboard_->Cut(); }
void Form1::mnuEditCopy_Click() { clipboard_->Copy(); }
void Form1::mnuEditPaste_Click() { clipboard_->Paste(); }

void Form1::writeTrigger(QStringView keyword) { Text1().setSelectedText(keyword.toString()); }
void Form1::Dclick_Click() { writeTrigger(TriggerKeywords::Dclick); }
void Form1::Step_Click() { writeTrigger(TriggerKeywords::Step); }
void Form1::Time_Click() { writeTrigger(TriggerKeywords::Time); }
void Form1::Unequip_Click() { writeTrigger(TriggerKeywords::Unequip); }
void Form1::Spell_Click() { writeTrigger(TriggerKeywords::Spell); }
void Form1::Equip_Click() { writeTrigger(TriggerKeywords::Equip); }
void Form1::Dropongr_Click() { writeTrigger(TriggerKeywords::Dropongr); }
void Form1::DRPCHAR_Click() { writeTrigger(TriggerKeywords::DRPCHAR); }
void Form1::Dmg_Click() { writeTrigger(TriggerKeywords::Dmg); }
void Form1::Hear_Click() { writeTrigger(TriggerKeywords::Hear); }

void Form1::mnuFormatFont_Click() { format_->Font(); }
void Form1::mnuFormatBold_Click() { menuItem(u"mnuFormatBold")->setChecked(format_->Bold()); }
void Form1::mnuFormatItalic_Click() { menuItem(u"mnuFormatItalic")->setChecked(format_->Italic()); }
void Form1::mnuFormatStrike_Click()
{
    menuItem(u"mnuFormatStrike")->setChecked(format_->Strikeout());
}
void Form1::mnuFormatUnder_Click()
{
    menuItem(u"mnuFormatUnder")->setChecked(format_->Underline());
}

void Form1::TExplain_Click() { showSingleWindow(form4_); }
void Form1::mnuHelpAbt_Click() { showSingleWindow(form2_); }
