// The editor's speed and memory on large scripts, one measurement a run, so
// that each starts in a fresh process and its peak memory is its own.
// bench/run runs every mode and prints the table; a mode can also be run by
// hand (offscreen unless QT_QPA_PLATFORM names another platform):
//
//   bench_vexlon script MB PATH  write a script of MB megabytes to PATH, made from the
//                                script corpus (VEXLON_CORPUS names another place) when
//                                it is there, else from made-up script lines
//   bench_vexlon utf8 SOURCE PATH  the script at SOURCE as UTF-8, its bytes above 0x7F
//                                read as Windows-1252, cut to SOURCE's size
//   bench_vexlon read PATH       plain read of PATH                 -> ms peak-KiB
//   bench_vexlon write PATH      plain write and fsync of the bytes -> ms peak-KiB
//   bench_vexlon open PATH       File > Open, laid out and painted  -> ms peak-KiB
//   bench_vexlon save PATH       File > Save after Open             -> ms peak-KiB
//                                (peak over Open and Save together)
//   bench_vexlon find PATH       Find with no match, and memmem     -> ms ms
//   bench_vexlon firsts PATH     after Open: the first Find, the first
//                                format command, and Open      -> ms ms ms
//   bench_vexlon typing PATH     typing in the middle of the script,
//                                and in an empty QPlainTextEdit     -> ms ms (a key)
//   bench_vexlon line MB PATH    a script of MB megabytes on one line, no line break
//   bench_vexlon longline PATH   on a script of one long line: File > Open, End,
//                                a key typed there (with the work it leaves to
//                                the event loop), and the CPU used while the
//                                program then idles with the caret on it
//                                                                   -> ms ms ms percent
//   bench_vexlon text PATH       the editor's whole text: written
//                                (laid out and painted), then read  -> ms ms

#include "document/FileCommands.h"
#include "document/Windows1252.h"
#include "editing/TextSearch.h"
#include "editor/ScriptEditor.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/ProcessControl.h"
#include "platform/Progress.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

class ChosenFile final : public CommonDialog {
public:
    explicit ChosenFile(QString path)
        : path_(std::move(path))
    {
    }

protected:
    std::optional<QString> runOpenDialog() override { return path_; }
    std::optional<QString> runSaveDialog() override { return path_; }
    std::optional<FontChoice> runFontDialog() override { return std::nullopt; }

private:
    QString path_;
};

class AlwaysYes final : public MessageBox {
public:
    Answer ask(const QString&, const QString&, Buttons, Icon) override { return Answer::Yes; }
};

class NoEnd final : public ProcessControl {
public:
    void endProgram() override {}
};

class Unwatched final : public Progress {
public:
    void begin(const QString&, qint64) override {}
    bool advance(qint64, const QString&) override { return true; }
    void end() override {}
};

// The editor as the main window holds it, with the file commands on it.
struct EditorWindow {
    explicit EditorWindow(const QString& path)
        : text(new ScriptEditor(&window))
        , dialog(path)
        , files(*text, dialog, messageBox, process, progress,
                [this](FileCommands::Naming naming, const QString& path) {
                    window.setWindowTitle(FileCommands::captionFor(naming, path));
                })
    {
        window.resize(800, 600);
        text->resize(800, 600);
        window.show();
        QCoreApplication::processEvents();
    }

    void open()
    {
        files.openFile();
        // The document as the user sees it: laid out and painted.
        text->repaint();
        QCoreApplication::processEvents();
    }

    QWidget window;
    ScriptEditor* text;
    ChosenFile dialog;
    AlwaysYes messageBox;
    NoEnd process;
    Unwatched progress;
    FileCommands files;
};

qint64 statusKilobytes(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// Makes the peak resident size start again from the current one (Linux).
void resetPeak()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double msSince(const QElapsedTimer& timer) { return double(timer.nsecsElapsed()) / 1e6; }

double medianMs(int runs, const std::function<void()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(msSince(timer));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Keeps the compiler from dropping a search whose result is not used.
volatile bool sink = false;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The real scripts of the corpus one after the other, repeated, when the
// corpus is there; otherwise made-up script lines of about the same length
// with some bytes above 0x7F.
QByteArray scriptOfSize(qint64 size, const QString& corpus)
{
    QByteArray block;
    if (!corpus.isEmpty()) {
        QStringList paths;
        QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        for (const QString& path : std::as_const(paths))
            block += readAll(path);
    }
    if (block.isEmpty()) {
        for (int i = 0; i < 200; ++i) {
            block += "[ITEMDEF 0" + QByteArray::number(0x1000 + i, 16) + "]\n";
            block += "NAME=Caf\xE9 \x93sword\x94 " + QByteArray::number(i) + "\n";
            block += "TYPE=t_weapon_sword\nVALUE=" + QByteArray::number(i * 37) + "\n";
            block += "ONTRIGGER=DCLICK\n\tSRC.SYSMESSAGE Hello, world \x85\n\tRETURN 1\n\n";
        }
    }
    QByteArray bytes;
    bytes.reserve(size + block.size());
    while (bytes.size() < size)
        bytes += block;
    bytes.truncate(size);
    return bytes;
}

// Opened, it is a UTF-8 script of about the same characters as the source.
int writeUtf8Copy(const QString& source, const QString& path)
{
    const QByteArray bytes = readAll(source);
    QByteArray utf8 = Windows1252::decode(bytes).toUtf8();
    qsizetype size = bytes.size();
    // Cut at the start of a character, so that the copy stays valid UTF-8.
    while (size > 0 && size < utf8.size() && (uchar(utf8[size]) & 0xC0) == 0x80)
        --size;
    utf8.truncate(size);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(utf8) == utf8.size() ? 0 : 1;
}

int writeScript(int megabytes, const QString& path)
{
    QString corpus = qEnvironmentVariable("VEXLON_CORPUS", QStringLiteral(VEXLON_CORPUS_DIR));
    if (!QFileInfo(corpus).isDir())
        corpus.clear();
    const qint64 size = qint64(megabytes) << 20;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(scriptOfSize(size, corpus)) != size)
        return 1;
    std::printf("%s\n", corpus.isEmpty() ? "made-up script lines" : qPrintable(corpus));
    return 0;
}

// Time and growth of the peak resident memory over what the process held
// just before the measured step.
int timeWithPeak(const QString& mode, const QString& path)
{
    QByteArray plain;
    std::optional<EditorWindow> editor;
    if (mode == u"write")
        plain = readAll(path);
    else if (mode == u"open" || mode == u"save")
        editor.emplace(path);
    const qint64 before = statusKilobytes("VmRSS:");
    resetPeak();
    if (mode == u"save")
        editor->open();

    QElapsedTimer timer;
    timer.start();
    if (mode == u"read") {
        plain = readAll(path);
        if (plain.isEmpty())
            return 1;
    } else if (mode == u"write") {
        QFile file(path + u".plain"_s);
        if (!file.open(QIODevice::WriteOnly) || file.write(plain) != plain.size() || !file.flush()
            || ::fsync(file.handle()) != 0)
            return 1;
    } else if (mode == u"open") {
        editor->open();
    } else {
        editor->files.save();
    }
    const double ms = msSince(timer);
    std::printf("%.2f %lld\n", ms, qlonglong(statusKilobytes("VmHWM:") - before));
    return 0;
}

bool memmemFinds(const QByteArray& haystack, const QByteArray& needle)
{
    return memmem(haystack.constData(), size_t(haystack.size()), needle.constData(),
                  size_t(needle.size()))
           != nullptr;
}

int findNoMatch(const QString& path)
{
    EditorWindow editor(path);
    editor.open();
    const QString missing = u"ONTRIGGER=NEVERMATCHED"_s;
    const double findMs = medianMs(7, [&] {
        editor.text->setSelectionStart(0);
        TextSearch::selectNextOccurrence(*editor.text, missing);
    });
    const int end = editor.text->endPosition();
    if (editor.text->selectionStart() != end || editor.text->selectionLength() != 0) {
        std::fprintf(stderr, "Find with no match did not leave the caret at the end\n");
        return 1;
    }
    const QByteArray bytes = readAll(path);
    const QByteArray missingBytes = missing.toLatin1();
    const double memmemMs = medianMs(7, [&] { sink = memmemFinds(bytes, missingBytes); });
    std::printf("%.3f %.3f\n", findMs, memmemMs);
    return 0;
}

double msToOpen(EditorWindow& editor)
{
    QElapsedTimer timer;
    timer.start();
    editor.open();
    return msSince(timer);
}

// What the first of each costs right after Open, which counts nothing for
// them: a Find over the whole script, which needs editor positions, and a
// format command, which gives the document its formats.
int firstUses(const QString& path)
{
    EditorWindow editor(path);
    const double openMs = msToOpen(editor);
    QElapsedTimer timer;
    timer.start();
    editor.text->setSelectionStart(0);
    TextSearch::selectNextOccurrence(*editor.text, u"ONTRIGGER=NEVERMATCHED"_s);
    const double findMs = msSince(timer);

    editor.open();
    editor.text->setSelectionStart(editor.text->endPosition() / 2);
    editor.text->setSelectionLength(8);
    timer.restart();
    editor.text->changeSelectionFormat({.bold = true});
    editor.text->repaint();
    const double formatMs = msSince(timer);
    std::printf("%.1f %.1f %.1f\n", findMs, formatMs, openMs);
    return 0;
}

// Average milliseconds a key: press, release, and the repaint it causes.
double typingLatency(QWidget& editor, int keys)
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

int typing(const QString& path)
{
    const int keys = qEnvironmentVariableIntValue("VEXLON_TYPING_KEYS") > 0
                         ? qEnvironmentVariableIntValue("VEXLON_TYPING_KEYS")
                         : 300;
    EditorWindow editor(path);
    editor.open();
    editor.text->setFocus();
    editor.text->setSelectionStart(editor.text->endPosition() / 2);
    editor.text->ensureCaretVisible();
    QCoreApplication::processEvents();
    const double editorMs = typingLatency(*editor.text, keys);

    QPlainTextEdit empty;
    empty.resize(800, 600);
    empty.show();
    empty.setFocus();
    QCoreApplication::processEvents();
    const double emptyMs = typingLatency(empty, keys);
    std::printf("%.3f %.3f\n", editorMs, emptyMs);
    return 0;
}

int writeLongLine(int megabytes, const QString& path)
{
    const qint64 size = qint64(megabytes) << 20;
    QByteArray line;
    line.reserve(size);
    while (line.size() < size)
        line += "SRC.SYSMESSAGE Caf\xE9 \x93sword\x94 ";
    line.truncate(size);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(line) == size ? 0 : 1;
}

// CPU time of this process so far, all threads, in seconds. Precise, where
// the clock ticks of /proc/self/stat are apportioned after the fact and can
// show work done before a measurement began as done within it.
double cpuSeconds()
{
    timespec time{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
    return double(time.tv_sec) + double(time.tv_nsec) / 1e9;
}

int longLine(const QString& path)
{
    EditorWindow editor(path);
    const double openMs = msToOpen(editor);
    QElapsedTimer timer;
    timer.start();
    editor.text->setFocus();
    QCoreApplication::processEvents();

    const auto press = [&editor](Qt::Key key, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(editor.text, &down);
        QApplication::sendEvent(editor.text, &up);
        editor.text->repaint();
        QCoreApplication::processEvents();
    };
    timer.restart();
    press(Qt::Key_End, QString());
    const double endMs = msSince(timer);
    if (editor.text->selectionStart() != editor.text->endPosition()) {
        std::fprintf(stderr, "End did not move the caret to the end of the line\n");
        return 1;
    }
    timer.restart();
    press(Qt::Key_A, u"a"_s);
    double keyMs = msSince(timer);
    // The engine finishes laying the line out after the key is handled, from
    // its event loop: that work is the key's too, and idling starts after it.
    const double cpuAfterKey = cpuSeconds();
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();
    keyMs += 1000 * (cpuSeconds() - cpuAfterKey);

    // Idle: the event loop runs, with the caret on the long line, once the
    // key's work is done.
    const double cpuBefore = cpuSeconds();
    timer.restart();
    QEventLoop idle;
    QTimer::singleShot(3000, &idle, &QEventLoop::quit);
    idle.exec();
    const double idleSeconds = msSince(timer) / 1000;
    const double busy = cpuSeconds() - cpuBefore;
    std::printf("%.1f %.1f %.1f %.1f\n", openMs, endMs, keyMs, 100 * busy / idleSeconds);
    return 0;
}

// The editing area alone, without the file commands around it.
int wholeText(const QString& path)
{
    const QString script = QString::fromLatin1(readAll(path));
    ScriptEditor box;
    box.resize(800, 600);
    box.show();
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    box.setDocumentText(script);
    QCoreApplication::processEvents();
    const double writeMs = msSince(timer);
    timer.restart();
    const QString read = box.documentText();
    const double readMs = msSince(timer);
    sink = read.size() > 0;
    std::printf("%.1f %.1f\n", writeMs, readMs);
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: bench_vexlon script|line MB PATH | utf8 SOURCE PATH | "
                         "read|write|open|save|find|firsts|typing|longline|text PATH\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    // Every measurement is offscreen: no display's own work gets into the figures.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString mode = args.value(1);
    if (mode == u"script" && args.size() == 4)
        return writeScript(args[2].toInt(), args[3]);
    if (mode == u"utf8" && args.size() == 4)
        return writeUtf8Copy(args[2], args[3]);
    if (mode == u"line" && args.size() == 4)
        return writeLongLine(args[2].toInt(), args[3]);
    if (args.size() != 3)
        return usage();
    if (mode == u"read" || mode == u"write" || mode == u"open" || mode == u"save")
        return timeWithPeak(mode, args[2]);
    if (mode == u"find")
        return findNoMatch(args[2]);
    if (mode == u"firsts")
        return firstUses(args[2]);
    if (mode == u"typing")
        return typing(args[2]);
    if (mode == u"text")
        return wholeText(args[2]);
    if (mode == u"longline")
        return longLine(args[2]);
    return usage();
}
