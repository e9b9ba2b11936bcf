#include "document/PrintCommand.h"
#include "editor/ScriptEditor.h"
#include "platform/QtPrinter.h"
#include "support/FakeServices.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Runs one of the poppler tools and returns what it wrote.
QString poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(20000) || process.exitCode() != 0) {
        qWarning() << tool << arguments << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& pdf)
{
    static const QRegularExpression pages(u"^Pages:\\s+(\\d+)"_s,
                                          QRegularExpression::MultilineOption);
    return pages.match(poppler(u"pdfinfo"_s, {pdf})).captured(1).toInt();
}

QString pageText(const QString& pdf, int first, int last)
{
    return poppler(u"pdftotext"_s,
                   {u"-f"_s, QString::number(first), u"-l"_s, QString::number(last), pdf, u"-"_s});
}

// The fonts in the PDF, without the subset prefix ("ABCDEF+").
QStringList fontNames(const QString& pdf)
{
    QStringList names;
    const QStringList lines = poppler(u"pdffonts"_s, {pdf}).split(u'\n');
    for (const QString& line : lines.mid(2)) {
        const QString name = line.section(u' ', 0, 0);
        if (!name.isEmpty())
            names << name.section(u'+', -1);
    }
    return names;
}

struct Word {
    QString text;
    QRectF box;
};

struct Page {
    QSizeF size;
    QList<Word> words;
};

// Words and their boxes in points, from pdftotext's bounding-box output.
QList<Page> layoutOf(const QString& pdf)
{
    static const QRegularExpression pageTag(u"<page width=\"([\\d.]+)\" height=\"([\\d.]+)\">"_s);
    static const QRegularExpression wordTag(
        u"<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"_s);
    QList<Page> pages;
    const QStringList lines = poppler(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s}).split(u'\n');
    for (const QString& line : lines) {
        if (const auto page = pageTag.match(line); page.hasMatch()) {
            pages.append({QSizeF(page.captured(1).toDouble(), page.captured(2).toDouble()), {}});
        } else if (const auto word = wordTag.match(line); word.hasMatch() && !pages.isEmpty()) {
            const QPointF topLeft(word.captured(1).toDouble(), word.captured(2).toDouble());
            const QPointF bottomRight(word.captured(3).toDouble(), word.captured(4).toDouble());
            pages.last().words.append({word.captured(5), QRectF(topLeft, bottomRight)});
        }
    }
    return pages;
}

FontChoice fontOf(const QString& name, float size, bool bold = false, bool italic = false)
{
    return {name, size, bold, italic, false, false, QColor(Qt::black)};
}

} // namespace

class TestQtPrinter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void printoutUsesTheOneChosenFont_data();
    void printoutUsesTheOneChosenFont();
    void sizeSetsTheHeightOfThePrintedText();
    void colourAndStylesReachThePaper_data();
    void colourAndStylesReachThePaper();
    void everyLineFitsWithinTheMargins();
    void tabStopsEveryFourSpaces_data();
    void tabStopsEveryFourSpaces();
    void longDocumentContinuesOnTheNextPages();
    void emptyDocumentPrintsOneBlankPage();
    void printerThatCannotOpenFails();
    void noDefaultPrinterFailsIntoRetryCancel();

private:
    QString printToPdf(const FontChoice& font, const QString& text, bool* printed = nullptr);

    std::unique_ptr<QTemporaryDir> dir_;
    int jobs_ = 0;
};

void TestQtPrinter::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
}

QString TestQtPrinter::printToPdf(const FontChoice& font, const QString& text, bool* printed)
{
    const QString path = dir_->filePath(u"job%1.pdf"_s.arg(++jobs_));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    const bool ok = QtPrinter::printText(printer, font, text);
    if (printed)
        *printed = ok;
    return path;
}

void TestQtPrinter::printoutUsesTheOneChosenFont_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<QString>("pdfFont");

    QTest::newRow("plain") << u"DejaVu Sans"_s << false << false << u"DejaVuSans"_s;
    QTest::newRow("bold") << u"DejaVu Sans"_s << true << false << u"DejaVuSans-Bold"_s;
    QTest::newRow("italic serif") << u"DejaVu Serif"_s << false << true << u"DejaVuSerif-Italic"_s;
    QTest::newRow("bold italic mono")
        << u"DejaVu Sans Mono"_s << true << true << u"DejaVuSansMono-BoldOblique"_s;
}

void TestQtPrinter::printoutUsesTheOneChosenFont()
{
    QFETCH(QString, face);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(QString, pdfFont);
    bool printed = false;
    const QString pdf =
        printToPdf(fontOf(face, 12, bold, italic), u"ONTRIGGER=DCLICK\r\n\tsay hello"_s, &printed);

    QVERIFY(printed);
    QCOMPARE(fontNames(pdf), QStringList{pdfFont});
    const QString text = pageText(pdf, 1, 1);
    QVERIFY2(text.contains(u"ONTRIGGER=DCLICK"_s), qPrintable(text));
    QVERIFY2(text.contains(u"say hello"_s), qPrintable(text));
}

void TestQtPrinter::sizeSetsTheHeightOfThePrintedText()
{
    const auto heightAt = [this](float points) {
        const QList<Page> pages = layoutOf(printToPdf(fontOf(u"DejaVu Sans"_s, points), u"Hear"_s));
        return pages.size() == 1 && pages[0].words.size() == 1 ? pages[0].words[0].box.height()
                                                               : 0.0;
    };
    const qreal small = heightAt(10);
    const qreal large = heightAt(20);
    QVERIFY(small > 0);
    QVERIFY2(qAbs(large / small - 2) < 0.1, qPrintable(u"%1 and %2"_s.arg(small).arg(large)));
}

void TestQtPrinter::colourAndStylesReachThePaper_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strikeout");

    QTest::newRow("red") << QColor(Qt::red) << false << false;
    QTest::newRow("blue") << QColor(Qt::blue) << false << false;
    QTest::newRow("underline") << QColor(Qt::black) << true << false;
    QTest::newRow("strikeout") << QColor(Qt::black) << false << true;
}

// Renders the printout and compares it with the same text printed plain and black.
void TestQtPrinter::colourAndStylesReachThePaper()
{
    QFETCH(QColor, color);
    QFETCH(bool, underline);
    QFETCH(bool, strikeout);
    const auto render = [this](const FontChoice& font) {
        const QString pdf = printToPdf(font, u"Drop On Ground"_s);
        poppler(u"pdftoppm"_s, {u"-r"_s, u"50"_s, u"-png"_s, u"-singlefile"_s, pdf, pdf});
        return QImage(pdf + u".png"_s).convertToFormat(QImage::Format_RGB32);
    };
    FontChoice font = fontOf(u"DejaVu Sans"_s, 28, true);
    const QImage plain = render(font);
    font.color = color;
    font.underline = underline;
    font.strikeout = strikeout;
    const QImage styled = render(font);
    QVERIFY(!plain.isNull() && plain.size() == styled.size());

    // The pixel farthest from white carries the text colour.
    QRgb strongest = qRgb(255, 255, 255);
    int inkPlain = 0;
    int inkStyled = 0;
    for (int y = 0; y < styled.height(); ++y) {
        for (int x = 0; x < styled.width(); ++x) {
            const QRgb pixel = styled.pixel(x, y);
            if (qGray(plain.pixel(x, y)) < 128)
                ++inkPlain;
            if (qGray(pixel) < 200 || qBlue(pixel) < 200 || qRed(pixel) < 200)
                ++inkStyled;
            const auto distance = [](QRgb p) { return 765 - qRed(p) - qGreen(p) - qBlue(p); };
            if (distance(pixel) > distance(strongest))
                strongest = pixel;
        }
    }
    const QColor seen(strongest);
    QVERIFY2(qAbs(seen.red() - color.red()) < 40 && qAbs(seen.green() - color.green()) < 40
                 && qAbs(seen.blue() - color.blue()) < 40,
             qPrintable(seen.name()));
    if (underline || strikeout)
        QVERIFY2(inkStyled > inkPlain, qPrintable(u"%1 <= %2"_s.arg(inkStyled).arg(inkPlain)));
}

void TestQtPrinter::everyLineFitsWithinTheMargins()
{
    QStringList words;
    for (int i = 1; i <= 120; ++i)
        words << u"word%1"_s.arg(i, 3, 10, QChar(u'0'));
    const QString unbroken = QString(300, u'x');
    const QString text = words.join(u' ') + u"\r\n"_s + unbroken + u"\r\nlast line"_s;
    bool printed = false;
    const QList<Page> pages =
        layoutOf(printToPdf(fontOf(u"DejaVu Sans Mono"_s, 12), text, &printed));

    QVERIFY(printed);
    QCOMPARE(pages.size(), 1);
    const Page& page = pages[0];
    const QRectF inside(QPointF(0, 0), page.size);
    QStringList seen;
    QString xs;
    qreal lowest = 0;
    for (const Word& word : page.words) {
        QVERIFY2(inside.contains(word.box), qPrintable(word.text));
        // 20 mm margins: nothing closer than about 50 points to an edge.
        QVERIFY2(word.box.left() > 50 && word.box.right() < page.size.width() - 50,
                 qPrintable(word.text));
        lowest = qMax(lowest, word.box.bottom());
        if (word.text.startsWith(u"word"_s))
            seen << word.text;
        else if (word.text.startsWith(u'x'))
            xs += word.text;
    }
    QCOMPARE(seen, words);
    QCOMPARE(xs, unbroken);
    QVERIFY(lowest < page.size.height() - 50);
}

void TestQtPrinter::tabStopsEveryFourSpaces_data()
{
    QTest::addColumn<QString>("tabbed");
    QTest::addColumn<QString>("spaced");

    QTest::newRow("one tab") << u"\tSAY"_s << u"    SAY"_s;
    QTest::newRow("two tabs") << u"\t\tSAY"_s << u"        SAY"_s;
    QTest::newRow("tab after text") << u"ab\tSAY"_s << u"ab  SAY"_s;
}

// Scripts are indented with tabs; on paper they line up as in the editor.
void TestQtPrinter::tabStopsEveryFourSpaces()
{
    QFETCH(QString, tabbed);
    QFETCH(QString, spaced);
    const auto leftOfSay = [this](const QString& line) {
        const QList<Page> pages =
            layoutOf(printToPdf(fontOf(u"DejaVu Sans Mono"_s, 12), u"RETURN\r\n"_s + line));
        for (const Word& word : pages.value(0).words) {
            if (word.text == u"SAY"_s)
                return word.box.left();
        }
        return -1.0;
    };
    const qreal withTabs = leftOfSay(tabbed);
    const qreal withSpaces = leftOfSay(spaced);
    QVERIFY(withSpaces > 0);
    QVERIFY2(qAbs(withTabs - withSpaces) < 1,
             qPrintable(u"%1 and %2"_s.arg(withTabs).arg(withSpaces)));
}

void TestQtPrinter::longDocumentContinuesOnTheNextPages()
{
    QStringList lines;
    for (int i = 1; i <= 200; ++i)
        lines << u"Line %1"_s.arg(i, 3, 10, QChar(u'0'));
    bool printed = false;
    const QString pdf = printToPdf(fontOf(u"DejaVu Sans"_s, 12), lines.join(u"\r\n"_s), &printed);
    QVERIFY(printed);

    static const QRegularExpression printedLine(u"Line \\d{3}"_s);
    const auto linesOn = [&](int first, int last) {
        QStringList found;
        for (const auto& match : printedLine.globalMatch(pageText(pdf, first, last)))
            found << match.captured();
        return found;
    };
    const int pages = pageCount(pdf);
    const qsizetype perPage = linesOn(1, 1).size();
    QVERIFY(perPage > 10);
    QCOMPARE(pages, int((lines.size() + perPage - 1) / perPage));
    QCOMPARE(linesOn(1, pages), lines);
    QVERIFY(linesOn(pages, pages).contains(u"Line 200"_s));
}

void TestQtPrinter::emptyDocumentPrintsOneBlankPage()
{
    bool printed = false;
    const QString pdf = printToPdf(fontOf(u"DejaVu Sans"_s, 12), QString(), &printed);
    QVERIFY(printed);
    QCOMPARE(pageCount(pdf), 1);
    QCOMPARE(pageText(pdf, 1, 1).trimmed(), QString());
}

void TestQtPrinter::printerThatCannotOpenFails()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir_->filePath(u"no such folder/job.pdf"_s));
    QVERIFY(!QtPrinter::printText(printer, fontOf(u"DejaVu Sans"_s, 12), u"text"_s));
}

// Without a default queue QPrinter would quietly become a PDF writer with no
// file name; the command must report the failure instead.
void TestQtPrinter::noDefaultPrinterFailsIntoRetryCancel()
{
    if (!QPrinterInfo::defaultPrinter().isNull())
        QSKIP("this machine has a default printer");
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir_->path()));
    ScriptEditor editor;
    editor.setDocumentText(u"ONTRIGGER=STEP"_s);
    QtPrinter printer;
    FakeMessageBox box;
    box.answers = {MessageBox::Answer::Retry, MessageBox::Answer::Cancel};

    PrintCommand(editor, printer, box).print();

    QDir::setCurrent(before);
    QCOMPARE(box.asked.size(), 2);
    QCOMPARE(box.asked[0].prompt, u"Unable to print Document."_s);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), QStringList());
}

QTEST_MAIN(TestQtPrinter)
#include "tst_qtprinter.moc"
