#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QTextStream;

// What the program was started to do:
//   vexlon [--help | --version] [Qt's standard options] [FILE]
struct CommandLine {
    // Set when the program is to end at once with this exit code, its text
    // already printed: 0 after --help or --version, 1 after a wrong option.
    std::optional<int> exitCode;
    // The script to open once the main window takes input, as an absolute
    // path, or empty.
    QString file;
};

// argv as text, each name taken as the bytes it is (see decodeFileName).
QStringList argumentsFrom(int argc, const char* const* argv);

// Reads arguments (the program's own name first); Qt's standard options are
// accepted and left to QApplication. Help and the version go to
// out, errors and notes to err. A relative FILE is taken from workingFolder;
// only the first FILE is opened, and err says so when there are more.
CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder,
                             QTextStream& out, QTextStream& err);
