#include "editor/EditorControl.h"
#include "shell/MainWindow.h"
#include "support/FakeServices.h"

#include <QAction>
#include <QtTest>

using namespace Qt::StringLiterals;

// The Triggers menu, chosen through its items as the user does, against the
// keyword table typed here independently of the program's own constants.
class TriggerKeywordsTest : public QObject {
    Q_OBJECT
private slots:
    void itemWritesItsKeywordAtTheSelection_data();
    void itemWritesItsKeywordAtTheSelection();
};

void TriggerKeywordsTest::itemWritesItsKeywordAtTheSelection_data()
{
    struct Row {
        const char* item;
        QString caption;
        QString keyword;
    };
    const Row table[] = {
        {"Dclick", u"Double Click"_s, u"ONTRIGGER=DCLICK"_s},
        {"Step", u"Step"_s, u"ONTRIGGER=STEP"_s},
        {"Time", u"Timer"_s, u"ONTRIGGER=TIMER"_s},
        {"Unequip", u"Unequip"_s, u"ONTRIGGER=UNEQUIP"_s},
        {"Spell", u"Spell"_s, u"ONTRIGGER=SPELL"_s},
        {"Equip", u"Equip"_s, u"ONTRIGGER=EQUIP"_s},
        {"Dropongr", u"Drop On Ground"_s, u"ONTRIGGER=DROPON_GROUND"_s},
        {"DRPCHAR", u"Drop On Char"_s, u"ONTRIGGER=DROPON_CHAR"_s},
        {"Dmg", u"Damage"_s, u"ONTRIGGER=DAMAGE"_s},
        {"Hear", u"Hear"_s, u"ONTRIGGER=HEAR"_s},
    };

    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<QString>("after");
    for (const Row& row : table) {
        const QString item = QString::fromLatin1(row.item);
        // Inside the second line: the keyword joins the characters around the caret.
        QTest::addRow("%s at the caret", row.item)
            << item << row.caption << u"first\r\non the line"_s << 9 << 0
            << u"first\r\non "_s + row.keyword + u"the line"_s;
        // "ne", the whole second line and "th" across two line breaks.
        QTest::addRow("%s over a multi-line selection", row.item)
            << item << row.caption << u"one\r\ntwo\r\nthree"_s << 1 << 9
            << u"o"_s + row.keyword + u"ree"_s;
        QTest::addRow("%s in an empty document", row.item)
            << item << row.caption << QString() << 0 << 0 << row.keyword;
    }
}

void TriggerKeywordsTest::itemWritesItsKeywordAtTheSelection()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(QString, before);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(QString, after);

    FakeServices fakes;
    MainWindow window(fakes.take());
    EditorControl& text = window.editor();
    text.setDocumentText(before);
    text.setSelectionStart(selectionStart);
    text.setSelectionLength(selectionLength);

    QAction* action = window.menuItem(item);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    action->trigger();

    QCOMPARE(text.documentText(), after);
    QVERIFY(fakes.messageBox->asked.isEmpty());
    QVERIFY(fakes.commonDialog->shown.isEmpty());
}

QTEST_MAIN(TriggerKeywordsTest)
#include "tst_triggerkeywords.moc"
