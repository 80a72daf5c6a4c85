// zelmo template check / format: the template author's tools.

#include <QDir>

#include <cstdio>

#include "Commands.h"
#include "TemplateCheck.h"
#include "component/Error.h"
#include "platform/Platform.h"
#include "start/Catalogues.h"
#include "templates/VorlageDatei.h"

namespace zelmo::tool {

namespace {

// The reader's outcome as one line of text; nothing when a template was read.
std::optional<QString> LeseFehler(const EinleseErgebnis& ergebnis) {
    if (ergebnis.Erfolgreich())
        return std::nullopt;
    if (ergebnis.Status == EinleseStatus::ZeilenLeer)
        return QStringLiteral("Keine Ausgabezeilen vorhanden!");
    QString text = QString::fromStdString(ergebnis.Meldung);
    text.replace("\r\n", " ");
    return text;
}

int Check(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Prüft eine Vorlage: Aufbau, Ereignisse und Tabellen samt Feldern gegen die Kataloge, "
        "gepaarte Tabelle/Feld-Zeilen, Seitennummern und Dateinamen. Exit-Code 1 bei einem "
        "Befund, 0 wenn alles stimmt.");
    parser.addPositionalArgument("DATEI", "Die Vorlagendatei.");
    const QCommandLineOption cataloguesOption(
        "catalogues",
        "Ordner mit Tabellen.json und Ereignisse.json (Vorgabe: wo das Programm sie sucht, "
        "neben dem Programm oder, installiert, erst in ~/.config/zelmo-livetext, dann im "
        "Datenordner des Pakets).",
        "ORDNER");
    parser.addOption(cataloguesOption);
    if (const auto done = ParseArguments(parser, args, 1))
        return *done;
    if (parser.positionalArguments().isEmpty()) {
        Fehler(args, "Vorlagendatei fehlt");
        return kExitUsage;
    }
    const QString datei = parser.positionalArguments().first();
    std::vector<std::string> ordner;
    try {
        ordner = parser.isSet(cataloguesOption)
                     ? std::vector{QDir::toNativeSeparators(parser.value(cataloguesOption))
                                       .toStdString()}
                     : platform::CreateSystemPlatform()->FoldersInUse().catalogues;
    } catch (const Error& e) {
        Fehler(args, QString::fromStdString(e.what()));
        return kExitUsage;
    }

    const start::CatalogueLoad kataloge = start::StarttabellenEinlesen(ordner);
    if (kataloge.message) {
        Fehler(args, QString::fromStdString(*kataloge.message));
        return kExitUsage;
    }

    const auto bytes = DateiLesen(args, datei);
    if (!bytes)
        return kExitUsage;
    const EinleseErgebnis ergebnis = VorlageAusBytes(*bytes);
    if (const auto fehler = LeseFehler(ergebnis)) {
        std::printf("%s: %s\n", qPrintable(datei), qPrintable(*fehler));
        return kExitFailed;
    }
    const std::vector<Befund> befunde = VorlagePruefen(ergebnis.Vorlage, kataloge.catalogues);
    for (const Befund& b : befunde)
        std::printf("%s: Zeile %zu: %s\n", qPrintable(datei), b.zeile, b.text.c_str());
    if (befunde.empty()) {
        const std::size_t n = ergebnis.Vorlage.Zeilenanzahl();
        std::printf("%s: in Ordnung (%zu %s)\n", qPrintable(datei), n, n == 1 ? "Zeile" : "Zeilen");
        return kExitOk;
    }
    std::printf("%s: %zu %s\n", qPrintable(datei), befunde.size(),
                befunde.size() == 1 ? "Befund" : "Befunde");
    return kExitFailed;
}

int Format(const QStringList& args) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Schreibt eine Vorlage in der Dateiform, die das Programm selbst schreibt.");
    parser.addPositionalArgument("DATEI", "Die Vorlagendatei.");
    const QCommandLineOption outputOption(
        QStringList{"o", "output"}, "Zieldatei (Vorgabe: die Vorlagendatei selbst).", "AUSGABE");
    parser.addOption(outputOption);
    if (const auto done = ParseArguments(parser, args, 1))
        return *done;
    if (parser.positionalArguments().isEmpty()) {
        Fehler(args, "Vorlagendatei fehlt");
        return kExitUsage;
    }
    const QString datei = parser.positionalArguments().first();
    const QString ziel = parser.isSet(outputOption) ? parser.value(outputOption) : datei;

    const auto bytes = DateiLesen(args, datei);
    if (!bytes)
        return kExitUsage;
    const EinleseErgebnis ergebnis = VorlageAusBytes(*bytes);
    if (const auto fehler = LeseFehler(ergebnis)) {
        Fehler(args, datei + ": " + *fehler);
        return kExitUsage;
    }
    try {
        VorlageSpeichern(ziel.toStdString(), ergebnis.Vorlage);
    } catch (const Error& e) {
        Fehler(args, QString::fromStdString(e.what()));
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int Template(const QStringList& args) {
    const QString sub = args.size() > 1 ? args.at(1) : QString();
    const QStringList rest = QStringList{args.first() + " " + sub} + args.mid(2);
    if (sub == "check")
        return Check(rest);
    if (sub == "format")
        return Format(rest);
    if (sub == "--help" || sub == "-h") {
        std::printf(
            "Aufruf: zelmo template check DATEI [--catalogues ORDNER]\n"
            "       zelmo template format DATEI [-o AUSGABE]\n");
        return kExitOk;
    }
    Fehler(args, "\"check\" oder \"format\" erwartet");
    return kExitUsage;
}

}  // namespace zelmo::tool
