#include "editing/TriggerKeywords.h"
#include "editor/ScriptEditor.h"
#include "shell/MainWindow.h"
#include "shell/MenuCommands.h"
#include "support/FakeServices.h"
#include "support/FakeTriggerHelp.h"
#include "support/TopLevelWindows.h"

#include <QAbstractScrollArea>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void select(EditorControl& text, int start, int length)
{
    text.setSelectionStart(start);
    text.setSelectionLength(length);
}

// The caption of the menu that holds the item.
QString menuOf(const QAction& item)
{
    for (QObject* holder : item.associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(holder))
            return menu->title();
    }
    return {};
}

// What one menu item works on: the window, the fakes behind it and a folder for files.
struct Bench {
    MainWindow& window;
    FakeServices& fakes;
    QAction& item;
    const QTemporaryDir& dir;
};

// Sets the scene, chooses the item and checks what it did.
using Effect = std::function<void(Bench&)>;

Effect writesAtTheCaret(QStringView keyword)
{
    return [keyword](Bench& b) {
        EditorControl& text = b.window.editor();
        text.setDocumentText(u"[item]\r\nname"_s);
        text.setSelectionStart(6);
        b.item.trigger();
        QCOMPARE(text.documentText(), u"[item]"_s + keyword.toString() + u"\r\nname"_s);
        QVERIFY(b.fakes.messageBox->asked.isEmpty());
        QVERIFY(b.fakes.commonDialog->shown.isEmpty());
    };
}

// The check mark shows the value the item wrote last; the text, not the
// check mark, decides what the item writes next.
Effect togglesWithItsCheckMark(std::optional<bool> SelectionFormat::*read)
{
    return [read](Bench& b) {
        EditorControl& text = b.window.editor();
        text.setDocumentText(u"plain words here"_s);
        select(text, 0, 5);
        b.item.trigger();
        QCOMPARE(text.selectionFormat().*read, std::optional<bool>(true));
        QVERIFY(b.item.isChecked());

        // Moving to other text leaves the check mark as it was.
        select(text, 6, 5);
        QVERIFY(b.item.isChecked());
        b.item.trigger();
        QCOMPARE(text.selectionFormat().*read, std::optional<bool>(true));
        QVERIFY(b.item.isChecked());

        b.item.trigger();
        QCOMPARE(text.selectionFormat().*read, std::optional<bool>(false));
        QVERIFY(!b.item.isChecked());
        select(text, 0, 5);
        QCOMPARE(text.selectionFormat().*read, std::optional<bool>(true));
    };
}

// The dialog's choice goes to the selection; the check marks belong to the
// toggles, and Font never changes them.
Effect appliesTheChosenFont()
{
    return [](Bench& b) {
        EditorControl& text = b.window.editor();
        text.setDocumentText(u"plain words here"_s);
        select(text, 6, 5);
        b.window.menuItem(u"mnuFormatUnder")->setChecked(true);
        b.fakes.commonDialog->fontAnswers.push_back(
            FontChoice{u"DejaVu Serif"_s, 17, true, false, true, false, QColor(0x12, 0x34, 0x56)});
        b.item.trigger();
        QCOMPARE(b.fakes.commonDialog->shown.size(), 1);
        QCOMPARE(b.fakes.commonDialog->shown[0].kind, FakeCommonDialog::Shown::Kind::Font);
        QCOMPARE(text.selectionFormat().name, std::optional(u"DejaVu Serif"_s));
        QCOMPARE(text.selectionFormat().bold, std::optional<bool>(true));
        QCOMPARE(text.selectionFormat().strikeout, std::optional<bool>(true));
        QVERIFY(!b.window.menuItem(u"mnuFormatBold")->isChecked());
        QVERIFY(!b.window.menuItem(u"mnuFormatStrike")->isChecked());
        QVERIFY(b.window.menuItem(u"mnuFormatUnder")->isChecked());
    };
}

// "def" of "abc def" is selected and the clipboard holds "XY".
Effect movesText(const QString& document, const QString& clipboard)
{
    return [document, clipboard](Bench& b) {
        EditorControl& text = b.window.editor();
        text.setDocumentText(u"abc def"_s);
        select(text, 4, 3);
        QGuiApplication::clipboard()->setText(u"XY"_s);
        b.item.trigger();
        QCOMPARE(text.documentText(), document);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    };
}

// Chosen twice, the item shows the same single window.
Effect opensItsOneWindow(const QString& name)
{
    return [name](Bench& b) {
        b.item.trigger();
        b.item.trigger();
        const QList<QWidget*> windows = windowsNamed(name);
        QCOMPARE(windows.size(), 1);
        QVERIFY(windows[0]->isVisible());
    };
}

// Asks the trigger help to show, once for each use, and shows no window here.
Effect asksForTheTriggerHelp()
{
    return [](Bench& b) {
        const auto help = fakeTriggerHelp(b.window.commands());
        b.item.trigger();
        b.item.trigger();
        QCOMPARE(help->shows, 2);
        QVERIFY(windowsNamed(u"Form4"_s).isEmpty());
    };
}

Effect emptiesTheDocumentOnceAllowed()
{
    return [](Bench& b) {
        b.window.editor().setDocumentText(u"unsaved"_s);
        b.fakes.messageBox->answers = {MessageBox::Answer::Yes};
        b.item.trigger();
        QCOMPARE(b.fakes.messageBox->asked.size(), 1);
        QCOMPARE(b.fakes.messageBox->asked[0].title, u"VX New..."_s);
        QCOMPARE(b.window.editor().documentText(), QString());
    };
}

Effect opensTheChosenFile()
{
    return [](Bench& b) {
        const QString path = b.dir.filePath(u"menu.vls"_s);
        QVERIFY(writeBytes(path, "from the menu"));
        b.fakes.commonDialog->fileAnswers = {path};
        b.item.trigger();
        QCOMPARE(b.window.editor().documentText(), u"from the menu"_s);
        QCOMPARE(b.window.windowTitle(), u"Vexlon Scriptor   "_s + path);
        QCOMPARE(b.window.currentFileName(), path);
    };
}

// An opened file is written back without a dialog; Save As asks for a name
// and leaves the opened file as it was.
Effect savesTheOpenedFile(bool underANewName)
{
    return [underANewName](Bench& b) {
        const QString opened = b.dir.filePath(u"opened.vls"_s);
        const QString other = b.dir.filePath(u"other.vls"_s);
        QVERIFY(writeBytes(opened, "opened"));
        b.fakes.commonDialog->fileAnswers = {opened};
        b.window.commands().files.openFile();
        b.window.editor().setDocumentText(u"edited"_s);
        if (underANewName)
            b.fakes.commonDialog->fileAnswers = {other};
        b.item.trigger();
        QCOMPARE(b.fakes.commonDialog->shown.size(), underANewName ? 2 : 1);
        QCOMPARE(readBytes(underANewName ? other : opened), "edited\r\n"_ba);
        QCOMPARE(readBytes(opened), underANewName ? "opened"_ba : "edited\r\n"_ba);
        QCOMPARE(b.window.currentFileName(), underANewName ? other : opened);
        if (underANewName)
            QCOMPARE(b.window.windowTitle(), u"Vexlon"_s + other);
    };
}

Effect printsTheDocument()
{
    return [](Bench& b) {
        b.window.editor().setDocumentText(u"to paper"_s);
        b.item.trigger();
        QCOMPARE(b.fakes.printer->attempts.size(), 1);
        QCOMPARE(b.fakes.printer->attempts[0].text, u"to paper"_s);
    };
}

Effect endsTheProgram()
{
    return [](Bench& b) {
        b.item.trigger();
        QCOMPARE(b.fakes.process->endCalls, 1);
    };
}

struct ItemRow {
    const char* name;
    QString menu;
    QString caption;
    // As QKeySequence::PortableText writes it; empty for none.
    QString shortcut;
    Effect effect;
};

QList<ItemRow> itemRows()
{
    using Reader = std::optional<bool> SelectionFormat::*;
    const QString file = u"&File"_s;
    const QString edit = u"&Edit"_s;
    const QString triggers = u"Triggers"_s;
    const QString format = u"For&mat"_s;
    const QString help = u"&Help"_s;
    return {
        {"mnuFileNew", file, u"&New"_s, u"Ctrl+N"_s, emptiesTheDocumentOnceAllowed()},
        {"mnuFileOpen", file, u"&Open"_s, u"Ctrl+O"_s, opensTheChosenFile()},
        {"mnuFileSave", file, u"&Save"_s, u"Ctrl+S"_s, savesTheOpenedFile(false)},
        {"mnuFileSaveAs", file, u"Save &As"_s, {}, savesTheOpenedFile(true)},
        {"mnuFilePrint", file, u"&Print"_s, u"Ctrl+P"_s, printsTheDocument()},
        {"mnuFileExit", file, u"E&xit"_s, u"Ctrl+Q"_s, endsTheProgram()},
        {"Find", edit, u"Find"_s, u"Ctrl+F"_s, opensItsOneWindow(u"Form3"_s)},
        {"mnuEditCut", edit, u"Cu&t"_s, u"Ctrl+X"_s, movesText(u"abc "_s, u"def"_s)},
        {"mnuEditCopy", edit, u"&Copy"_s, u"Ctrl+C"_s, movesText(u"abc def"_s, u"def"_s)},
        {"mnuEditPaste", edit, u"&Paste"_s, u"Ctrl+V"_s, movesText(u"abc XY"_s, u"XY"_s)},
        {"Dclick", triggers, u"Double Click"_s, {}, writesAtTheCaret(TriggerKeywords::doubleClick)},
        {"Step", triggers, u"Step"_s, {}, writesAtTheCaret(TriggerKeywords::step)},
        {"Time", triggers, u"Timer"_s, {}, writesAtTheCaret(TriggerKeywords::timer)},
        {"Unequip", triggers, u"Unequip"_s, {}, writesAtTheCaret(TriggerKeywords::unequip)},
        {"Spell", triggers, u"Spell"_s, {}, writesAtTheCaret(TriggerKeywords::spell)},
        {"Equip", triggers, u"Equip"_s, {}, writesAtTheCaret(TriggerKeywords::equip)},
        {"Dropongr",
         triggers,
         u"Drop On Ground"_s,
         {},
         writesAtTheCaret(TriggerKeywords::dropOnGround)},
        {"DRPCHAR", triggers, u"Drop On Char"_s, {}, writesAtTheCaret(TriggerKeywords::dropOnChar)},
        {"Dmg", triggers, u"Damage"_s, {}, writesAtTheCaret(TriggerKeywords::damage)},
        {"Hear", triggers, u"Hear"_s, {}, writesAtTheCaret(TriggerKeywords::hear)},
        {"mnuFormatFont", format, u"&Font"_s, u"Ctrl+T"_s, appliesTheChosenFont()},
        {"mnuFormatBold", format, u"&Bold"_s, u"Ctrl+B"_s,
         togglesWithItsCheckMark(Reader(&SelectionFormat::bold))},
        {"mnuFormatItalic", format, u"&Italic"_s, u"Ctrl+I"_s,
         togglesWithItsCheckMark(Reader(&SelectionFormat::italic))},
        // Ctrl+Z is strikeout: the program has no undo.
        {"mnuFormatStrike", format, u"&Strikeout"_s, u"Ctrl+Z"_s,
         togglesWithItsCheckMark(Reader(&SelectionFormat::strikeout))},
        {"mnuFormatUnder", format, u"&Underline"_s, u"Ctrl+U"_s,
         togglesWithItsCheckMark(Reader(&SelectionFormat::underline))},
        {"TExplain", help, u"Triggers Explained"_s, {}, asksForTheTriggerHelp()},
        {"mnuHelpAbt", help, u"About VxScript"_s, {}, opensItsOneWindow(u"Form2"_s)},
    };
}

} // namespace

Q_DECLARE_METATYPE(Effect)

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void everyMenuItemHasItsRow();
    void menuItemDoesWhatItSays_data();
    void menuItemDoesWhatItSays();
    void menuItemsStartEnabledAndUnchecked();
    void windowStartsWithCaptionSizeAndBlackBackground();
    void loadingLeavesTheClipboardAlone();
    void cornerBetweenTheScrollBarsIsInTheWindowColour();
    void resizeKeepsTheMinimumsAndSizesTheEditor_data();
    void resizeKeepsTheMinimumsAndSizesTheEditor();
    void menuShortcutsReachTheCommandsFromTheEditor_data();
    void menuShortcutsReachTheCommandsFromTheEditor();
    void ctrlZDoesNotUndoTyping();
    void editorHasTheKeysOnceTheWindowIsUsable();
    void editorHasTheKeysAgainWhenTheWindowIsActivatedAgain();
    void closingWithUnsavedEditsAsksFirst();
    void fileFromTheCommandLineOpensOnceTheWindowIsUsable();

private:
    FakeServices fakes;
    std::unique_ptr<MainWindow> window;
};

void TestMainWindow::init()
{
    fakes = FakeServices();
    window = std::make_unique<MainWindow>(fakes.take());
}

void TestMainWindow::cleanup()
{
    window.reset();
    QGuiApplication::clipboard()->clear();
}

// No item of the menu bar escapes the table below.
void TestMainWindow::everyMenuItemHasItsRow()
{
    QStringList inMenus;
    for (const QAction* menu : window->menuBar()->actions()) {
        QVERIFY(menu->menu());
        for (const QAction* item : menu->menu()->actions()) {
            if (!item->isSeparator())
                inMenus << item->objectName();
        }
    }
    QStringList inTable;
    for (const ItemRow& row : itemRows())
        inTable << QString::fromLatin1(row.name);
    inMenus.sort();
    inTable.sort();
    QCOMPARE(inMenus, inTable);
}

void TestMainWindow::menuItemDoesWhatItSays_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::addColumn<Effect>("effect");
    for (const ItemRow& row : itemRows())
        QTest::newRow(row.name) << row.menu << row.caption << row.shortcut << row.effect;
}

// Where the user finds the item, the key that chooses it, and what choosing it does.
void TestMainWindow::menuItemDoesWhatItSays()
{
    QFETCH(QString, menu);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    QFETCH(Effect, effect);
    QAction* item = window->menuItem(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(item);
    QCOMPARE(menuOf(*item), menu);
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->shortcut().toString(QKeySequence::PortableText), shortcut);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    Bench bench{*window, fakes, *item, dir};

    effect(bench);
}

void TestMainWindow::menuItemsStartEnabledAndUnchecked()
{
    const auto items = window->menuBar()->findChildren<QAction*>();
    QVERIFY(items.size() > 30);
    for (const QAction* item : items) {
        QVERIFY2(item->isEnabled() && item->isVisible() && !item->isChecked(),
                 qPrintable(item->objectName()));
    }
    for (const auto* toggle :
         {u"mnuFormatBold", u"mnuFormatItalic", u"mnuFormatStrike", u"mnuFormatUnder"})
        QVERIFY(window->menuItem(toggle)->isCheckable());
}

void TestMainWindow::windowStartsWithCaptionSizeAndBlackBackground()
{
    QCOMPARE(window->windowTitle(), u"Vexlon Script Editor"_s);
    QVERIFY(!window->windowIcon().isNull());
    // 8970 x 6720 twips of client area below the menu bar, 15 twips a pixel.
    QCOMPARE(window->width(), 598);
    QCOMPARE(window->height() - window->menuBar()->sizeHint().height(), 448);
    QCOMPARE(window->pos(), QPoint(110, 130));
    QCOMPARE(window->centralWidget()->palette().color(QPalette::Window), QColor(Qt::black));
    QCOMPARE(window->scriptEditor().pos(), QPoint(0, 0));
    QCOMPARE(window->scriptEditor().parentWidget(), window->centralWidget());
}

void TestMainWindow::loadingLeavesTheClipboardAlone()
{
    window.reset();
    QGuiApplication::clipboard()->setText(u"from another program"_s);
    window = std::make_unique<MainWindow>(FakeServices().take());
    // Creating the window object does not load it.
    QVERIFY(!window->isLoaded());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"from another program"_s);
    window->editor();
    QVERIFY(window->isLoaded());
    window->show();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"from another program"_s);

    // And it can be pasted into the script.
    window->menuItem(u"mnuEditPaste")->trigger();
    QCOMPARE(window->editor().documentText(), u"from another program"_s);
}

// The client area is black; the editor in it is not, the corner where its
// scroll bars meet included.
void TestMainWindow::cornerBetweenTheScrollBarsIsInTheWindowColour()
{
    window->editor().setDocumentText(QString(400, u'W') + QString(80, u'\n'));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto* text = window->findChild<QAbstractScrollArea*>(u"Text1"_s);
    QVERIFY(text);
    const QScrollBar* across = text->horizontalScrollBar();
    const QScrollBar* down = text->verticalScrollBar();
    QTRY_VERIFY(across->isVisible() && down->isVisible());
    const QPoint corner(down->mapTo(window.get(), QPoint(down->width() / 2, 0)).x(),
                        across->mapTo(window.get(), QPoint(0, across->height() / 2)).y());
    const QImage shot = window->grab().toImage();
    QCOMPARE(shot.pixelColor(corner), QApplication::palette().color(QPalette::Window));
}

void TestMainWindow::resizeKeepsTheMinimumsAndSizesTheEditor_data()
{
    // Outer sizes in pixels, frame included; 15 twips a pixel.
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("kept");
    QTest::newRow("start size") << QSize(598, 468) << QSize(598, 468);
    QTest::newRow("narrower than 6495") << QSize(300, 468) << QSize(433, 468);
    QTest::newRow("exactly 6495 wide") << QSize(433, 468) << QSize(433, 468);
    QTest::newRow("6510 wide stays") << QSize(434, 468) << QSize(434, 468);
    QTest::newRow("lower than 2000") << QSize(598, 100) << QSize(598, 140);
    QTest::newRow("1995 high") << QSize(598, 133) << QSize(598, 140);
    QTest::newRow("2010 high stays") << QSize(598, 134) << QSize(598, 134);
    QTest::newRow("both minimums") << QSize(50, 50) << QSize(433, 140);
}

void TestMainWindow::resizeKeepsTheMinimumsAndSizesTheEditor()
{
    QFETCH(QSize, requested);
    QFETCH(QSize, kept);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QSize frame = window->frameGeometry().size() - window->size();
    window->resize(requested - frame);
    QTRY_COMPARE(window->frameGeometry().size(), kept);
    // The editor is 100 twips narrower and 680 twips lower than the outer window.
    const QSize editor = window->scriptEditor().size();
    QCOMPARE(editor.width(), qRound((kept.width() * 15 - 100) / 15.0));
    QCOMPARE(editor.height(), qRound((kept.height() * 15 - 680) / 15.0));
}

void TestMainWindow::menuShortcutsReachTheCommandsFromTheEditor_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("key");
    QTest::newRow("cut") << u"mnuEditCut"_s << int(Qt::Key_X);
    QTest::newRow("copy") << u"mnuEditCopy"_s << int(Qt::Key_C);
    QTest::newRow("paste") << u"mnuEditPaste"_s << int(Qt::Key_V);
    QTest::newRow("strikeout") << u"mnuFormatStrike"_s << int(Qt::Key_Z);
    QTest::newRow("bold") << u"mnuFormatBold"_s << int(Qt::Key_B);
    QTest::newRow("italic") << u"mnuFormatItalic"_s << int(Qt::Key_I);
    QTest::newRow("underline") << u"mnuFormatUnder"_s << int(Qt::Key_U);
    QTest::newRow("find") << u"Find"_s << int(Qt::Key_F);
    QTest::newRow("exit") << u"mnuFileExit"_s << int(Qt::Key_Q);
}

void TestMainWindow::menuShortcutsReachTheCommandsFromTheEditor()
{
    QFETCH(QString, item);
    QFETCH(int, key);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    ScriptEditor& editor = window->scriptEditor();
    editor.setFocus();
    editor.setDocumentText(u"some text"_s);
    editor.selectAll();

    QSignalSpy triggered(window->menuItem(item), &QAction::triggered);
    QTest::keyClick(&editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
    // The widget's own handling of the key (copy, cut, paste, undo) never ran instead.
    if (item != u"mnuEditCut"_s && item != u"mnuEditPaste"_s)
        QCOMPARE(editor.documentText(), u"some text"_s);
}

void TestMainWindow::ctrlZDoesNotUndoTyping()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    ScriptEditor& editor = window->scriptEditor();
    editor.setFocus();
    QTest::keyClicks(&editor, u"abc"_s);
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.documentText(), u"abc"_s);
}

// The splash shows the window disabled, and the window manager activates it
// while it is: no widget can take the focus then, so enabling it must give
// the editor the keys, or the first keys typed are lost.
void TestMainWindow::editorHasTheKeysOnceTheWindowIsUsable()
{
    window->show();
    window->setEnabled(false);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(!window->scriptEditor().hasFocus());

    window->setEnabled(true);

    QCOMPARE(QApplication::focusWidget(), &window->scriptEditor());
    QTest::keyClicks(QApplication::focusWidget(), u"typed at once"_s);
    QCOMPARE(window->editor().documentText(), u"typed at once"_s);
}

void TestMainWindow::editorHasTheKeysAgainWhenTheWindowIsActivatedAgain()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    window->editor().setDocumentText(u"0123456789"_s);
    window->editor().setSelectionStart(4);
    // Something else in the window had the keys before a dialog took them.
    auto* other = new QLineEdit(window->centralWidget());
    other->show();
    other->setFocus();
    QVERIFY(other->hasFocus());

    QWidget dialog;
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.close();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));

    QCOMPARE(QApplication::focusWidget(), &window->scriptEditor());
    QCOMPARE(window->editor().selectionStart(), 4);
}

void TestMainWindow::closingWithUnsavedEditsAsksFirst()
{
    window->show();
    QVERIFY(window->close());
    QVERIFY(fakes.messageBox->asked.isEmpty());

    window->show();
    window->editor().setSelectedText(u"unsaved"_s);
    fakes.messageBox->answers = {MessageBox::Answer::Cancel};
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    fakes.messageBox->answers = {MessageBox::Answer::No};
    QVERIFY(window->close());
    QCOMPARE(fakes.messageBox->asked.size(), 2);
    QCOMPARE(fakes.messageBox->asked.last().prompt, u"Save changes to Untitled?"_s);
    QCOMPARE(fakes.process->endCalls, 0);
}

// As File > Open would, but only once the splash screen has handed over: a
// failure is then reported over a window that takes input.
void TestMainWindow::fileFromTheCommandLineOpensOnceTheWindowIsUsable()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"npc.scp"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("ONTRIGGER=DCLICK\r\nRETURN 1\r\n");
    file.close();
    window->show();
    window->setEnabled(false);

    window->openWhenUsable(path);
    window->openWhenUsable(folder.filePath(u"missing.scp"_s));
    QCoreApplication::processEvents();
    QCOMPARE(window->editor().documentText(), QString());

    fakes.messageBox->answers = {MessageBox::Answer::Ok};
    window->setEnabled(true);
    QTRY_COMPARE(fakes.messageBox->asked.size(), 1);
    QCOMPARE(fakes.messageBox->asked[0].title, u"VX Open..."_s);
    QVERIFY(fakes.messageBox->asked[0].prompt.contains(u"missing.scp"_s));

    window->openWhenUsable(path);
    QCOMPARE(window->windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(window->currentFileName(), path);
    QCOMPARE(window->editor().documentText(), u"ONTRIGGER=DCLICK\r\nRETURN 1\r\n"_s);
    QVERIFY(!window->editor().isModified());
}

QTEST_MAIN(TestMainWindow)

#include "tst_mainwindow.moc"
