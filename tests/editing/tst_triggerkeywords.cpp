#include "editing/TriggerKeywords.h"
#include "support/FakeEditorControl.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The keywords the Triggers menu writes, against the table typed here
// independently of the program's own constants, written as the menu writes
// them: over the editor's selection, or at its caret.
class TriggerKeywordsTest : public QObject {
    Q_OBJECT
private slots:
    void keywordIsWrittenAtTheSelection_data();
    void keywordIsWrittenAtTheSelection();
};

void TriggerKeywordsTest::keywordIsWrittenAtTheSelection_data()
{
    struct Row {
        const char* name;
        QStringView constant;
        QString keyword;
    };
    const Row table[] = {
        {"Dclick", TriggerKeywords::doubleClick, u"ONTRIGGER=DCLICK"_s},
        {"Step", TriggerKeywords::step, u"ONTRIGGER=STEP"_s},
        {"Time", TriggerKeywords::timer, u"ONTRIGGER=TIMER"_s},
        {"Unequip", TriggerKeywords::unequip, u"ONTRIGGER=UNEQUIP"_s},
        {"Spell", TriggerKeywords::spell, u"ONTRIGGER=SPELL"_s},
        {"Equip", TriggerKeywords::equip, u"ONTRIGGER=EQUIP"_s},
        {"Dropongr", TriggerKeywords::dropOnGround, u"ONTRIGGER=DROPON_GROUND"_s},
        {"DRPCHAR", TriggerKeywords::dropOnChar, u"ONTRIGGER=DROPON_CHAR"_s},
        {"Dmg", TriggerKeywords::damage, u"ONTRIGGER=DAMAGE"_s},
        {"Hear", TriggerKeywords::hear, u"ONTRIGGER=HEAR"_s},
    };

    QTest::addColumn<QString>("constant");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("after");
    for (const Row& row : table) {
        const QString constant = row.constant.toString();
        // Inside the second line: the keyword joins the characters around the caret.
        QTest::addRow("%s at the caret", row.name)
            << constant << u"first\r\non the line"_s << 9 << 0
            << u"first\r\non "_s + row.keyword + u"the line"_s;
        // "ne", the whole second line and "th" across two line breaks.
        QTest::addRow("%s over a multi-line selection", row.name)
            << constant << u"one\r\ntwo\r\nthree"_s << 1 << 9 << u"o"_s + row.keyword + u"ree"_s;
        QTest::addRow("%s in an empty document", row.name)
            << constant << QString() << 0 << 0 << row.keyword;
    }
}

void TriggerKeywordsTest::keywordIsWrittenAtTheSelection()
{
    QFETCH(QString, constant);
    QFETCH(QString, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, after);
    FakeEditorControl editor;
    EditorControl& text = editor;
    text.setDocumentText(before);
    text.setSelectionStart(selectionStart);
    text.setSelectionLength(selectionLength);

    text.setSelectedText(constant);

    QCOMPARE(text.documentText(), after);
}

QTEST_MAIN(TriggerKeywordsTest)
#include "tst_triggerkeywords.moc"
