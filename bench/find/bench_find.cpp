// Times the Find dialog's search over a 10 MB script, beside a plain byte
// search (memmem) of the same text. Run by hand:
//   QT_QPA_PLATFORM=offscreen build/bench/find/bench_find
#include "editing/EditorTextMirror.h"
#include "editing/TextSearch.h"
#include "editor/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Runs = 7;

// Keeps the compiler from dropping a search whose result is not used.
volatile qsizetype sink = 0;

// The median of several runs, in milliseconds.
double medianMs(const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < Runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QString script(qsizetype bytes)
{
    const QString lines[] = {
        u"[ITEM 0x0e21]\r\n"_s,         u"ONTRIGGER=DCLICK\r\n"_s,
        u"  IF (<SRC.STR> < 50)\r\n"_s, u"    SRC.SYSMESSAGE You are too weak.\r\n"_s,
        u"    RETURN 1\r\n"_s,          u"  ENDIF\r\n"_s,
        u"ONTRIGGER=STEP\r\n"_s,        u"  SRC.HITS = <SRC.HITS> - 5\r\n"_s,
    };
    QString text;
    text.reserve(bytes + 64);
    for (qsizetype i = 0; text.size() < bytes; ++i)
        text += lines[i % std::size(lines)];
    return text;
}

// One character typed in the middle of the document, then taken out again.
double typingMs(RichTextBox& editor)
{
    const int middle = editor.document()->characterCount() / 2;
    return medianMs([&] {
        editor.setSelectionStart(middle);
        editor.setSelectedText(u"x"_s);
        editor.setSelectionStart(middle);
        editor.setSelectionLength(1);
        editor.setSelectedText(QString());
    });
}

bool memmemFinds(const QByteArray& haystack, const QByteArray& needle)
{
    return memmem(haystack.constData(), size_t(haystack.size()), needle.constData(),
                  size_t(needle.size()))
           != nullptr;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString text = script(10 * 1024 * 1024);
    // As in the main window, the mirror follows the document from the start.
    RichTextBox editor;
    EditorTextMirror::of(*editor.document());
    QElapsedTimer loading;
    loading.start();
    editor.setDocumentText(text);
    const double loadMs = double(loading.nsecsElapsed()) / 1e6;
    RichTextBox bare;
    loading.restart();
    bare.setDocumentText(text);
    const double bareLoadMs = double(loading.nsecsElapsed()) / 1e6;

    const QString raw = editor.document()->toRawText();
    const QByteArray bytes = raw.toLatin1();
    const QString missing = u"ONTRIGGER=NEVER"_s;
    const QString nearEnd = u"NEAR THE END"_s;
    const QByteArray missingBytes = missing.toLatin1();
    const QByteArray nearEndBytes = nearEnd.toLatin1();

    std::printf("document: %.1f MB of script text, %d lines\n", double(bytes.size()) / 1e6,
                editor.document()->blockCount());
    std::printf("median of %d runs, in ms\n\n", Runs);

    const double findNone = medianMs([&] {
        editor.setSelectionStart(0);
        TextSearch::selectNextOccurrence(editor, missing);
    });
    const bool noneAtEnd = editor.SelectionStart() == raw.size() && editor.SelectionLength() == 0;
    const double indexNone = medianMs([&] { sink = QStringView(raw).indexOf(missing); });
    const double memmemNone = medianMs([&] { sink = memmemFinds(bytes, missingBytes); });

    // The match goes 40 characters before the end, typed like any other edit.
    editor.setSelectionStart(int(raw.size()) - 40);
    editor.setSelectedText(nearEnd);
    const QString rawWithMatch = editor.document()->toRawText();
    const QByteArray bytesWithMatch = rawWithMatch.toLatin1();
    const double findEnd = medianMs([&] {
        editor.setSelectionStart(0);
        TextSearch::selectNextOccurrence(editor, nearEnd);
    });
    const bool found = editor.SelectedText() == nearEnd;
    const double indexEnd = medianMs([&] { sink = QStringView(rawWithMatch).indexOf(nearEnd); });
    const double memmemEnd = medianMs([&] { sink = memmemFinds(bytesWithMatch, nearEndBytes); });

    const double rawCopy = medianMs([&] { sink = editor.document()->toRawText().size(); });
    const double typing = typingMs(editor);
    const double bareTyping = typingMs(bare);

    std::printf("%-46s %10s %10s\n", "", "no match", "near end");
    std::printf("%-46s %10.2f %10.2f\n", "Find (TextSearch::selectNextOccurrence)", findNone,
                findEnd);
    std::printf("%-46s %10.2f %10.2f\n", "QStringView::indexOf on the same text", indexNone,
                indexEnd);
    std::printf("%-46s %10.2f %10.2f\n", "memmem on the same text as bytes", memmemNone, memmemEnd);
    std::printf("\nwhat the mirror saves and costs:\n");
    std::printf("%-46s %10.2f\n", "reading the text out of QTextDocument", rawCopy);
    std::printf("%-46s %10.2f / %.2f\n", "typing and deleting a character, with / without", typing,
                bareTyping);
    std::printf("%-46s %10.0f / %.0f\n", "loading the document, with / without", loadMs,
                bareLoadMs);
    std::printf("\nno match leaves the caret at the end: %s; match near the end selected: %s\n",
                noneAtEnd ? "yes" : "NO", found ? "yes" : "NO");
    std::printf("limit for no match, 50 ms: %s\n", findNone <= 50 ? "met" : "MISSED");
    return found && noneAtEnd && findNone <= 50 ? 0 : 1;
}
