#include "Commands.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <cstdio>

#include "component/Error.h"
#include "component/FileReplace.h"

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

// The parser's own messages are English; the tool speaks German. Qt's four forms, each with
// the option names quoted by the parser.
QString ParserFehler(const QCommandLineParser& parser) {
    const QString text = parser.errorText();
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList names;
        for (const QString& name : unknown)
            names << (name.size() == 1 ? "-" : "--") + name;
        return (unknown.size() == 1 ? "unbekannte Option " : "unbekannte Optionen ") +
               names.join(", ");
    }
    static const QRegularExpression missing("^Missing value after '(.*)'\\.$");
    static const QRegularExpression unexpected("^Unexpected value after '(.*)'\\.$");
    if (const auto m = missing.match(text); m.hasMatch())
        return m.captured(1) + ": Wert fehlt";
    if (const auto m = unexpected.match(text); m.hasMatch())
        return m.captured(1) + ": nimmt keinen Wert";
    return text;
}

}  // namespace

std::optional<int> ParseArguments(QCommandLineParser& parser, const QStringList& args,
                                  qsizetype positional) {
    const QCommandLineOption help(QStringList{"h", "help"}, "Zeigt diese Hilfe.");
    parser.addOption(help);
    if (!parser.parse(args)) {
        Fehler(args, ParserFehler(parser));
        std::fprintf(stderr, "%s", qPrintable(HelpText(parser, args)));
        return kExitUsage;
    }
    if (parser.isSet(help)) {
        std::fprintf(stdout, "%s", qPrintable(HelpText(parser, args)));
        return kExitOk;
    }
    const QStringList stray = parser.positionalArguments().mid(positional);
    if (!stray.isEmpty()) {
        Fehler(args, (stray.size() == 1 ? "unerwartetes Argument \"" : "unerwartete Argumente \"") +
                         stray.join("\", \"") +
                         "\" (einen Wert mit Leerzeichen in Anführungszeichen setzen)");
        return kExitUsage;
    }
    return std::nullopt;
}

std::optional<QHostAddress> ListenAddress(const std::string& host) {
    if (host == "localhost")
        return QHostAddress(QHostAddress::LocalHost);
    if (host == "*")
        return QHostAddress(QHostAddress::Any);
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(host)))
        return std::nullopt;
    return address;
}

bool Vorhanden(const QCommandLineParser& parser, const QStringList& args,
               std::initializer_list<const QCommandLineOption*> required) {
    for (const QCommandLineOption* option : required) {
        if (!parser.isSet(*option)) {
            Fehler(args, "--" + option->names().first() + " fehlt");
            return false;
        }
    }
    return true;
}

std::optional<Endpoint> VerbindungsAdresse(const QCommandLineParser& parser,
                                           const QCommandLineOption& option,
                                           const QStringList& args) {
    const QString text = parser.value(option);
    const auto endpoint = ParseEndpoint(text.toStdString());
    if (!endpoint)
        Fehler(args, "--" + option.names().first() + ": \"" + text +
                         "\" ist keine Adresse HOST:PORT mit Port 1 bis 65535");
    return endpoint;
}

std::optional<LauschAdresse> LauschAdresseLesen(const QCommandLineParser& parser,
                                                const QCommandLineOption& option,
                                                const QStringList& args) {
    const QString text = parser.value(option);
    const auto endpoint = ParseEndpoint(text.toStdString(), true);
    const auto address = endpoint ? ListenAddress(endpoint->host) : std::nullopt;
    if (!address) {
        Fehler(args, "--" + option.names().first() + ": \"" + text +
                         "\" ist keine Adresse IP:PORT zum Lauschen");
        return std::nullopt;
    }
    return LauschAdresse{*address, endpoint->port};
}

std::optional<std::chrono::milliseconds> ParseSeconds(const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0.05) || seconds > 86400)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

std::optional<std::string> DateiLesen(const QStringList& args, const QString& path) {
    try {
        return ReadFile(path.toStdString());
    } catch (const Error& e) {
        Fehler(args, QString::fromStdString(e.what()));
        return std::nullopt;
    }
}

void Fehler(const QStringList& args, const QString& text) {
    const QString command = args.isEmpty() ? QStringLiteral("zelmo") : args.first();
    std::fprintf(stderr, "%s: %s\n", qPrintable(command), qPrintable(text));
}

}  // namespace zelmo::tool
