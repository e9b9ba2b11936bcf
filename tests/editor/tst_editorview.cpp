#include "editor/ScriptEditor.h"

#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using Sci = QsciScintillaBase;

// Forty short lines, then one wider than any screen, then one more.
QString wideBelowTheFirstScreen()
{
    QString text;
    for (int line = 1; line <= 40; ++line)
        text += u"line %1\n"_s.arg(line);
    return text + QString(1100, u'W') + u"\nend"_s;
}

// Decoration ink: the run's red, also where it blends into the background.
bool isInk(QRgb pixel) { return qRed(pixel) - qGreen(pixel) > 60; }

} // namespace

class TestEditorView : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void horizontalBarFollowsTheWidestLine_data();
    void horizontalBarFollowsTheWidestLine();
    void findShowsAWideMatchAboveTheBar();
    void pointerIsTheTextBeamOverAllText_data();
    void pointerIsTheTextBeamOverAllText();
    void decorationsFollowTheRunsFont_data();
    void decorationsFollowTheRunsFont();

private:
    void select(int start, int length);
    int xOf(int position) const;
    ScriptEditor* box = nullptr;
};

void TestEditorView::init()
{
    box = new ScriptEditor;
    box->resize(400, 300);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box));
}

void TestEditorView::cleanup()
{
    delete box;
    box = nullptr;
}

void TestEditorView::select(int start, int length)
{
    box->setSelectionStart(start);
    box->setSelectionLength(length);
}

int TestEditorView::xOf(int position) const
{
    return int(box->SendScintilla(Sci::SCI_POINTXFROMPOSITION, 0UL,
                                  long(box->offsetOfPosition(position))));
}

void TestEditorView::horizontalBarFollowsTheWidestLine_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("bar");
    const QString wide = wideBelowTheFirstScreen();
    QTest::newRow("one short word") << QStringList{u"alpha"_s} << QString() << false;
    QTest::newRow("wide line below the first screen") << QStringList{wide} << QString() << true;
    QTest::newRow("short text after a wide one")
        << QStringList{wide, u"alpha\nbeta"_s} << QString() << false;
    QTest::newRow("new document after a wide one")
        << QStringList{wide, QString()} << QString() << false;
    QTest::newRow("wide line typed below the first screen")
        << QStringList{u"short\n"_s.repeated(40)} << QString(1100, u'W') << true;
    QTest::newRow("wide line deleted") << QStringList{wide} << u"-"_s << false;
}

// The bar shows exactly when some line is wider than the view, before that
// line is ever drawn, and the view starts at the left edge.
void TestEditorView::horizontalBarFollowsTheWidestLine()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, typed);
    QFETCH(bool, bar);
    for (const QString& text : texts) {
        box->setDocumentText(text);
        box->horizontalScrollBar()->setValue(box->horizontalScrollBar()->maximum());
        QTest::qWait(20);
    }
    if (typed == u"-"_s) {
        select(int(box->positionOfOffset(box->engineText().indexOf("W"))), 1101);
        box->setSelectedText(QString());
    } else if (!typed.isEmpty()) {
        box->setSelectionStart(30 * 6);
        box->setSelectedText(typed);
    }
    box->setSelectionStart(0);
    box->ensureCaretVisible();
    QTRY_COMPARE(box->horizontalScrollBar()->isVisible(), bar);
    QCOMPARE(box->horizontalScrollBar()->value(), 0);
    if (bar)
        QVERIFY(box->horizontalScrollBar()->maximum() > 1100 * 5 - box->viewport()->width());
}

// The match is on the view's last lines: once found it shows whole, above the bar.
void TestEditorView::findShowsAWideMatchAboveTheBar()
{
    box->setDocumentText(wideBelowTheFirstScreen());
    QTRY_VERIFY(box->horizontalScrollBar()->isVisible());
    const int match = int(box->positionOfOffset(box->engineText().indexOf("WWWW")));
    select(match + 1000, 4);
    box->ensureSelectionVisible();
    QTest::qWait(20);
    const QRect caret = box->caretRect();
    QVERIFY(caret.top() >= 0);
    QVERIFY2(caret.bottom() < box->viewport()->height(), "the match is under the bar");
    QVERIFY(caret.left() >= 0 && caret.left() < box->viewport()->width());
}

void TestEditorView::pointerIsTheTextBeamOverAllText_data()
{
    QTest::addColumn<int>("selected");
    QTest::newRow("over plain text") << 0;
    QTest::newRow("over selected text") << 5;
}

void TestEditorView::pointerIsTheTextBeamOverAllText()
{
    QFETCH(int, selected);
    box->setDocumentText(u"plain words here"_s);
    select(0, selected);
    const int y = box->caretRect().center().y();
    QTest::mouseMove(box->viewport(), QPoint(xOf(8), y));
    QTest::mouseMove(box->viewport(), QPoint(xOf(2), y));
    QCOMPARE(box->viewport()->cursor().shape(), Qt::IBeamCursor);
}

void TestEditorView::decorationsFollowTheRunsFont_data()
{
    QTest::addColumn<bool>("strikeout");
    QTest::addColumn<float>("size");
    for (const float size : {9.0F, 24.0F, 48.0F}) {
        QTest::addRow("strikeout at %g pt", double(size)) << true << size;
        QTest::addRow("underline at %g pt", double(size)) << false << size;
    }
}

// "x x x" in red at one size, beside plain text at the base size. The rows
// that the run's red fills from end to end are its line: strikeout through
// the middle of the x's, underline just below them, each as thick as the
// run's font says.
void TestEditorView::decorationsFollowTheRunsFont()
{
    QFETCH(bool, strikeout);
    QFETCH(float, size);
    box->setDocumentText(u"ab x x x cd"_s);
    select(3, 5);
    box->changeSelectionFormat({.size = size});
    box->changeSelectionFormat({.color = Qt::red});
    if (strikeout)
        box->changeSelectionFormat({.strikeout = true});
    else
        box->changeSelectionFormat({.underline = true});
    box->setSelectionStart(0);
    QTest::qWait(20);

    const QImage shot = box->viewport()->grab().toImage();
    const int left = xOf(3) + 1;
    const int right = xOf(8) - 1;
    std::vector<int> full;
    int inkTop = -1;
    int inkBottom = -1;
    for (int y = 0; y < shot.height(); ++y) {
        int ink = 0;
        for (int x = left; x < right; ++x)
            ink += isInk(shot.pixel(x, y)) ? 1 : 0;
        if (ink == right - left) {
            full.push_back(y);
        } else if (ink > 0) {
            inkTop = inkTop < 0 ? y : inkTop;
            inkBottom = y;
        }
    }
    QVERIFY(!full.empty());
    QVERIFY(inkTop >= 0);
    QFont font = box->font();
    font.setPointSizeF(size);
    const QFontMetricsF metrics(font, box->viewport());
    QVERIFY2(
        int(full.size()) >= qFloor(metrics.lineWidth())
            && int(full.size()) <= qCeil(metrics.lineWidth()),
        qPrintable(u"%1 rows for a line width of %2"_s.arg(full.size()).arg(metrics.lineWidth())));
    QCOMPARE(full.back() - full.front() + 1, int(full.size()));
    if (strikeout) {
        // The x's reach from inkTop to inkBottom: the line crosses their middle third.
        const double middle = (full.front() + full.back()) / 2.0;
        const double third = (inkBottom - inkTop) / 3.0;
        QVERIFY2(
            middle > inkTop + third - 1 && middle < inkBottom - third + 1,
            qPrintable(u"line at %1, letters %2..%3"_s.arg(middle).arg(inkTop).arg(inkBottom)));
    } else {
        QVERIFY(full.front() > inkBottom);
        QVERIFY(full.back() <= inkBottom + 1 + metrics.descent());
    }
}

QTEST_MAIN(TestEditorView)
#include "tst_editorview.moc"
