#include "output/CSVWriter.h"

#include <string_view>
#include <vector>

#include "component/Path.h"
#include "output/TabellenLauf.h"

namespace zelmo::modCSVText {

void CSVWerte(const Collection& telegramm, const std::string& Pfad, const std::string& Trenner,
              const std::string& Dateiname, const std::string& Tabellen, const std::string& Felder,
              AusgabeZiel& ziel) {
    ziel.Warnungen.clear();
    if (Pfad.empty()) {
        ziel.Warnungen = "Kein Ausgabepfad angegeben!";
        return;
    }
    if (Trenner.empty()) {
        ziel.Warnungen = "Kein Trennzeichen angegeben!";
        return;
    }
    if (Dateiname.empty()) {
        ziel.Warnungen = "Kein Dateiname angegeben!";
        return;
    }
    if (Tabellen.empty()) {
        ziel.Warnungen = "Keine Tabellen angegeben!";
        return;
    }
    if (Felder.empty()) {
        ziel.Warnungen = "Keine Felder angegeben!";
        return;
    }

    std::string inhalt;
    bool ersteZeile = true;
    ausgabe::Lauf lauf{
        "--",
        Dateiname,
        [](std::string_view wert) { return std::string(wert); },
        [&](const ausgabe::Feldwert& w) {
            // The separator ends the line before, so the last line never carries one.
            if (!ersteZeile) {
                inhalt += Trenner;
                inhalt += "\r\n";
            }
            ersteZeile = false;
            inhalt += '"';
            inhalt += w.Wert;
            inhalt += '"';
        },
    };
    if (!ausgabe::TabellenLaufen(telegramm, Tabellen, Felder, lauf, ziel.Vorschau)) {
        return;
    }
    if (ersteZeile) {
        return;
    }
    inhalt += "\r\n";
    DateiErsetzen(JoinSlash(Pfad, Dateiname + ".csv"), inhalt, ziel);
}

}  // namespace zelmo::modCSVText
