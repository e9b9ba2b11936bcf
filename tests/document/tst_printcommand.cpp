#include "document/PrintCommand.h"
#include "editor/ScriptEditor.h"
#include "support/FakeServices.h"

#include <QScrollBar>
#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A message box that answers Retry or Cancel from a list, and lets the test
// change the editor while the box is open.
class RetryCancelBox final : public MessageBox {
public:
    QList<Answer> answers;
    std::function<void()> whileOpen;
    int shown = 0;

    Answer ask(const QString&, const QString&, Buttons, Icon) override
    {
        ++shown;
        if (whileOpen)
            whileOpen();
        return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
    }
};

void formatRange(ScriptEditor& editor, int start, int length, float size, bool bold,
                 const QColor& color)
{
    editor.setSelectionStart(start);
    editor.setSelectionLength(length);
    editor.changeSelectionFormat({.size = size});
    editor.changeSelectionFormat({.bold = bold});
    editor.changeSelectionFormat({.color = color});
}

} // namespace

class TestPrintCommand : public QObject {
    Q_OBJECT

private slots:
    void printsWholeDocumentInBaseFaceWithCaretAttributes();
    void failureAsksRetryOrCancel_data();
    void failureAsksRetryOrCancel();
    void retryReadsEveryValueAfresh();
    void mixedSelectionPrintsWithItsFirstCharacter_data();
    void mixedSelectionPrintsWithItsFirstCharacter();
    void mixedSelectionKeepsTheViewWhereItWas();
};

void TestPrintCommand::printsWholeDocumentInBaseFaceWithCaretAttributes()
{
    ScriptEditor editor;
    editor.setFont(QFont(u"DejaVu Serif"_s, 10));
    editor.setDocumentText(u"alpha\r\nbeta\r\ngamma"_s);
    formatRange(editor, 6, 4, 14, true, Qt::red);
    editor.changeSelectionFormat({.name = u"DejaVu Sans Mono"_s});
    editor.setSelectionStart(8); // inside "beta"
    FakePrinter printer;
    FakeMessageBox box;

    PrintCommand(editor, printer, box).print();

    QCOMPARE(printer.attempts.size(), 1);
    const FontChoice expected{u"DejaVu Serif"_s, 14, true, false, false, false, QColor(Qt::red)};
    QCOMPARE(printer.attempts[0].font, expected);
    QCOMPARE(printer.attempts[0].text, u"alpha\r\nbeta\r\ngamma"_s);
    QVERIFY(box.asked.isEmpty());
    QCOMPARE(editor.selectionStart(), 8);
    QCOMPARE(editor.selectionLength(), 0);
}

void TestPrintCommand::failureAsksRetryOrCancel_data()
{
    QTest::addColumn<QList<bool>>("outcomes");
    QTest::addColumn<QList<int>>("answers"); // MessageBox::Answer
    QTest::addColumn<int>("attempts");

    const int retry = int(MessageBox::Answer::Retry);
    const int cancel = int(MessageBox::Answer::Cancel);
    QTest::newRow("printed at once") << QList<bool>{true} << QList<int>{} << 1;
    QTest::newRow("cancel ends it") << QList<bool>{false} << QList<int>{cancel} << 1;
    QTest::newRow("retry until it prints")
        << QList<bool>{false, false, true} << QList<int>{retry, retry} << 3;
    QTest::newRow("retries then cancel")
        << QList<bool>{false, false, false} << QList<int>{retry, retry, cancel} << 3;
}

void TestPrintCommand::failureAsksRetryOrCancel()
{
    QFETCH(QList<bool>, outcomes);
    QFETCH(QList<int>, answers);
    QFETCH(int, attempts);
    ScriptEditor editor;
    editor.setDocumentText(u"ONTRIGGER=DCLICK\r\nsay hello"_s);
    FakePrinter printer;
    printer.outcomes.assign(outcomes.begin(), outcomes.end());
    FakeMessageBox box;
    for (int answer : answers)
        box.answers.push_back(MessageBox::Answer(answer));

    PrintCommand(editor, printer, box).print();

    QCOMPARE(printer.attempts.size(), attempts);
    QCOMPARE(box.asked.size(), answers.size());
    for (const FakeMessageBox::Asked& asked : box.asked) {
        QCOMPARE(asked.prompt, u"Unable to print Document."_s);
        QCOMPARE(asked.title, u"Printing Error..."_s);
        QCOMPARE(asked.buttons, MessageBox::Buttons::RetryCancel);
        QCOMPARE(asked.icon, MessageBox::Icon::Stop);
    }
    QCOMPARE(editor.documentText(), u"ONTRIGGER=DCLICK\r\nsay hello"_s);
}

void TestPrintCommand::retryReadsEveryValueAfresh()
{
    ScriptEditor editor;
    editor.setFont(QFont(u"DejaVu Sans"_s, 10));
    editor.setDocumentText(u"first try"_s);
    FakePrinter printer;
    printer.outcomes = {false, true};
    RetryCancelBox box;
    box.answers = {MessageBox::Answer::Retry};
    box.whileOpen = [&editor] {
        editor.setFont(QFont(u"DejaVu Serif"_s, 10));
        editor.setDocumentText(u"second try"_s);
        formatRange(editor, 0, 6, 20, true, Qt::blue);
        editor.changeSelectionFormat({.italic = true});
    };

    PrintCommand(editor, printer, box).print();

    QCOMPARE(box.shown, 1);
    QCOMPARE(printer.attempts.size(), 2);
    QCOMPARE(printer.attempts[0].text, u"first try"_s);
    QCOMPARE(printer.attempts[0].font.name, u"DejaVu Sans"_s);
    QCOMPARE(printer.attempts[0].font.bold, false);
    const FontChoice second{u"DejaVu Serif"_s, 20, true, true, false, false, QColor(Qt::blue)};
    QCOMPARE(printer.attempts[1].font, second);
    QCOMPARE(printer.attempts[1].text, u"second try"_s);
}

// The document is "head" CR LF "first second": "first" in one format, "head"
// and " second" in another. Selections span both.
void TestPrintCommand::mixedSelectionPrintsWithItsFirstCharacter_data()
{
    QTest::addColumn<float>("firstSize");
    QTest::addColumn<bool>("firstBold");
    QTest::addColumn<QColor>("firstColor");
    QTest::addColumn<bool>("fromLineBreak");

    QTest::newRow("sizes 10 and 12") << 10.f << false << QColor(Qt::black) << false;
    QTest::newRow("bold then plain") << 12.f << true << QColor(Qt::black) << false;
    QTest::newRow("red then black") << 12.f << false << QColor(Qt::red) << false;
    QTest::newRow("all differ") << 16.f << true << QColor(Qt::darkGreen) << false;
    QTest::newRow("selection starts on a line break")
        << 16.f << true << QColor(Qt::darkGreen) << true;
}

void TestPrintCommand::mixedSelectionPrintsWithItsFirstCharacter()
{
    QFETCH(float, firstSize);
    QFETCH(bool, firstBold);
    QFETCH(QColor, firstColor);
    QFETCH(bool, fromLineBreak);
    ScriptEditor editor;
    editor.setDocumentText(u"head\r\nfirst second"_s);
    formatRange(editor, 0, 17, 12, false, Qt::black);
    formatRange(editor, 5, 5, firstSize, firstBold, firstColor);
    const int start = fromLineBreak ? 4 : 5;
    editor.setSelectionStart(start);
    editor.setSelectionLength(17 - start);
    FakePrinter printer;
    FakeMessageBox box;

    PrintCommand(editor, printer, box).print();

    QVERIFY(box.asked.isEmpty());
    QCOMPARE(printer.attempts.size(), 1);
    const FontChoice& font = printer.attempts[0].font;
    QCOMPARE(font.size, firstSize);
    QCOMPARE(font.bold, firstBold);
    QCOMPARE(font.color, firstColor);
    QCOMPARE(printer.attempts[0].text, u"head\r\nfirst second"_s);
    // The selection is the user's: printing leaves it as it was.
    QCOMPARE(editor.selectionStart(), start);
    QCOMPARE(editor.selectionLength(), 17 - start);
}

// Reading the first character's formatting must not scroll the editor or
// move the caret to the other end of the selection.
void TestPrintCommand::mixedSelectionKeepsTheViewWhereItWas()
{
    ScriptEditor editor;
    editor.resize(300, 200);
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << u"ONTRIGGER=STEP %1"_s.arg(i);
    editor.setDocumentText(lines.join(u"\r\n"_s));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    formatRange(editor, 100, 20, 16, true, Qt::red);
    // Selected upwards, as with Shift+Up: the caret is at the selection's start.
    // The script is ASCII: its offsets are its positions.
    editor.SendScintilla(QsciScintillaBase::SCI_SETSEL, 4000, 110);
    editor.verticalScrollBar()->setValue(120);
    FakePrinter printer;
    FakeMessageBox box;

    PrintCommand(editor, printer, box).print();

    QCOMPARE(printer.attempts.size(), 1);
    QCOMPARE(printer.attempts[0].font.size, 16.f);
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETANCHOR), 4000);
    QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 110);
    QCOMPARE(editor.verticalScrollBar()->value(), 120);
}

QTEST_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
