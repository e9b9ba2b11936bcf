#include "editing/EditorTextMirror.h"
#include "editor/ScriptEditor.h"

#include <QRandomGenerator>
#include <QTextCursor>
#include <QtTest>

using namespace Qt::StringLiterals;

// The Find dialog searches the mirror, so after any edit it must hold
// exactly the editor's text.
class TestEditorTextMirror : public QObject {
    Q_OBJECT
private slots:
    void mirrorFollowsEveryKindOfEdit_data();
    void mirrorFollowsEveryKindOfEdit();
    void mirrorFollowsAThousandRandomEdits();
    void mirrorFollowsTypingAndDeletingNearTheCaret();
};

using Edit = std::function<void(ScriptEditor&)>;
Q_DECLARE_METATYPE(Edit)

void TestEditorTextMirror::mirrorFollowsEveryKindOfEdit_data()
{
    QTest::addColumn<Edit>("edit");
    const auto at = [](int start, int length, QString text) {
        return Edit([=](ScriptEditor& e) {
            e.setSelectionStart(start);
            e.setSelectionLength(length);
            e.setSelectedText(text);
        });
    };
    QTest::newRow("type a character") << at(3, 0, u"x"_s);
    QTest::newRow("type at the end") << at(1000, 0, u"tail"_s);
    QTest::newRow("delete a line break") << at(5, 1, u""_s);
    QTest::newRow("replace, same length") << at(0, 3, u"XYZ"_s);
    QTest::newRow("paste lines") << at(2, 4, u"a\r\nb\r\n\r\nc"_s);
    QTest::newRow("delete everything") << at(0, 1000, u""_s);
    QTest::newRow("new document") << Edit([](ScriptEditor& e) { e.setDocumentText(u"n\r\new"_s); });
    QTest::newRow("empty document") << Edit([](ScriptEditor& e) { e.setDocumentText(u""_s); });
    QTest::newRow("bold everything") << Edit([](ScriptEditor& e) {
        e.selectAll();
        e.setSelectionBold(true);
    });
    QTest::newRow("line break in a paragraph") << Edit([](ScriptEditor& e) {
        QTextCursor(e.document()).insertText(QString(QChar::LineSeparator));
    });
    QTest::newRow("large same-length replace") << Edit([](ScriptEditor& e) {
        e.selectAll();
        e.setSelectedText(QString(e.document()->characterCount() - 1, u'z'));
    });
}

void TestEditorTextMirror::mirrorFollowsEveryKindOfEdit()
{
    QFETCH(Edit, edit);
    ScriptEditor editor;
    EditorTextMirror& mirror = EditorTextMirror::of(*editor.document());
    QString document;
    for (int line = 0; line < 2000; ++line)
        document += u"line %1\r\n"_s.arg(line);
    editor.setDocumentText(document);
    QCOMPARE(mirror.text(), editor.document()->toRawText());

    edit(editor);

    QCOMPARE(&EditorTextMirror::of(*editor.document()), &mirror);
    QCOMPARE(mirror.text(), editor.document()->toRawText());
}

void TestEditorTextMirror::mirrorFollowsAThousandRandomEdits()
{
    ScriptEditor editor;
    editor.setDocumentText(u"ONTRIGGER=DCLICK\r\n  RETURN 1\r\n"_s);
    EditorTextMirror& mirror = EditorTextMirror::of(*editor.document());
    QRandomGenerator random(20240611);
    const QString pieces[] = {u"a"_s, u"\r\n"_s, u"ONTRIGGER=STEP\r\n"_s, u""_s, u"xyz"_s};
    for (int i = 0; i < 1000; ++i) {
        const int size = editor.document()->characterCount() - 1;
        editor.setSelectionStart(int(random.bounded(size + 1)));
        editor.setSelectionLength(int(random.bounded(4)));
        if (random.bounded(5) == 0)
            editor.setSelectionUnderline(true);
        else
            editor.setSelectedText(pieces[random.bounded(int(std::size(pieces)))]);
        if (i % 50 == 0)
            QCOMPARE(mirror.text(), editor.document()->toRawText());
    }
    QCOMPARE(mirror.text(), editor.document()->toRawText());
}

// Keys typed and deleted next to each other, as a person edits: runs that
// grow, shrink past their own start, and move on to somewhere near.
void TestEditorTextMirror::mirrorFollowsTypingAndDeletingNearTheCaret()
{
    ScriptEditor editor;
    QString document;
    for (int line = 0; line < 200; ++line)
        document += u"ONTRIGGER=STEP %1\r\n"_s.arg(line);
    editor.setDocumentText(document);
    EditorTextMirror& mirror = EditorTextMirror::of(*editor.document());
    QRandomGenerator random(7);
    int caret = 1000;
    for (int i = 0; i < 3000; ++i) {
        const int size = editor.document()->characterCount() - 1;
        caret = std::clamp(caret, 0, size);
        switch (random.bounded(8)) {
        case 0: // jump a little
            caret += int(random.bounded(21)) - 10;
            break;
        case 1: // backspace
            if (caret > 0) {
                editor.setSelectionStart(caret - 1);
                editor.setSelectionLength(1);
                editor.setSelectedText(QString());
                --caret;
            }
            break;
        case 2: // delete forward
            editor.setSelectionStart(caret);
            editor.setSelectionLength(1);
            editor.setSelectedText(QString());
            break;
        case 3: // a line break
            editor.setSelectionStart(caret);
            editor.setSelectedText(u"\r\n"_s);
            caret += 1;
            break;
        default: // a key
            editor.setSelectionStart(caret);
            editor.setSelectedText(QString(QChar(u'a' + random.bounded(26))));
            caret += 1;
            break;
        }
        if (i % 97 == 0)
            QCOMPARE(mirror.text(), editor.document()->toRawText());
    }
    QCOMPARE(mirror.text(), editor.document()->toRawText());
}

QTEST_MAIN(TestEditorTextMirror)
#include "tst_editortextmirror.moc"
