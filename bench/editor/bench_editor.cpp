// Measures the editing area on a large script: replacing the whole text,
// reading it back, and typing in the middle of it, beside an empty editor.
//   bench_editor [megabytes]     (default 10; run with QT_QPA_PLATFORM=offscreen)

#include "editor/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString makeScript(qsizetype bytes)
{
    const QString block = u"[ITEMDEF i_guard_gate]\r\nNAME=guard gate\r\nONTRIGGER=DCLICK\r\n"
                          u"    SAY Halt, who goes there?\r\n    TIMER=60\r\nRETURN 1\r\n\r\n"_s;
    QString text;
    text.reserve(bytes + block.size());
    while (text.size() < bytes)
        text += block;
    text.truncate(bytes);
    return text;
}

double msSince(const QElapsedTimer& timer) { return timer.nsecsElapsed() / 1e6; }

// Average milliseconds a key: press, release, and the repaint it causes.
double typingLatency(QPlainTextEdit& editor, int keys)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < keys; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
        QApplication::sendEvent(&editor, &press);
        QApplication::sendEvent(&editor, &release);
        editor.repaint();
        QCoreApplication::processEvents();
    }
    return msSince(timer) / keys;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 10;
    const QString script = makeScript(qsizetype(megabytes) * 1024 * 1024);

    RichTextBox box;
    box.resize(800, 600);
    box.show();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    timer.start();
    box.setDocumentText(script);
    QCoreApplication::processEvents();
    const double writeMs = msSince(timer);

    timer.restart();
    const QString read = box.DocumentText();
    const double readMs = msSince(timer);
    if (read != script)
        std::fprintf(stderr, "DocumentText differs from what was written\n");

    box.setSelectionStart(int(script.size() / 2));
    const double typingMs = typingLatency(box, 300);

    QPlainTextEdit empty;
    empty.resize(800, 600);
    empty.show();
    QCoreApplication::processEvents();
    const double emptyTypingMs = typingLatency(empty, 300);

    std::printf("document size                 %8d MB\n", megabytes);
    std::printf("write DocumentText            %8.1f ms\n", writeMs);
    std::printf("read DocumentText             %8.1f ms\n", readMs);
    std::printf("typing in the middle          %8.3f ms/key\n", typingMs);
    std::printf("typing, empty QPlainTextEdit  %8.3f ms/key\n", emptyTypingMs);
    return 0;
}
