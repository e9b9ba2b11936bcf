#include "editing/FormatCommands.h"
#include "support/FakeEditorControl.h"
#include "support/FakeServices.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Command = std::optional<bool> (FormatCommands::*)();

struct Toggle {
    const char* name;
    Command toggle;
    std::optional<bool> SelectionFormat::*attribute;
};

const Toggle toggles[] = {
    {"bold", &FormatCommands::toggleBold, &SelectionFormat::bold},
    {"italic", &FormatCommands::toggleItalic, &SelectionFormat::italic},
    {"strikeout", &FormatCommands::toggleStrikeout, &SelectionFormat::strikeout},
    {"underline", &FormatCommands::toggleUnderline, &SelectionFormat::underline},
};

SelectionFormat setting(const Toggle& toggle, bool on)
{
    SelectionFormat change;
    change.*toggle.attribute = on;
    return change;
}

FontChoice chosen()
{
    return {u"DejaVu Serif"_s, 17, true, false, true, false, QColor(0x12, 0x34, 0x56)};
}

} // namespace

class TestFormatCommands : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void toggleWritesTheOppositeOfTheText_data();
    void toggleWritesTheOppositeOfTheText();
    void toggleDecidesByTheTextAlone_data();
    void toggleDecidesByTheTextAlone();
    void toggleWithoutSelectionFormatsTheTextTypedNext_data();
    void toggleWithoutSelectionFormatsTheTextTypedNext();
    void toggleOnOnlyLineBreaksWritesNothing_data();
    void toggleOnOnlyLineBreaksWritesNothing();
    void fontOnOnlyLineBreaksWritesNothing();

    void fontFillsTheDialogAndWritesAllSevenBack();
    void fontCancelLeavesTheFormatting();
    void fontOnMixedSelectionStartsFromTheFirstCharacter_data();
    void fontOnMixedSelectionStartsFromTheFirstCharacter();
    void fontWithoutSelectionFormatsTheTextTypedNext();
    void changeWithoutRoomWarnsAndChangesNothing_data();
    void changeWithoutRoomWarnsAndChangesNothing();

private:
    EditorControl& text() { return *text_; }
    void select(int start, int length);
    FontChoice selectionFont();

    std::unique_ptr<FakeEditorControl> text_;
    std::unique_ptr<FakeCommonDialog> dialog_;
    FakeMessageBox messageBox_;
    std::unique_ptr<FormatCommands> format_;
};

void TestFormatCommands::init()
{
    text_ = std::make_unique<FakeEditorControl>();
    dialog_ = std::make_unique<FakeCommonDialog>();
    messageBox_.asked.clear();
    format_ = std::make_unique<FormatCommands>(*text_, *dialog_, messageBox_);
    text().setDocumentText(u"plain words here"_s);
}

void TestFormatCommands::cleanup()
{
    format_.reset();
    dialog_.reset();
    text_.reset();
}

void TestFormatCommands::select(int start, int length)
{
    text().setSelectionStart(start);
    text().setSelectionLength(length);
}

// The seven attributes of the selection; every one must be shared.
FontChoice TestFormatCommands::selectionFont()
{
    const std::optional<FontChoice> font = text().selectionFormat().font();
    [&] { QVERIFY(font); }();
    return font.value_or(FontChoice{});
}

void TestFormatCommands::toggleWritesTheOppositeOfTheText_data()
{
    QTest::addColumn<int>("toggle");
    QTest::addColumn<int>("onFrom");
    QTest::addColumn<int>("onLength");
    QTest::addColumn<bool>("written");
    for (int i = 0; i < int(std::size(toggles)); ++i) {
        const char* name = toggles[i].name;
        QTest::addRow("%s, none set", name) << i << 0 << 0 << true;
        QTest::addRow("%s, all set", name) << i << 0 << 5 << false;
        QTest::addRow("%s, set only at the start", name) << i << 0 << 2 << false;
        QTest::addRow("%s, set only at the end", name) << i << 3 << 2 << false;
    }
}

// The selection is "plain" (0..5): a part of it may carry the attribute
// beforehand. False becomes true; true and mixed become false.
void TestFormatCommands::toggleWritesTheOppositeOfTheText()
{
    QFETCH(int, toggle);
    QFETCH(int, onFrom);
    QFETCH(int, onLength);
    QFETCH(bool, written);
    const Toggle& t = toggles[toggle];
    if (onLength > 0) {
        select(onFrom, onLength);
        text().changeSelectionFormat(setting(t, true));
    }
    select(0, 5);

    const std::optional<bool> returned = (*format_.*t.toggle)();

    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(written));
    QCOMPARE(returned, std::optional<bool>(written));
    select(6, 5); // "words" is never touched
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(false));
}

void TestFormatCommands::toggleDecidesByTheTextAlone_data()
{
    QTest::addColumn<int>("toggle");
    for (int i = 0; i < int(std::size(toggles)); ++i)
        QTest::newRow(toggles[i].name) << i;
}

// What the toggle wrote last does not count: "words" is plain, so the
// attribute goes on although the last toggle also switched it on.
void TestFormatCommands::toggleDecidesByTheTextAlone()
{
    QFETCH(int, toggle);
    const Toggle& t = toggles[toggle];
    select(0, 5);
    QCOMPARE((*format_.*t.toggle)(), std::optional<bool>(true));

    select(6, 5);
    QCOMPARE((*format_.*t.toggle)(), std::optional<bool>(true));
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(true));

    QCOMPARE((*format_.*t.toggle)(), std::optional<bool>(false));
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(false));
    select(0, 5);
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(true));
}

void TestFormatCommands::toggleWithoutSelectionFormatsTheTextTypedNext_data()
{
    toggleDecidesByTheTextAlone_data();
}

void TestFormatCommands::toggleWithoutSelectionFormatsTheTextTypedNext()
{
    QFETCH(int, toggle);
    const Toggle& t = toggles[toggle];
    text().setSelectionStart(5);

    QCOMPARE((*format_.*t.toggle)(), std::optional<bool>(true));
    text().setSelectedText(u"XY"_s);

    QCOMPARE(text().documentText(), u"plainXY words here"_s);
    select(5, 2);
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(true));
    select(0, 5);
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(false));
    select(7, 6);
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(false));
}

void TestFormatCommands::toggleOnOnlyLineBreaksWritesNothing_data()
{
    toggleDecidesByTheTextAlone_data();
}

// Line breaks show no format: the toggle says it wrote nothing, so that the
// menu's check mark stays as it was, and no warning comes up.
void TestFormatCommands::toggleOnOnlyLineBreaksWritesNothing()
{
    QFETCH(int, toggle);
    const Toggle& t = toggles[toggle];
    text().setDocumentText(u"one\r\n\r\n\r\ntwo"_s);
    select(3, 3);
    const std::optional<bool> before = text().selectionFormat().*t.attribute;

    QCOMPARE((*format_.*t.toggle)(), std::nullopt);

    QCOMPARE(text().selectionFormat().*t.attribute, before);
    QCOMPARE(text().changeSelectionFormat(setting(t, true)),
             EditorControl::FormatResult::NothingToFormat);
    QVERIFY(messageBox_.asked.isEmpty());
    select(2, 2);
    QCOMPARE((*format_.*t.toggle)(), std::optional<bool>(true));
    QCOMPARE(text().selectionFormat().*t.attribute, std::optional<bool>(true));
}

void TestFormatCommands::fontOnOnlyLineBreaksWritesNothing()
{
    text().setDocumentText(u"one\r\n\r\ntwo"_s);
    select(3, 2);
    const FontChoice before = text().firstSelectedCharacterFont();
    dialog_->fontAnswers.push_back(chosen());
    format_->chooseFont();
    QVERIFY(messageBox_.asked.isEmpty());
    QCOMPARE(text().firstSelectedCharacterFont(), before);
    QCOMPARE(text().changeSelectionFormat(SelectionFormat::of(chosen())),
             EditorControl::FormatResult::NothingToFormat);
}

void TestFormatCommands::fontFillsTheDialogAndWritesAllSevenBack()
{
    select(6, 5);
    text().changeSelectionFormat({.name = u"DejaVu Sans"_s,
                                  .size = 11.5F,
                                  .italic = true,
                                  .underline = true,
                                  .color = QColor(200, 10, 20)});
    const FontChoice before{u"DejaVu Sans"_s, 11.5f, false, true, false, true, QColor(200, 10, 20)};
    QCOMPARE(selectionFont(), before);
    dialog_->fontAnswers.push_back(chosen());

    format_->chooseFont();

    QCOMPARE(dialog_->shown.size(), 1);
    QCOMPARE(dialog_->shown[0].kind, FakeCommonDialog::Shown::Kind::Font);
    QCOMPARE(dialog_->shown[0].font, before);
    QCOMPARE(selectionFont(), chosen());
    select(0, 5);
    QVERIFY(selectionFont() != chosen());
}

void TestFormatCommands::fontCancelLeavesTheFormatting()
{
    select(0, 5);
    text().changeSelectionFormat({.bold = true});
    const FontChoice before = selectionFont();
    dialog_->fontAnswers.push_back(std::nullopt);

    format_->chooseFont();

    QCOMPARE(dialog_->shown.size(), 1);
    QCOMPARE(selectionFont(), before);
}

void TestFormatCommands::fontOnMixedSelectionStartsFromTheFirstCharacter_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("mixed bold and size") << 0 << 11;
    QTest::newRow("from plain into bold") << 3 << 5;
    QTest::newRow("across a line") << 4 << 10;
}

// The selection spans "plain" (plain, 9 pt) and "words" (bold, red, 20 pt).
void TestFormatCommands::fontOnMixedSelectionStartsFromTheFirstCharacter()
{
    QFETCH(int, start);
    QFETCH(int, length);
    text().setDocumentText(u"plain words\r\nhere"_s);
    select(0, 16);
    text().changeSelectionFormat({.size = 9});
    select(6, 5);
    text().changeSelectionFormat({.size = 20, .bold = true, .color = Qt::red});
    select(start, 1);
    const FontChoice first = selectionFont();
    select(start, length);
    QVERIFY(!text().selectionFormat().bold);
    dialog_->fontAnswers.push_back(chosen());

    format_->chooseFont();

    QCOMPARE(dialog_->shown.size(), 1);
    QCOMPARE(dialog_->shown[0].font, first);
    QCOMPARE(text().selectionStart(), start);
    QCOMPARE(text().selectionLength(), length);
    QCOMPARE(selectionFont(), chosen());
}

void TestFormatCommands::fontWithoutSelectionFormatsTheTextTypedNext()
{
    text().setSelectionStart(5);
    const FontChoice atCaret = selectionFont();
    dialog_->fontAnswers.push_back(chosen());

    format_->chooseFont();
    text().setSelectedText(u"XY"_s);

    QCOMPARE(dialog_->shown.size(), 1);
    QCOMPARE(dialog_->shown[0].font, atCaret);
    select(5, 2);
    QCOMPARE(selectionFont(), chosen());
    select(0, 5);
    QCOMPARE(selectionFont(), atCaret);
}

void TestFormatCommands::changeWithoutRoomWarnsAndChangesNothing_data()
{
    QTest::addColumn<bool>("font");
    QTest::newRow("bold") << false;
    QTest::newRow("font") << true;
}

// The editor shows only so many different formats at once. A change that
// needs one more says so and changes nothing; with room again, the same
// command writes without a word.
void TestFormatCommands::changeWithoutRoomWarnsAndChangesNothing()
{
    QFETCH(bool, font);
    select(0, 5);
    text().changeSelectionFormat({.color = QColor(7, 0, 200)});
    const FontChoice before = selectionFont();
    const auto run = [&] {
        if (!font)
            return format_->toggleBold().has_value();
        dialog_->fontAnswers.push_back(chosen());
        format_->chooseFont();
        return selectionFont() == chosen();
    };
    text_->full = true;
    messageBox_.answers = {MessageBox::Answer::Ok};

    QVERIFY(!run());

    QCOMPARE(messageBox_.asked.size(), 1);
    QCOMPARE(messageBox_.asked[0].title, u"VX Format..."_s);
    QCOMPARE(messageBox_.asked[0].buttons, MessageBox::Buttons::Ok);
    QCOMPARE(messageBox_.asked[0].icon, MessageBox::Icon::Warning);
    QCOMPARE(selectionFont(), before);

    text_->full = false;
    QVERIFY(run());
    QCOMPARE(messageBox_.asked.size(), 1);
}

QTEST_MAIN(TestFormatCommands)
#include "tst_formatcommands.moc"
