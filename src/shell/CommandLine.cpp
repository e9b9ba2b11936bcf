#include "shell/CommandLine.h"

#include "help/Version.h"
#include "platform/FileName.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// The standard options of every Qt program, which QApplication takes out of
// argv (with one or two dashes, a value after a blank or, for some, after "=").
// They are known here so that the program's own options are read, and wrong
// ones refused, before QApplication opens a display: --help, --version and a
// wrong option then need none.
struct QtOption {
    const char16_t* name;
    const char16_t* value; // nullptr: a switch
};
constexpr QtOption qtOptions[] = {
    {u"platform", u"name"},
    {u"platformpluginpath", u"path"},
    {u"platformtheme", u"name"},
    {u"plugin", u"name"},
    {u"qwindowgeometry", u"geometry"},
    {u"geometry", u"geometry"},
    {u"qwindowtitle", u"title"},
    {u"title", u"title"},
    {u"qwindowicon", u"icon"},
    {u"icon", u"icon"},
    {u"session", u"id"},
    {u"qmljsdebugger", u"options"},
    {u"style", u"style"},
    {u"stylesheet", u"file"},
    {u"display", u"display"},
    {u"name", u"name"},
    {u"visual", u"id"},
    {u"reverse", nullptr},
    {u"testability", nullptr},
    {u"widgetcount", nullptr},
    {u"sync", nullptr},
    {u"nograb", nullptr},
    {u"dograb", nullptr},
};

} // namespace

QStringList argumentsFrom(int argc, const char* const* argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << decodeFileName(argv[i]);
    return arguments;
}

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
    // Qt's options are written with one dash: "-display :1".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const auto& [qtName, value] : qtOptions) {
        QCommandLineOption option(QString::fromUtf16(qtName));
        if (value)
            option.setValueName(QString::fromUtf16(value));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
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
