#include "editing/ClipboardCommands.h"
#include "editor/ScriptEditor.h"

#include <QClipboard>
#include <QMimeData>
#include <QTest>

using namespace Qt::StringLiterals;

// What the clipboard holds before a command runs.
enum class Offer { Nothing, PlainText, RichAndPlain, RichOnly, LinksOnly };
Q_DECLARE_METATYPE(Offer)

class TestClipboardCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void copyPlacesOnlyTheSelectedPlainText_data();
    void copyPlacesOnlyTheSelectedPlainText();
    void cutMovesTheSelectionToTheClipboard_data();
    void cutMovesTheSelectionToTheClipboard();
    void pasteReadsPlainTextOnly_data();
    void pasteReadsPlainTextOnly();
    void cutAndCopyWithNothingSelectedKeepTheClipboard_data();
    void cutAndCopyWithNothingSelectedKeepTheClipboard();
    void editCommandsAndEditorKeysCarryTheSameText_data();
    void editCommandsAndEditorKeysCarryTheSameText();

private:
    void offer(Offer what, const QString& text);
    void select(int start, int length);

    std::unique_ptr<ScriptEditor> text_;
    std::unique_ptr<ClipboardCommands> clipboard_;
};

void TestClipboardCommands::init()
{
    text_ = std::make_unique<ScriptEditor>();
    clipboard_ = std::make_unique<ClipboardCommands>(*text_);
}

void TestClipboardCommands::cleanup()
{
    clipboard_.reset();
    text_.reset();
    QGuiApplication::clipboard()->clear();
}

void TestClipboardCommands::offer(Offer what, const QString& text)
{
    auto mime = std::make_unique<QMimeData>();
    switch (what) {
    case Offer::Nothing:
        QGuiApplication::clipboard()->clear();
        return;
    case Offer::PlainText:
        mime->setText(text);
        break;
    case Offer::RichAndPlain:
        mime->setHtml(u"<b>"_s + text + u"</b>"_s);
        mime->setText(text);
        break;
    case Offer::RichOnly:
        mime->setHtml(u"<b>"_s + text + u"</b>"_s);
        break;
    case Offer::LinksOnly:
        mime->setUrls({QUrl(u"file:///tmp/"_s + text)});
        break;
    }
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

void TestClipboardCommands::select(int start, int length)
{
    text_->setSelectionStart(start);
    text_->setSelectionLength(length);
}

void TestClipboardCommands::copyPlacesOnlyTheSelectedPlainText_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::newRow("word") << u"ONTRIGGER=STEP"_s << 10 << 4 << u"STEP"_s;
    QTest::newRow("lines end in LF") << u"a\r\nb\r\nc"_s << 0 << 5 << u"a\nb\nc"_s;
    QTest::newRow("whole document") << u"x y\r\n"_s << 0 << 4 << u"x y\n"_s;
}

// A rich copy would let formatting reach the program that pastes; the
// clipboard's earlier contents, in any format, are gone.
void TestClipboardCommands::copyPlacesOnlyTheSelectedPlainText()
{
    QFETCH(QString, document);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);
    text_->setDocumentText(document);
    select(start, length);
    text_->changeSelectionFormat({.bold = true});
    offer(Offer::RichAndPlain, u"earlier"_s);

    clipboard_->copy();

    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    QVERIFY(held);
    QCOMPARE(held->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(held->text(), expected);
    QCOMPARE(text_->documentText(), document);
    QCOMPARE(text_->selectionStart(), start);
    QCOMPARE(text_->selectionLength(), length);
}

void TestClipboardCommands::cutMovesTheSelectionToTheClipboard_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("onClipboard");
    QTest::addColumn<QString>("remaining");
    QTest::newRow("word") << u"ONTRIGGER=STEP"_s << 10 << 4 << u"STEP"_s << u"ONTRIGGER="_s;
    QTest::newRow("across lines") << u"ab\r\ncd"_s << 1 << 3 << u"b\nc"_s << u"ad"_s;
}

void TestClipboardCommands::cutMovesTheSelectionToTheClipboard()
{
    QFETCH(QString, document);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, onClipboard);
    QFETCH(QString, remaining);
    text_->setDocumentText(document);
    select(start, length);
    offer(Offer::PlainText, u"earlier"_s);

    clipboard_->cut();

    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    QVERIFY(held);
    QCOMPARE(held->formats(), QStringList{u"text/plain"_s});
    QCOMPARE(held->text(), onClipboard);
    QCOMPARE(text_->documentText(), remaining);
}

void TestClipboardCommands::pasteReadsPlainTextOnly_data()
{
    QTest::addColumn<Offer>("offered");
    QTest::addColumn<QString>("clipboardText");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    const QString doc = u"ab|cd"_s;
    QTest::newRow("at the caret") << Offer::PlainText << u"XY"_s << 2 << 0 << u"abXY|cd"_s;
    QTest::newRow("over the selection") << Offer::PlainText << u"XY"_s << 1 << 3 << u"aXYd"_s;
    QTest::newRow("plain text of a rich offer")
        << Offer::RichAndPlain << u"XY"_s << 2 << 0 << u"abXY|cd"_s;
    // With no plain text to paste, the selection stays as it is.
    QTest::newRow("rich only") << Offer::RichOnly << u"XY"_s << 1 << 3 << u"ab|cd"_s;
    QTest::newRow("links are not text") << Offer::LinksOnly << u"XY"_s << 1 << 3 << u"ab|cd"_s;
    QTest::newRow("empty clipboard, caret") << Offer::Nothing << u""_s << 2 << 0 << u"ab|cd"_s;
    QTest::newRow("empty clipboard, selection") << Offer::Nothing << u""_s << 0 << 5 << u"ab|cd"_s;
    QTest::newRow("empty text, selection") << Offer::PlainText << u""_s << 0 << 5 << u"ab|cd"_s;
    QTest::newRow("LF makes a line") << Offer::PlainText << u"1\n2"_s << 2 << 0 << u"ab1\r\n2|cd"_s;
    QTest::newRow("CR LF makes one line")
        << Offer::PlainText << u"1\r\n2"_s << 2 << 0 << u"ab1\r\n2|cd"_s;
    QTest::newRow("tabs and blanks kept")
        << Offer::PlainText << u" \t "_s << 2 << 0 << u"ab \t |cd"_s;
}

void TestClipboardCommands::pasteReadsPlainTextOnly()
{
    QFETCH(Offer, offered);
    QFETCH(QString, clipboardText);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);
    text_->setDocumentText(u"ab|cd"_s);
    select(start, length);
    offer(offered, clipboardText);

    clipboard_->paste();

    QCOMPARE(text_->documentText(), expected);
    if (expected == u"ab|cd")
        QCOMPARE(text_->selectionLength(), length);
}

// Cut and Copy with nothing selected have nothing to move: whatever the
// clipboard held, in every format, stays there, and so does the document.
void TestClipboardCommands::cutAndCopyWithNothingSelectedKeepTheClipboard_data()
{
    QTest::addColumn<bool>("cut");
    QTest::addColumn<Offer>("offered");
    QTest::newRow("Copy, plain text held") << false << Offer::PlainText;
    QTest::newRow("Copy, rich text held") << false << Offer::RichAndPlain;
    QTest::newRow("Cut, plain text held") << true << Offer::PlainText;
    QTest::newRow("Cut, empty clipboard") << true << Offer::Nothing;
}

void TestClipboardCommands::cutAndCopyWithNothingSelectedKeepTheClipboard()
{
    QFETCH(bool, cut);
    QFETCH(Offer, offered);
    text_->setDocumentText(u"abc"_s);
    select(1, 0);
    offer(offered, u"earlier"_s);
    const auto formatsHeld = [] {
        const QMimeData* held = QGuiApplication::clipboard()->mimeData();
        return held ? held->formats() : QStringList();
    };
    const QStringList before = formatsHeld();

    cut ? clipboard_->cut() : clipboard_->copy();

    QCOMPARE(formatsHeld(), before);
    QCOMPARE(QGuiApplication::clipboard()->text(),
             offered == Offer::Nothing ? QString() : u"earlier"_s);
    QCOMPARE(text_->documentText(), u"abc"_s);
}

void TestClipboardCommands::editCommandsAndEditorKeysCarryTheSameText_data()
{
    QTest::addColumn<bool>("takeByKey");
    QTest::addColumn<bool>("cuts");
    QTest::addColumn<bool>("pasteByKey");
    QTest::newRow("Edit > Copy, Shift+Insert") << false << false << true;
    QTest::newRow("Ctrl+Insert, Edit > Paste") << true << false << false;
    QTest::newRow("Edit > Cut, Shift+Insert") << false << true << true;
    QTest::newRow("Shift+Delete, Edit > Paste") << true << true << false;
}

// The editor's own keys and the Edit commands hand each other every
// character, NUL and the other control characters included.
void TestClipboardCommands::editCommandsAndEditorKeysCarryTheSameText()
{
    QFETCH(bool, takeByKey);
    QFETCH(bool, cuts);
    QFETCH(bool, pasteByKey);
    const QString carried = u"\u0000a\u0001\u0002\r\n\u001f\u0000\u007f"_s;
    text_->setDocumentText(u"[xy]<"_s + carried + u">"_s);
    select(5, int(carried.size()) - 1);
    if (!takeByKey)
        cuts ? clipboard_->cut() : clipboard_->copy();
    else if (cuts)
        QTest::keyClick(text_.get(), Qt::Key_Delete, Qt::ShiftModifier);
    else
        QTest::keyClick(text_.get(), Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"\u0000a\u0001\u0002\n\u001f\u0000\u007f"_s);

    select(1, 2);
    if (pasteByKey)
        QTest::keyClick(text_.get(), Qt::Key_Insert, Qt::ShiftModifier);
    else
        clipboard_->paste();
    const QString rest = cuts ? u"<>"_s : u"<"_s + carried + u">"_s;
    QCOMPARE(text_->documentText(), u"["_s + carried + u"]"_s + rest);
}

QTEST_MAIN(TestClipboardCommands)
#include "tst_clipboardcommands.moc"
