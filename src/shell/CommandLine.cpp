#include "shell/CommandLine.h"

#include "help/Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

CommandLine parseCommandLine(const QStringList& arguments, const QString& workingFolder,
                             QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Edits the trigger scripts of game servers."_s);
    // Both built here rather than by the parser's own options, which need a
    // running application object and would end the process themselves.
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help and ends."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s},
                                     u"Shows the program's version and ends."_s);
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(u"FILE"_s, u"The script to open."_s, u"[FILE]"_s);

    const QString name = u"vexlon"_s;
    if (!parser.parse(arguments)) {
        err << name << ": " << parser.errorText() << "\nTry '" << name << " --help'.\n";
        err.flush();
        return {.exitCode = 1, .file = {}};
    }
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        // The parser names the program by the path it was started from.
        text.replace(0, text.indexOf(u'\n'), u"Usage: "_s + name + u" [options] [FILE]"_s);
        out << text;
        out.flush();
        return {.exitCode = 0, .file = {}};
    }
    if (parser.isSet(version)) {
        out << name << ' ' << versionText(programVersion) << '\n';
        out.flush();
        return {.exitCode = 0, .file = {}};
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return {};
    if (files.size() > 1) {
        err << name << ": opening only \"" << files.first() << "\"; ignored: \""
            << files.mid(1).join(u"\", \""_s) << "\"\n";
        err.flush();
    }
    return {.exitCode = std::nullopt,
            .file = QDir::cleanPath(QDir(workingFolder).absoluteFilePath(files.first()))};
}
