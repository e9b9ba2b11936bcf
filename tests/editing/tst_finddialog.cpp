#include "editing/FindDialog.h"
#include "platform/SingleWindow.h"
#include "support/FakeEditorControl.h"
#include "support/TopLevelWindows.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

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
    void controlsShowWholeInReadingOrder();
    void searchTextHasTheFocusAndTabFollowsTheOrder();
    void keysOfTheDialog_data();
    void keysOfTheDialog();
    void everyWayOfClosingClosesTheDialog_data();
    void everyWayOfClosingClosesTheDialog();
    void emptySearchTextKeepsTheDialogOpen();
    void searchSelectsInTheEditor_data();
    void searchSelectsInTheEditor();
    void searchesTheEditorItWasOpenedFor();

private:
    FindDialog* openDialog();
    QLineEdit* searchBox(FindDialog* dialog) { return dialog->findChild<QLineEdit*>(u"Text1"_s); }

    EditorControl& text() { return *editor_; }

    std::unique_ptr<FakeEditorControl> editor_;
    // As the main window keeps it: the dialog shown at most once.
    QPointer<FindDialog> slot_;
};

void TestFindDialog::init()
{
    editor_ = std::make_unique<FakeEditorControl>();
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

// Every control lies whole inside the dialog, none covers another, each
// caption fits its control, and they read from the top: the label over the
// search text, then Find beside Cancel.
void TestFindDialog::controlsShowWholeInReadingOrder()
{
    FindDialog* dialog = openDialog();
    QVERIFY(dialog);
    auto* label = dialog->findChild<QLabel*>(u"Label1"_s);
    auto* findButton = dialog->findChild<QPushButton*>(u"cmdFind"_s);
    auto* cancelButton = dialog->findChild<QPushButton*>(u"Command2"_s);
    QVERIFY(label && findButton && cancelButton);
    QCOMPARE(label->text(), u"Search for Text:"_s);
    QCOMPARE(findButton->text(), u"&Find"_s);
    QCOMPARE(cancelButton->text(), u"&Cancel"_s);

    const QList<QWidget*> controls{label, searchBox(dialog), findButton, cancelButton};
    for (QWidget* control : controls) {
        QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
        QVERIFY2(dialog->rect().contains(control->geometry()), qPrintable(control->objectName()));
        for (QWidget* other : controls) {
            if (other != control)
                QVERIFY(!control->geometry().intersects(other->geometry()));
        }
    }
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    for (QPushButton* button : {findButton, cancelButton}) {
        const QString caption = button->text().remove(u'&');
        QVERIFY(button->fontMetrics().horizontalAdvance(caption) < button->width());
    }
    QVERIFY(label->geometry().bottom() < searchBox(dialog)->geometry().top());
    QVERIFY(searchBox(dialog)->geometry().bottom() < findButton->geometry().top());
    QCOMPARE(findButton->geometry().top(), cancelButton->geometry().top());
    QVERIFY(findButton->geometry().right() < cancelButton->geometry().left());
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

void TestFindDialog::everyWayOfClosingClosesTheDialog_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << u"Command2"_s;
    QTest::newRow("Find") << u"cmdFind"_s;
    QTest::newRow("window manager") << u"close"_s;
}

void TestFindDialog::everyWayOfClosingClosesTheDialog()
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
    QCOMPARE(editor_->selectionShown, 1);
}

void TestFindDialog::searchesTheEditorItWasOpenedFor()
{
    FakeEditorControl other;
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
