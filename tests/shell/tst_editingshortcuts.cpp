#include "editor/ScriptEditor.h"
#include "shell/MainWindow.h"
#include "support/FakeServices.h"

#include <QAction>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

using SelectionReader = std::optional<bool> SelectionFormat::*;
Q_DECLARE_METATYPE(SelectionReader)

// Keys pressed while the editor has the focus reach the menu commands; the
// editor's own copy, cut, paste and undo never run for them.
class TestEditingShortcuts : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void clipboardKeysRunTheCommands_data();
    void clipboardKeysRunTheCommands();
    void formatKeysToggleTheSelection_data();
    void formatKeysToggleTheSelection();

private:
    std::unique_ptr<MainWindow> window_;
};

void TestEditingShortcuts::init()
{
    window_ = std::make_unique<MainWindow>(FakeServices().take());
    window_->show();
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    window_->scriptEditor().setFocus();
    window_->editor().setDocumentText(u"abc def"_s);
    window_->editor().setSelectionStart(4);
    window_->editor().setSelectionLength(3);
}

void TestEditingShortcuts::cleanup()
{
    window_.reset();
    QGuiApplication::clipboard()->clear();
}

void TestEditingShortcuts::clipboardKeysRunTheCommands_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("clipboard");
    // The editor's own copy would add rich text; a link is not text to paste,
    // so the selection stays.
    QTest::newRow("Ctrl+C") << int(Qt::Key_C) << u"abc def"_s << u"def"_s;
    QTest::newRow("Ctrl+X") << int(Qt::Key_X) << u"abc "_s << u"def"_s;
    QTest::newRow("Ctrl+V") << int(Qt::Key_V) << u"abc def"_s << QString();
}

void TestEditingShortcuts::clipboardKeysRunTheCommands()
{
    QFETCH(int, key);
    QFETCH(QString, document);
    QFETCH(QString, clipboard);
    auto links = std::make_unique<QMimeData>();
    links->setUrls({QUrl(u"https://example.org/a"_s)});
    QGuiApplication::clipboard()->setMimeData(links.release());

    QTest::keyClick(&window_->scriptEditor(), Qt::Key(key), Qt::ControlModifier);

    QCOMPARE(window_->editor().documentText(), document);
    if (!clipboard.isNull()) {
        const QMimeData* held = QGuiApplication::clipboard()->mimeData();
        QVERIFY(held);
        QCOMPARE(held->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(held->text(), clipboard);
    }
}

void TestEditingShortcuts::formatKeysToggleTheSelection_data()
{
    using Reader = SelectionReader;
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("item");
    QTest::addColumn<Reader>("read");
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << u"mnuFormatBold"_s
                            << Reader(&SelectionFormat::bold);
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << u"mnuFormatItalic"_s
                            << Reader(&SelectionFormat::italic);
    QTest::newRow("Ctrl+U") << int(Qt::Key_U) << u"mnuFormatUnder"_s
                            << Reader(&SelectionFormat::underline);
    // Strikeout, not undo.
    QTest::newRow("Ctrl+Z") << int(Qt::Key_Z) << u"mnuFormatStrike"_s
                            << Reader(&SelectionFormat::strikeout);
}

void TestEditingShortcuts::formatKeysToggleTheSelection()
{
    using Reader = SelectionReader;
    QFETCH(int, key);
    QFETCH(QString, item);
    QFETCH(Reader, read);
    ScriptEditor& editor = window_->scriptEditor();

    QTest::keyClick(&editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(window_->editor().selectionFormat().*read, std::optional<bool>(true));
    QVERIFY(window_->menuItem(item)->isChecked());

    QTest::keyClick(&editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(window_->editor().selectionFormat().*read, std::optional<bool>(false));
    QVERIFY(!window_->menuItem(item)->isChecked());
    QCOMPARE(window_->editor().documentText(), u"abc def"_s);
}

QTEST_MAIN(TestEditingShortcuts)
#include "tst_editingshortcuts.moc"
