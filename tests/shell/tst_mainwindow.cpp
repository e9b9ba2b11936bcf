#include "editor/ScriptEditor.h"
#include "shell/MainWindow.h"
#include "support/FakeServices.h"

#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

struct FormatItem {
    const char* name;
    std::optional<bool> (EditorControl::*read)() const;
};

const FormatItem formatItems[] = {
    {"mnuFormatBold", &EditorControl::selectionBold},
    {"mnuFormatItalic", &EditorControl::selectionItalic},
    {"mnuFormatStrike", &EditorControl::selectionStrikeout},
    {"mnuFormatUnder", &EditorControl::selectionUnderline},
};

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

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void menuBarIsLaidOutAsDesigned();
    void menuItemsStartEnabledAndUnchecked();
    void windowStartsWithCaptionSizeAndBlackBackground();
    void loadingEmptiesTheClipboardOnce();
    void resizeKeepsTheMinimumsAndSizesTheEditor_data();
    void resizeKeepsTheMinimumsAndSizesTheEditor();
    void menuShortcutsReachTheCommandsFromTheEditor_data();
    void menuShortcutsReachTheCommandsFromTheEditor();
    void ctrlZDoesNotUndoTyping();
    void editorHasTheKeysOnceTheWindowIsUsable();
    void editorHasTheKeysAgainWhenTheWindowIsActivatedAgain();
    void closingWithUnsavedEditsAsksFirst();
    void triggersWriteTheirKeywordAtTheCaret();
    void formatItemsCheckTheValueWritten_data();
    void formatItemsCheckTheValueWritten();
    void fontItemLeavesTheCheckMarks();
    void fileMenuRunsTheFileCommands();

private:
    std::unique_ptr<MainWindow> window;
};

void TestMainWindow::init() { window = std::make_unique<MainWindow>(FakeServices().take()); }

void TestMainWindow::cleanup() { window.reset(); }

void TestMainWindow::menuBarIsLaidOutAsDesigned()
{
    // name, caption, shortcut; "-" captions are separators.
    struct Item {
        QString name, caption, shortcut;
    };
    struct Menu {
        QString name, caption;
        QList<Item> items;
    };
    const QList<Menu> expected = {
        {u"mnuFile"_s,
         u"&File"_s,
         {{u"mnuFileNew"_s, u"&New"_s, u"Ctrl+N"_s},
          {u"mnuFileOpen"_s, u"&Open"_s, u"Ctrl+O"_s},
          {u"mnuFileSep0"_s, u"-"_s, {}},
          {u"mnuFileSave"_s, u"&Save"_s, u"Ctrl+S"_s},
          {u"mnuFileSaveAs"_s, u"Save &As"_s, {}},
          {u"mnuFileSep1"_s, u"-"_s, {}},
          {u"mnuFilePrint"_s, u"&Print"_s, u"Ctrl+P"_s},
          {u"mnuFileSep2"_s, u"-"_s, {}},
          {u"mnuFileExit"_s, u"E&xit"_s, u"Ctrl+Q"_s}}},
        {u"mnuEdit"_s,
         u"&Edit"_s,
         {{u"Find"_s, u"Find"_s, u"Ctrl+F"_s},
          {u"mnuEditCut"_s, u"Cu&t"_s, u"Ctrl+X"_s},
          {u"mnuEditCopy"_s, u"&Copy"_s, u"Ctrl+C"_s},
          {u"mnuEditPaste"_s, u"&Paste"_s, u"Ctrl+V"_s}}},
        {u"Trig"_s,
         u"Triggers"_s,
         {{u"Dclick"_s, u"Double Click"_s, {}},
          {u"Step"_s, u"Step"_s, {}},
          {u"Time"_s, u"Timer"_s, {}},
          {u"Unequip"_s, u"Unequip"_s, {}},
          {u"Spell"_s, u"Spell"_s, {}},
          {u"Equip"_s, u"Equip"_s, {}},
          {u"Dropongr"_s, u"Drop On Ground"_s, {}},
          {u"DRPCHAR"_s, u"Drop On Char"_s, {}},
          {u"Dmg"_s, u"Damage"_s, {}},
          {u"Hear"_s, u"Hear"_s, {}}}},
        {u"mnuFormat"_s,
         u"For&mat"_s,
         {{u"mnuFormatFont"_s, u"&Font"_s, u"Ctrl+T"_s},
          {u"mnuFormatSep0"_s, u"-"_s, {}},
          {u"mnuFormatBold"_s, u"&Bold"_s, u"Ctrl+B"_s},
          {u"mnuFormatItalic"_s, u"&Italic"_s, u"Ctrl+I"_s},
          {u"mnuFormatStrike"_s, u"&Strikeout"_s, u"Ctrl+Z"_s},
          {u"mnuFormatUnder"_s, u"&Underline"_s, u"Ctrl+U"_s}}},
        {u"mnuHelp"_s,
         u"&Help"_s,
         {{u"TExplain"_s, u"Triggers Explained"_s, {}},
          {u"mnuHelpAbt"_s, u"About VxScript"_s, {}}}},
    };

    const QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), expected.size());
    for (qsizetype m = 0; m < menus.size(); ++m) {
        QMenu* menu = menus[m]->menu();
        QVERIFY(menu);
        QCOMPARE(menu->objectName(), expected[m].name);
        QCOMPARE(menu->title(), expected[m].caption);
        QVERIFY(menus[m]->shortcut().isEmpty());
        const QList<QAction*> items = menu->actions();
        QCOMPARE(items.size(), expected[m].items.size());
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& want = expected[m].items[i];
            QCOMPARE(items[i]->objectName(), want.name);
            if (want.caption == u"-"_s) {
                QVERIFY2(items[i]->isSeparator(), qPrintable(want.name));
                continue;
            }
            QCOMPARE(items[i]->text(), want.caption);
            QCOMPARE(items[i]->shortcut().toString(QKeySequence::PortableText), want.shortcut);
        }
    }
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

void TestMainWindow::loadingEmptiesTheClipboardOnce()
{
    window.reset();
    QGuiApplication::clipboard()->setText(u"from another program"_s);
    window = std::make_unique<MainWindow>(FakeServices().take());
    // Creating the window object does not load it.
    QVERIFY(!window->isLoaded());
    QCOMPARE(QGuiApplication::clipboard()->text(), u"from another program"_s);
    window->editor();
    QVERIFY(window->isLoaded());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString());

    QGuiApplication::clipboard()->setText(u"copied later"_s);
    window->load();
    window->show();
    QCOMPARE(QGuiApplication::clipboard()->text(), u"copied later"_s);
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
    FakeServices fakes;
    window = std::make_unique<MainWindow>(fakes.take());
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

void TestMainWindow::triggersWriteTheirKeywordAtTheCaret()
{
    EditorControl& text = window->editor();
    text.setDocumentText(u"[item]\r\nname"_s);
    text.setSelectionStart(6);
    window->menuItem(u"Dclick")->trigger();
    QCOMPARE(text.documentText(), u"[item]ONTRIGGER=DCLICK\r\nname"_s);
}

void TestMainWindow::formatItemsCheckTheValueWritten_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < int(std::size(formatItems)); ++i)
        QTest::newRow(formatItems[i].name) << i;
}

// The check mark shows the value the item wrote last; the text, not the
// check mark, decides what the item writes next.
void TestMainWindow::formatItemsCheckTheValueWritten()
{
    QFETCH(int, index);
    const FormatItem& format = formatItems[index];
    EditorControl& text = window->editor();
    text.setDocumentText(u"plain words here"_s);
    QAction* item = window->menuItem(QString::fromLatin1(format.name));
    select(text, 0, 5);
    item->trigger();
    QVERIFY(item->isChecked());

    // Moving to other text leaves the check mark as it was.
    select(text, 6, 5);
    QVERIFY(item->isChecked());
    item->trigger();
    QCOMPARE((text.*format.read)(), std::optional<bool>(true));
    QVERIFY(item->isChecked());

    item->trigger();
    QCOMPARE((text.*format.read)(), std::optional<bool>(false));
    QVERIFY(!item->isChecked());
    select(text, 0, 5);
    QCOMPARE((text.*format.read)(), std::optional<bool>(true));
}

// The check marks belong to the toggles: Font never changes them.
void TestMainWindow::fontItemLeavesTheCheckMarks()
{
    FakeServices fakes;
    window = std::make_unique<MainWindow>(fakes.take());
    window->editor().setDocumentText(u"plain words here"_s);
    select(window->editor(), 6, 5);
    window->menuItem(u"mnuFormatUnder")->setChecked(true);
    fakes.commonDialog->fontAnswers.push_back(
        FontChoice{u"DejaVu Serif"_s, 17, true, false, true, false, QColor(0x12, 0x34, 0x56)});

    window->menuItem(u"mnuFormatFont")->trigger();

    QCOMPARE(fakes.commonDialog->shown.size(), 1);
    QCOMPARE(window->editor().selectionBold(), std::optional<bool>(true));
    QVERIFY(!window->menuItem(u"mnuFormatBold")->isChecked());
    QVERIFY(!window->menuItem(u"mnuFormatStrike")->isChecked());
    QVERIFY(window->menuItem(u"mnuFormatUnder")->isChecked());
}

void TestMainWindow::fileMenuRunsTheFileCommands()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(u"menu.vls"_s);
    QVERIFY(writeBytes(path, "from the menu"));
    FakeServices fakes;
    window = std::make_unique<MainWindow>(fakes.take());
    fakes.commonDialog->fileAnswers = {path};
    window->menuItem(u"mnuFileOpen")->trigger();
    QCOMPARE(window->editor().documentText(), u"from the menu"_s);
    QCOMPARE(window->windowTitle(), u"Vexlon Scriptor   "_s + path);
    QCOMPARE(window->currentFileName(), path);

    window->menuItem(u"mnuFilePrint")->trigger();
    QCOMPARE(fakes.printer->attempts.size(), 1);
    QCOMPARE(fakes.printer->attempts[0].text, u"from the menu"_s);

    window->menuItem(u"mnuFileSave")->trigger();
    QCOMPARE(readBytes(path), "from the menu\r\n"_ba);

    fakes.messageBox->answers = {MessageBox::Answer::Yes};
    window->menuItem(u"mnuFileNew")->trigger();
    QCOMPARE(window->editor().documentText(), QString());

    const QString other = dir.filePath(u"other.vls"_s);
    fakes.commonDialog->fileAnswers = {other};
    window->menuItem(u"mnuFileSaveAs")->trigger();
    QCOMPARE(readBytes(other), "\r\n"_ba);
    QCOMPARE(window->windowTitle(), u"Vexlon"_s + other);

    window->menuItem(u"mnuFileExit")->trigger();
    QCOMPARE(fakes.process->endCalls, 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
