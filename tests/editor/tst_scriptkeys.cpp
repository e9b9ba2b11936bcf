#include "editor/ScriptEditor.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Sci = QsciScintillaBase;

// A script shorter than a page, with words, punctuation, runs of spaces, an
// empty line and lines of different lengths.
const QString script = u"on step: say(\"hi, there\");\n"
                       "  if x.y >= 10 then go_on\n"
                       "end\n"
                       "\n"
                       "last line -- with a-dash  and (more) words"_s;

// Where the caret and the selection are before a key: the anchor stays where
// a selection began, the caret moves.
struct Start {
    const char* name;
    int anchor;
    int caret;
};

const Start starts[] = {
    // In "x.y", on the second line.
    {"caret mid-line", 35, 35},
    // Where Up, Home and the moves back stop.
    {"caret on the first line", 5, 5},
    // Where Down, End and the moves on stop.
    {"caret on the last line", 66, 66},
    // Between the indentation and "if".
    {"caret after an indentation", 29, 29},
    // From "then" to the middle of "end".
    {"selection over a line break", 45, 55},
    // The same, made from right to left.
    {"selection back over a line break", 55, 45},
};

const Qt::KeyboardModifiers modifierSets[] = {
    Qt::NoModifier,
    Qt::ShiftModifier,
    Qt::ControlModifier,
    Qt::ControlModifier | Qt::ShiftModifier,
    Qt::AltModifier,
    Qt::AltModifier | Qt::ShiftModifier,
    Qt::ControlModifier | Qt::AltModifier,
};

QList<Qt::Key> keysToTry()
{
    QList<Qt::Key> keys = {
        Qt::Key_Left,   Qt::Key_Right,  Qt::Key_Up,       Qt::Key_Down,      Qt::Key_Home,
        Qt::Key_End,    Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Backspace, Qt::Key_Delete,
        Qt::Key_Insert, Qt::Key_Return, Qt::Key_Enter,    Qt::Key_Tab,       Qt::Key_Backtab,
        Qt::Key_Escape, Qt::Key_Space,
    };
    for (int key = Qt::Key_A; key <= Qt::Key_Z; ++key)
        keys << Qt::Key(key);
    for (int key = Qt::Key_0; key <= Qt::Key_9; ++key)
        keys << Qt::Key(key);
    for (int key = Qt::Key_F1; key <= Qt::Key_F12; ++key)
        keys << Qt::Key(key);
    for (const char16_t c : std::u16string_view(u"!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"))
        keys << Qt::Key(c);
    return keys;
}

// The window's menu takes these before the editor sees them
// (src/shell/MainMenuBar.cpp, and the editor lets them through:
// tst_editingshortcuts). The plain field had its own meaning for some of
// them (cut, copy, paste, undo), which never showed in the window.
const QKeyCombination menuKeys[] = {
    Qt::CTRL | Qt::Key_N, Qt::CTRL | Qt::Key_O, Qt::CTRL | Qt::Key_S, Qt::CTRL | Qt::Key_P,
    Qt::CTRL | Qt::Key_Q, Qt::CTRL | Qt::Key_F, Qt::CTRL | Qt::Key_X, Qt::CTRL | Qt::Key_C,
    Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_T, Qt::CTRL | Qt::Key_B, Qt::CTRL | Qt::Key_I,
    Qt::CTRL | Qt::Key_Z, Qt::CTRL | Qt::Key_U,
};

bool isMenuKey(QKeyCombination key)
{
    return std::find(std::begin(menuKeys), std::end(menuKeys), key) != std::end(menuKeys);
}

// The plain field as the editing area had it: its selection went out as the
// text it held, line breaks and no-break spaces as they were.
class PlainField : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    QMimeData* createMimeDataFromSelection() const override
    {
        QString text = textCursor().selectedText();
        text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
        auto* data = new QMimeData;
        data->setText(text);
        return data;
    }
};

// Stands for the window: receives the key presses the editing widget leaves.
class Window : public QWidget {
public:
    QList<int> keysPassedOn;

protected:
    void keyPressEvent(QKeyEvent* event) override { keysPassedOn << event->key(); }
};

QString visible(QString text) { return text.replace(u"\n"_s, u"\\n"_s).replace(u"\t"_s, u"\\t"_s); }

QString describe(const QString& text, int start, int length, int caret)
{
    return u"\"%1\", selection %2+%3, caret %4"_s.arg(visible(text))
        .arg(start)
        .arg(length)
        .arg(caret);
}

const QString clipboardText = u"clip\nboard"_s;
const QString selectionText = u"primary"_s;

} // namespace

// The editing area answers the keyboard as the plain text field it took over
// from did (that field as the editor had it set up: no wrapping, no undo, the
// fixed-pitch face, the same size): the same keys move, select, delete and
// type the same, and every key that field ignored does nothing and goes on to
// the window. After each key both must hold the same text, the same
// selection with the caret at the same end, the same clipboard (both start
// from the same one, and on X11 from the same primary selection), and take or
// pass on the key alike; a key must not switch a mode that would show only in
// the text typed next, nor zoom.
//
// The offscreen platform has no desktop, so Qt's Windows-like key scheme
// applies there; the editor takes its keys from the desktop's bindings as the
// plain field did, and the test passes the same on X11 under the generic,
// GNOME and KDE schemes (QT_QPA_PLATFORM=xcb, QT_QPA_PLATFORMTHEME).
//
// Left as they differ, and not compared: how far a page goes on a script
// longer than the view (see the page test), where the view scrolls to, and
// the shortcut override: the plain field claimed its own keys before any
// shortcut of the window, where the editor claims none (the window has no
// shortcut on those keys; the menu's own keys go to the menu).
class TestScriptKeys : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void keyDoesWhatThePlainFieldDid_data();
    void keyDoesWhatThePlainFieldDid();
    void movesStopWhereThePlainFieldStopped_data();
    void movesStopWhereThePlainFieldStopped();
    void pageKeysMoveAboutAPageKeepingTheColumn_data();
    void pageKeysMoveAboutAPageKeepingTheColumn();

private:
    void load(const QString& text);
    void place(int anchor, int caret);
    // Sends the key to both; the outcomes after it, with what the clipboard
    // holds and whether the key went on to the window.
    std::pair<QString, QString> press(Qt::Key key, Qt::KeyboardModifiers modifiers);
    int editorCaret() const;
    QString editorOutcome() const;
    QString referenceOutcome() const;

    Window* editorWindow = nullptr;
    Window* referenceWindow = nullptr;
    ScriptEditor* editor = nullptr;
    QPlainTextEdit* reference = nullptr;
};

void TestScriptKeys::initTestCase()
{
    editorWindow = new Window;
    referenceWindow = new Window;
    editor = new ScriptEditor(editorWindow);
    reference = new PlainField(referenceWindow);
    reference->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    reference->setLineWrapMode(QPlainTextEdit::NoWrap);
    reference->setTabStopDistance(4 * reference->fontMetrics().horizontalAdvance(u' '));
    reference->setUndoRedoEnabled(false);
    for (Window* window : {editorWindow, referenceWindow}) {
        window->resize(480, 360);
        window->children().constFirst()->setProperty("geometry", QRect(0, 0, 480, 360));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
}

void TestScriptKeys::cleanupTestCase()
{
    delete editorWindow;
    delete referenceWindow;
    QGuiApplication::clipboard()->clear();
}

void TestScriptKeys::load(const QString& text)
{
    editor->setDocumentText(text);
    reference->setPlainText(text);
}

void TestScriptKeys::place(int anchor, int caret)
{
    // Away from where the test starts first, so that a column remembered
    // from an earlier key would show.
    QTest::keyClick(editor, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(reference, Qt::Key_End, Qt::ControlModifier);

    if (anchor <= caret) {
        editor->setSelectionStart(anchor);
        editor->setSelectionLength(caret - anchor);
    } else {
        // As a drag from right to left leaves it.
        editor->SendScintilla(Sci::SCI_SETSEL, editor->offsetOfPosition(anchor),
                              editor->offsetOfPosition(caret));
        editor->SendScintilla(Sci::SCI_CHOOSECARETX);
    }
    QTextCursor cursor = reference->textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    reference->setTextCursor(cursor);
}

int TestScriptKeys::editorCaret() const
{
    return int(editor->positionOfOffset(editor->SendScintilla(Sci::SCI_GETCURRENTPOS)));
}

QString TestScriptKeys::editorOutcome() const
{
    QString text = editor->documentText();
    text.replace(u"\r\n"_s, u"\n"_s);
    return describe(text, editor->selectionStart(), editor->selectionLength(), editorCaret());
}

QString TestScriptKeys::referenceOutcome() const
{
    // As the editing area read it: toPlainText() would also turn a no-break
    // space into a space. Shift+Return's line separator was a line break.
    QString text = reference->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
    const QTextCursor cursor = reference->textCursor();
    return describe(text, cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart(),
                    cursor.position());
}

std::pair<QString, QString> TestScriptKeys::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Where the desktop has one, the selection (X11's primary) too.
    const bool selection = clipboard->supportsSelection();
    const auto after = [&](QWidget* widget, Window* window, auto outcome) {
        clipboard->setText(clipboardText);
        if (selection)
            clipboard->setText(selectionText, QClipboard::Selection);
        window->keysPassedOn.clear();
        QTest::keyClick(widget, key, modifiers);
        QString result = outcome() + u", clipboard \"%1\""_s.arg(visible(clipboard->text()));
        if (selection)
            result += u", selection \"%1\""_s.arg(visible(clipboard->text(QClipboard::Selection)));
        return result + (window->keysPassedOn.contains(key) ? u", passed on"_s : u", taken"_s);
    };
    return {after(editor, editorWindow, [this] { return editorOutcome(); }),
            after(reference, referenceWindow, [this] { return referenceOutcome(); })};
}

void TestScriptKeys::keyDoesWhatThePlainFieldDid_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("caret");
    const QList<Qt::Key> keys = keysToTry();
    for (const Start& start : starts) {
        for (const Qt::KeyboardModifiers modifiers : modifierSets) {
            for (const Qt::Key key : keys) {
                const QKeyCombination combination(modifiers, key);
                if (isMenuKey(combination))
                    continue;
                QTest::addRow("%s: %s", start.name,
                              qPrintable(QKeySequence(combination).toString()))
                    << int(key) << modifiers << start.anchor << start.caret;
            }
        }
    }
}

void TestScriptKeys::keyDoesWhatThePlainFieldDid()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, anchor);
    QFETCH(int, caret);
    load(script);
    place(anchor, caret);

    const auto [editorAfter, referenceAfter] = press(Qt::Key(key), modifiers);
    QCOMPARE(editorAfter, referenceAfter);
    QCOMPARE(editor->SendScintilla(Sci::SCI_GETZOOM), 0L);

    // A key may also switch a mode that shows only in what is typed next.
    QTest::keyClick(editor, Qt::Key_NumberSign);
    QTest::keyClick(reference, Qt::Key_NumberSign);
    QCOMPARE(editorOutcome(), referenceOutcome());
}

// From every caret position of a text, the moves and deletions by word and by
// character, through the keys the desktop binds to them.
void TestScriptKeys::movesStopWhereThePlainFieldStopped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("caret");
    // Words and punctuation, runs of spaces and empty lines, an indentation,
    // a tab, letters outside ASCII, punctuation and spaces outside ASCII
    // (which the plain field took for word characters, and for spaces), and a
    // character outside the BMP.
    const QString words =
        u"say(\"hi\"), x.y_z  -- ok;\n"
        "\n"
        "\n"
        "    indented  words\t tab \n"
        "caf\u00e9 na\u00efve \u00abquoted\u00bb \u2014 5\u00a0\u20ac \U0001F600x end"_s;
    // Accents, a letter with a combining mark, characters outside the BMP
    // (two UTF-16 units each), an emoji with a skin tone and a flag: each one
    // character to the caret.
    const QString characters = u"a\u00e9e\u0301\u6f22\U0001F600b\U0001F44D\U0001F3FDc"
                               "\U0001F1EB\U0001F1F7\td\n\u00fcx"_s;
    const std::tuple<const char*, const QString&, QKeySequence::StandardKey> moves[] = {
        {"next word", words, QKeySequence::MoveToNextWord},
        {"previous word", words, QKeySequence::MoveToPreviousWord},
        {"select next word", words, QKeySequence::SelectNextWord},
        {"select previous word", words, QKeySequence::SelectPreviousWord},
        {"delete to next word", words, QKeySequence::DeleteEndOfWord},
        {"delete to previous word", words, QKeySequence::DeleteStartOfWord},
        {"next character", characters, QKeySequence::MoveToNextChar},
        {"previous character", characters, QKeySequence::MoveToPreviousChar},
        {"select next character", characters, QKeySequence::SelectNextChar},
        {"select previous character", characters, QKeySequence::SelectPreviousChar},
        {"delete", characters, QKeySequence::Delete},
        {"backspace", characters, QKeySequence::Backspace},
    };
    for (const auto& [name, text, standardKey] : moves) {
        const QList<QKeySequence> bindings = QKeySequence::keyBindings(standardKey);
        // The Backspace key itself, which the plain field took on any desktop.
        const QKeyCombination key = standardKey == QKeySequence::Backspace
                                        ? QKeyCombination(Qt::Key_Backspace)
                                        : bindings.value(0)[0];
        for (int caret = 0; caret <= text.size(); ++caret) {
            // No caret between the halves of a surrogate pair.
            if (caret < text.size() && text.at(caret).isLowSurrogate())
                continue;
            QTest::addRow("%s from %d", name, caret) << text << key << caret;
        }
    }
}

void TestScriptKeys::movesStopWhereThePlainFieldStopped()
{
    QFETCH(QString, text);
    QFETCH(QKeyCombination, key);
    QFETCH(int, caret);
    load(text);
    place(caret, caret);

    const auto [editorAfter, referenceAfter] = press(key.key(), key.keyboardModifiers());
    QCOMPARE(editorAfter, referenceAfter);
}

void TestScriptKeys::pageKeysMoveAboutAPageKeepingTheColumn_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("direction");
    QTest::newRow("PageDown") << int(Qt::Key_PageDown) << Qt::KeyboardModifiers() << 1;
    QTest::newRow("Shift+PageDown")
        << int(Qt::Key_PageDown) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 1;
    QTest::newRow("PageUp") << int(Qt::Key_PageUp) << Qt::KeyboardModifiers() << -1;
    QTest::newRow("Shift+PageUp") << int(Qt::Key_PageUp) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                  << -1;
}

// How far a page goes depends on the height of a line, which each widget
// measures its own way, and the engine keeps one line of the old page in
// view (24 lines here where the plain field went 25): on a script longer than
// the view, both go the same way, by about a page, and keep the caret's
// column; a selection runs from where it began. Near either end of a script
// the key-by-key test compares them exactly.
void TestScriptKeys::pageKeysMoveAboutAPageKeepingTheColumn()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, direction);
    QStringList lines;
    for (int line = 0; line < 200; ++line)
        lines << u"line %1 of the script, a little text"_s.arg(line, 3, 10, QChar(u'0'));
    load(lines.join(u'\n'));
    const int lineLength = int(lines.front().size()) + 1;
    const int start = 100 * lineLength + 12;
    place(start, start);

    QTest::keyClick(editor, Qt::Key(key), modifiers);
    QTest::keyClick(reference, Qt::Key(key), modifiers);

    const int editorLines = (editorCaret() - start) / lineLength;
    const int referenceLines = (reference->textCursor().position() - start) / lineLength;
    QCOMPARE(editorCaret() % lineLength, 12);
    QCOMPARE(reference->textCursor().position() % lineLength, 12);
    QVERIFY2(editorLines * direction >= 10, qPrintable(QString::number(editorLines)));
    QVERIFY2(std::abs(editorLines - referenceLines) <= 2,
             qPrintable(u"%1 lines, the plain field %2"_s.arg(editorLines).arg(referenceLines)));
    const bool extends = modifiers & Qt::ShiftModifier;
    QCOMPARE(editor->selectionLength(), extends ? std::abs(editorCaret() - start) : 0);
}

QTEST_MAIN(TestScriptKeys)
#include "tst_scriptkeys.moc"
