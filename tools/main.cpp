#include <QCoreApplication>

#include <cstdio>

#include "Commands.h"

namespace {

constexpr const char* kUsage =
    "Aufruf: zelmo <Befehl> [Optionen]\n"
    "\n"
    "Befehle:\n"
    "  receive   --connect HOST:PORT --template DATEI --output ORDNER [--reconnect SEKUNDEN]\n"
    "            [--stale SEKUNDEN] [--exit-on-disconnect] [--no-timestamps] [--log-dir ORDNER]\n"
    "            [--record-dir ORDNER] [--record-limit MB] [--metrics-file DATEI]\n"
    "            Empfänger ohne Fenster: quittiert Telegramme und schreibt die Ausgabe\n"
    "  simulate  --listen HOST:PORT --show DATEI [--interval MS] [--speed FAKTOR] [--loop]\n"
    "            Sender: spielt eine Show einem Empfänger vor\n"
    "  relay     --connect SENDER --listen HOST:PORT [--reconnect SEKUNDEN] [--no-timestamps]\n"
    "            [--max-behind N]\n"
    "            ein Sender für bis zu acht Empfänger (Haupt- und Ersatzrechner)\n"
    "  record    --connect SENDER --listen HOST:PORT --show DATEI\n"
    "            zwischen Sender und Empfänger: zeichnet die Telegramme als Show auf\n"
    "  template check DATEI [--catalogues ORDNER]\n"
    "  template format DATEI [-o AUSGABE]\n"
    "            Vorlage prüfen oder in die Dateiform des Programms bringen\n"
    "  bench     [--telegram DATEI] [--count N] [--large MB] [--via-relay]\n"
    "            Laufzeit und Durchsatz des ganzen Wegs über Loopback, mit Untergrenze\n"
    "\n"
    "zelmo <Befehl> --help zeigt die Optionen eines Befehls.\n";

}  // namespace

int main(int argc, char** argv) {
    // The tool shows no window: Qt's own event dispatcher does, at less cost per socket event
    // than the GLib one, which the receiver pays for every telegram.
    if (qEnvironmentVariableIsEmpty("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zelmo");

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        std::fputs(kUsage, stderr);
        return zelmo::tool::kExitUsage;
    }
    const QString command = arguments.at(1);
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return zelmo::tool::kExitOk;
    }
    // The parser of a subcommand sees "zelmo <command>" as its program name.
    const QStringList rest = QStringList{"zelmo " + command} + arguments.mid(2);
    if (command == "receive")
        return zelmo::tool::Receive(rest);
    if (command == "simulate")
        return zelmo::tool::Simulate(rest);
    if (command == "record")
        return zelmo::tool::Record(rest);
    if (command == "relay")
        return zelmo::tool::Relay(rest);
    if (command == "template")
        return zelmo::tool::Template(rest);
    if (command == "bench")
        return zelmo::tool::Bench(rest);

    std::fprintf(stderr, "zelmo: unbekannter Befehl \"%s\"\n\n%s", qPrintable(command), kUsage);
    return zelmo::tool::kExitUsage;
}
