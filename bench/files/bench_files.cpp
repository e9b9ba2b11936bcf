// Open and Save of large scripts through the real file commands, beside
// reading and writing the same bytes with plain file calls.
//
//   bench_files [folder]
//
// The scripts are made from the real ones of the shared corpus when it is
// found (VEXLON_CORPUS names another place). Writes scripts of 1, 10 and 50 MB into the folder (a
// temporary one by default) and runs each measurement in a fresh process of its own, so that the
// peak memory of one does not hide that of another. Prints the time and the growth of the peak
// resident memory over what the process held before the measured step, also as a multiple of the
// file's size.

#include "document/FileCommands.h"
#include "editor/RichTextBox.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/ProcessControl.h"

#include <QApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>

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

qint64 statusKilobytes(const char* field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').value(0).toLongLong();
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

// Script text of the given size: the real scripts of the corpus one after
// the other, repeated, when the corpus is there; otherwise made-up script
// lines of about the same length (23 bytes on average) with LF line ends and
// some bytes above 0x7F.
QByteArray scriptOfSize(qint64 size, const QString& corpus)
{
    QByteArray block;
    if (!corpus.isEmpty()) {
        QStringList paths;
        QDirIterator it(corpus, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            paths << it.next();
        paths.sort();
        for (const QString& path : std::as_const(paths)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                block += file.readAll();
        }
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
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes += block;
    bytes.truncate(size);
    return bytes;
}

// One measurement, in this process: prints "milliseconds peak-growth-KiB".
int measure(const QString& step, const QString& path)
{
    QWidget window;
    auto* text = new RichTextBox(&window);
    window.resize(800, 600);
    text->resize(800, 600);
    window.show();
    ChosenFile dialog(path);
    AlwaysYes messageBox;
    NoEnd process;
    FileCommands files(*text, dialog, messageBox, process, window);
    if (step == u"save")
        files.Open();
    QCoreApplication::processEvents();

    QByteArray plain;
    if (step == u"write")
        plain = scriptOfSize(QFileInfo(path).size(), {});
    const qint64 before = statusKilobytes("VmRSS:");
    resetPeak();
    QElapsedTimer timer;
    timer.start();
    if (step == u"read") {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        plain = file.readAll();
    } else if (step == u"write") {
        QFile file(path + u".plain"_s);
        if (!file.open(QIODevice::WriteOnly) || file.write(plain) != plain.size())
            return 1;
        file.flush();
    } else if (step == u"open") {
        files.Open();
        // The document as the user sees it: laid out and painted.
        text->repaint();
        QCoreApplication::processEvents();
    } else if (step == u"save") {
        files.Save();
    }
    const qint64 ms = timer.elapsed();
    const qint64 peak = statusKilobytes("VmHWM:");
    std::printf("%lld %lld\n", qlonglong(ms), qlonglong(peak - before));
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == u"--measure")
        return measure(args[2], args[3]);

    QTemporaryDir temporary;
    const QString folder = args.size() > 1 ? args[1] : temporary.path();
    QString corpus = qEnvironmentVariable("VEXLON_CORPUS", QStringLiteral(VEXLON_CORPUS_DIR));
    if (!QFileInfo(corpus).isDir())
        corpus.clear();
    QTextStream out(stdout);
    out << "scripts made from "
        << (corpus.isEmpty() ? u"made-up script lines"_s : u"the corpus at "_s + corpus) << "\n";
    out << u"%1 %2 %3 %4\n"_s.arg(u"size"_s, -6)
               .arg(u"step"_s, -12)
               .arg(u"time (ms)"_s, 10)
               .arg(u"peak growth (MB, x size)"_s, 26);
    for (const int megabytes : {1, 10, 50}) {
        const qint64 size = qint64(megabytes) << 20;
        const QString path = u"%1/script-%2mb.scp"_s.arg(folder).arg(megabytes);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(scriptOfSize(size, corpus)) != size) {
            out << "cannot write " << path << '\n';
            return 1;
        }
        file.close();
        const std::pair<const char*, const char*> steps[] = {
            {"read", "plain read"}, {"open", "Open"}, {"write", "plain write"}, {"save", "Save"}};
        for (const auto& [step, label] : steps) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(),
                        {u"--measure"_s, QString::fromLatin1(step), path});
            child.waitForFinished(-1);
            const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
            if (child.exitCode() != 0 || figures.size() != 2) {
                out << "failed: " << label << ' ' << path << '\n';
                continue;
            }
            const double growthMb = figures[1].toDouble() / 1024.0;
            out << u"%1 %2 %3 %4 %5\n"_s.arg(u"%1 MB"_s.arg(megabytes), -6)
                       .arg(QString::fromLatin1(label), -12)
                       .arg(QString::fromLatin1(figures[0]), 10)
                       .arg(growthMb, 14, 'f', 1)
                       .arg(u"(%1x)"_s.arg(growthMb / megabytes, 0, 'f', 1), 11);
            out.flush();
        }
        QFile::remove(path);
        QFile::remove(path + u".plain"_s);
    }
    return 0;
}
