#include "editing/FindDialog.h"
#include "editor/ScriptEditor.h"
#include "platform/SingleWindow.h"
#include "support/TopLevelWindows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

QList<FindDialog*> findDialogs()
{
    QList<FindDialog*> dialogs;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<FindDialog*>(window))
            dialogs << dialog;
    return dialogs;
}

} // namespace

class TestFindDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void dialogIsLaidOutAsDesigned();
    void controlsAreLaidOutAsDesigned_data();
    void controlsAreLaidOutAsDesigned();
    void searchTextHasTheFocusAndTabFollowsTheOrder();
    void keysOfTheDialog_data();
    void keysOfTheDialog();
    void findAgainRaisesTheSameDialogWithItsText();
    void everyWayOfClosingDestroysTheDialog_data();
    void everyWayOfClosingDestroysTheDialog();
    void emptySearchTextKeepsTheDialogOpen();
    void searchSelectsInTheEditor_data();
    void searchSelectsInTheEditor();
    void searchesTheEditorItWasOpenedFor();

private:
    FindDialog* openDialog();
    QLineEdit* searchBox(FindDialog* dialog) { return dialog->findChild<QLineEdit*>(u"Text1"_s); }

    EditorControl& text() { return *editor_; }

    std::unique_ptr<ScriptEditor> editor_;
    // As the main window keeps it: the dialog shown at most once.
    QPointer<FindDialog> slot_;
};

void TestFindDialog::init()
{
    editor_ = std::make_unique<ScriptEditor>();
    text().setDocumentText(u"abc abc"_s);
    text().setSelectionStart(1);
}

void TestFindDialog::cleanup()
{
    delete slot_;
    editor_.reset();
    destroyClosedWindows();
    QVERIFY(findDialogs().isEmpty());
}

FindDialog* TestFindDialog::openDialog()
{
    showSingleWindow(slot_, *editor_);
    const QList<FindDialog*> dialogs = findDialogs();
    return dialogs.size() == 1 ? dialogs[0] : nullptr;
}

void TestFindDialog::dialogIsLaidOutAsDesigned()
{
    FindDialog* dialog = openDialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), u"Find...."_s);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->parentWidget(), nullptr);
    QCOMPARE(dialog->windowModality(), Qt::NonModal);
    QCOMPARE(dialog->geometry(), fromTwips(3030, 3225, 2760, 1200));
    QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    const Qt::WindowFlags flags = dialog->windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(dialog->palette().color(QPalette::Window),
             QApplication::palette("QMenu").color(QPalette::Text));
    const QList<QSize> iconSizes = dialog->windowIcon().availableSizes();
    QVERIFY(iconSizes.contains(QSize(16, 16)));
    QVERIFY(iconSizes.contains(QSize(32, 32)));

    auto* label = dialog->findChild<QLabel*>(u"Label1"_s);
    QVERIFY(label);
    QCOMPARE(label->font().pointSizeF(), 8.25);
    QCOMPARE(label->font().weight(), QFont::Bold);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(128, 128, 128));
    QVERIFY(!label->autoFillBackground());
    for (auto* button : dialog->findChildren<QPushButton*>()) {
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
    }
}

void TestFindDialog::controlsAreLaidOutAsDesigned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("Text1") << u"Text1"_s << u""_s << fromTwips(90, 360, 2580, 375);
    QTest::newRow("Label1") << u"Label1"_s << u"Search for Text:"_s
                            << fromTwips(270, 90, 1845, 255);
    QTest::newRow("cmdFind") << u"cmdFind"_s << u"&Find"_s << fromTwips(90, 855, 1005, 270);
    QTest::newRow("Command2") << u"Command2"_s << u"&Cancel"_s << fromTwips(1620, 855, 1005, 270);
}

void TestFindDialog::controlsAreLaidOutAsDesigned()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    FindDialog* dialog = openDialog();
    QVERIFY(dialog);
    auto* control = dialog->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->property("text").toString(), caption);
}

void TestFindDialog::searchTextHasTheFocusAndTabFollowsTheOrder()
{
    FindDialog* dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QCOMPARE(QApplication::focusWidget(), searchBox(dialog));
    for (const char* next : {"cmdFind", "Command2", "Text1"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(next));
    }
}

void TestFindDialog::keysOfTheDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::addColumn<int>("selectionStart");
    QTest::newRow("Enter does not search") << int(Qt::Key_Return) << 0 << false << 1;
    QTest::newRow("Esc does not close") << int(Qt::Key_Escape) << 0 << false << 1;
    QTest::newRow("Alt+F searches") << int(Qt::Key_F) << int(Qt::AltModifier) << true << 4;
    QTest::newRow("Alt+C cancels") << int(Qt::Key_C) << int(Qt::AltModifier) << true << 1;
}

void TestFindDialog::keysOfTheDialog()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    QFETCH(int, selectionStart);
    QPointer<FindDialog> dialog = openDialog();
    QVERIFY(dialog);
    QVERIFY(QTest::qWaitForWindowActive(dialog));
    QTest::keyClicks(searchBox(dialog), u"abc"_s);

    QTest::keyClick(searchBox(dialog), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    // An access key holds its button down for a short animation, then clicks it.
    if (closes) {
        QTRY_VERIFY(dialog.isNull());
    } else {
        // No click is pending either: a key that set one off holds its button down.
        QCoreApplication::processEvents();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        for (const QPushButton* button : dialog->findChildren<QPushButton*>())
            QVERIFY2(!button->isDown(), qPrintable(button->objectName()));
    }
    QCOMPARE(text().selectionStart(), selectionStart);
}

void TestFindDialog::findAgainRaisesTheSameDialogWithItsText()
{
    FindDialog* dialog = openDialog();
    QVERIFY(dialog);
    searchBox(dialog)->setText(u"kept"_s);
    dialog->hide(); // as if it had fallen behind the main window

    QCOMPARE(openDialog(), dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(searchBox(dialog)->text(), u"kept"_s);
}

void TestFindDialog::everyWayOfClosingDestroysTheDialog_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << u"Command2"_s;
    QTest::newRow("Find") << u"cmdFind"_s;
    QTest::newRow("window manager") << u"close"_s;
}

void TestFindDialog::everyWayOfClosingDestroysTheDialog()
{
    QFETCH(QString, how);
    QPointer<FindDialog> dialog = openDialog();
    QVERIFY(dialog);
    searchBox(dialog)->setText(u"zzz"_s);

    if (how == u"Command2")
        dialog->cancel();
    else if (how == u"cmdFind")
        dialog->find();
    else
        dialog->close();
    destroyClosedWindows();

    QVERIFY(dialog.isNull());
    if (how != u"cmdFind") {
        QCOMPARE(text().selectionStart(), 1);
        QCOMPARE(text().documentText(), u"abc abc"_s);
    }
    FindDialog* fresh = openDialog();
    QVERIFY(fresh);
    QCOMPARE(searchBox(fresh)->text(), u""_s);
}

void TestFindDialog::emptySearchTextKeepsTheDialogOpen()
{
    text().setSelectionLength(2);
    QPointer<FindDialog> dialog = openDialog();
    QVERIFY(dialog);

    dialog->find();
    destroyClosedWindows();

    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(text().selectionStart(), 1);
    QCOMPARE(text().selectionLength(), 2);
}

void TestFindDialog::searchSelectsInTheEditor_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("found") << u"abc"_s << 4 << 3;
    QTest::newRow("not found") << u"ABC"_s << 7 << 0;
}

void TestFindDialog::searchSelectsInTheEditor()
{
    QFETCH(QString, search);
    QFETCH(int, start);
    QFETCH(int, length);
    QPointer<FindDialog> dialog = openDialog();
    QVERIFY(dialog);
    searchBox(dialog)->setText(search);

    dialog->find();
    destroyClosedWindows();

    QVERIFY(dialog.isNull());
    QCOMPARE(text().selectionStart(), start);
    QCOMPARE(text().selectionLength(), length);
}

void TestFindDialog::searchesTheEditorItWasOpenedFor()
{
    ScriptEditor other;
    other.setDocumentText(u"x marks"_s);
    QPointer<FindDialog> dialog;
    showSingleWindow(dialog, other);
    dialog->findChild<QLineEdit*>(u"Text1"_s)->setText(u"x"_s);

    dialog->find();
    destroyClosedWindows();

    QVERIFY(dialog.isNull());
    QCOMPARE(other.selectionStart(), 0);
    QCOMPARE(other.selectionLength(), 1);
    QCOMPARE(text().selectionStart(), 1);
    QCOMPARE(text().selectionLength(), 0);
}

QTEST_MAIN(TestFindDialog)
#include "tst_finddialog.moc"
