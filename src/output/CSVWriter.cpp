#include "output/CSVWriter.h"

#include <string_view>
#include <vector>

#include "component/Path.h"
#include "output/TabellenLauf.h"

namespace zelmo::modCSVText {

void CSVWerte(const Collection& telegramm, const std::string& Pfad, const std::string& Trenner,
              const std::string& Dateiname, const std::string& Tabellen, const std::string& Felder,
              AusgabeZiel& ziel) {
    if (!ausgabe::AngabenVollstaendig({{Pfad, "Kein Ausgabepfad angegeben!"},
                                       {Trenner, "Kein Trennzeichen angegeben!"},
                                       {Dateiname, "Kein Dateiname angegeben!"},
                                       {Tabellen, "Keine Tabellen angegeben!"},
                                       {Felder, "Keine Felder angegeben!"}},
                                      ziel) ||
        !ausgabe::DateinameInOrdnung(Dateiname, ziel)) {
        return;
    }

    std::string inhalt;
    bool ersteZeile = true;
    ausgabe::Lauf lauf{
        "--",
        Dateiname,
        [](std::string_view wert, std::string&) { return wert; },
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
    if (!ausgabe::TabellenLaufen(telegramm, Tabellen, Felder, lauf,
                                 ziel.MitVorschau ? &ziel.Vorschau : nullptr)) {
        return;
    }
    if (ersteZeile) {
        return;
    }
    inhalt += "\r\n";
    DateiErsetzen(JoinSlash(Pfad, Dateiname + ".csv"), inhalt, ziel);
}

}  // namespace zelmo::modCSVText
