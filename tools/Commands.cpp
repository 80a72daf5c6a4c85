#include "Commands.h"

#include <QCoreApplication>

#include <cstdio>

namespace zelmo::tool {

namespace {

// Qt's help text names the executable's path and speaks English in its headings; the tool
// names the subcommand and speaks German like the rest of the program.
QString HelpText(const QCommandLineParser& parser, const QStringList& args) {
    QString text = parser.helpText();
    const QStringList appArgs = QCoreApplication::arguments();
    const QString program = appArgs.isEmpty() ? QString() : appArgs.first();
    text.replace("Usage: " + program, "Aufruf: " + args.first());
    text.replace("\nOptions:\n", "\nOptionen:\n");
    text.replace("\nArguments:\n", "\nArgumente:\n");
    text.replace("[options]", "[Optionen]");
    return text;
}

}  // namespace

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args) {
    const QCommandLineOption help(QStringList{"h", "help"}, "Zeigt diese Hilfe.");
    parser.addOption(help);
    if (!parser.parse(args)) {
        Fehler(args, parser.errorText());
        std::fprintf(stderr, "%s", qPrintable(HelpText(parser, args)));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fprintf(stdout, "%s", qPrintable(HelpText(parser, args)));
        return kExitOk;
    }
    return std::nullopt;
}

void Fehler(const QStringList& args, const QString& text) {
    const QString command = args.isEmpty() ? QStringLiteral("zelmo") : args.first();
    std::fprintf(stderr, "%s: %s\n", qPrintable(command), qPrintable(text));
}

}  // namespace zelmo::tool
