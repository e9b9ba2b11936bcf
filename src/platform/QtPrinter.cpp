#include "platform/QtPrinter.h"

#include "platform/LineBreaks.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr qreal marginMillimetres = 20;
constexpr int tabStopSpaces = 4; // as in the editor

// QTextLayout scales tab stops by a resolution factor of its own when it lays
// out for a printer; measure the factor rather than guess it.
qreal tabStopScale(const QFont& font, QPaintDevice* device)
{
    constexpr qreal probeDistance = 100;
    QTextLayout probe(u"\t"_s, font, device);
    QTextOption option;
    option.setTabStopDistance(probeDistance);
    probe.setTextOption(option);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLineWidth(1e6);
    const qreal tabEnd = line.cursorToX(1);
    probe.endLayout();
    return tabEnd > 0 ? tabEnd / probeDistance : 1;
}

} // namespace

bool QtPrinter::printDocument(const FontChoice& font, const QString& text)
{
    const QPrinterInfo queue = QPrinterInfo::defaultPrinter();
    if (queue.isNull())
        return false;
    QPrinter printer(queue, QPrinter::HighResolution);
    // A queue that Qt cannot drive turns QPrinter into a PDF writer without a
    // file name, which would print nothing and still report success.
    if (!printer.isValid() || printer.outputFormat() != QPrinter::NativeFormat)
        return false;
    printer.setDocName(u"Vexlon Script Editor"_s);
    return printText(printer, font, text);
}

bool QtPrinter::printText(QPrinter& printer, const FontChoice& font, const QString& text)
{
    printer.setFullPage(false);
    printer.setPageMargins(
        QMarginsF(marginMillimetres, marginMillimetres, marginMillimetres, marginMillimetres),
        QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont qfont(toQFont(font), &printer);
    painter.setPen(font.color);

    // The painter's origin is the top-left corner of the area inside the margins.
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(tabStopSpaces * QFontMetricsF(qfont, &printer).horizontalAdvance(u' ')
                              / tabStopScale(qfont, &printer));

    qreal top = 0; // of the next printed line on the current page
    const auto printLine = [&](QStringView line, bool) {
        QTextLayout layout(line.toString(), qfont, &printer);
        layout.setTextOption(option);
        layout.beginLayout();
        qreal height = 0;
        for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
            row.setLineWidth(area.width());
            row.setPosition(QPointF(0, height));
            height += row.height();
        }
        layout.endLayout();

        for (int i = 0; i < layout.lineCount(); ++i) {
            const QTextLine row = layout.lineAt(i);
            if (top > 0 && top + row.height() > area.height()) {
                if (!printer.newPage())
                    return false;
                top = 0;
            }
            row.draw(&painter, QPointF(0, top - row.y()));
            top += row.height();
        }
        return true;
    };
    return LineBreaks::forEachLine(text, printLine) && painter.end();
}
