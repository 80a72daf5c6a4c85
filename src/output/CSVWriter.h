#pragma once

#include <string>

#include "component/Collection.h"
#include "output/Ausgabe.h"

// CSV output: one quoted value per line.
namespace zelmo::modCSVText {

// Writes the values of `Tabellen` and `Felder` (as for modLiveText::Werte) from the latest
// telegram into Pfad/Dateiname.csv: each value between double quotes, unchanged, every line
// but the last followed by `Trenner`, every line ending in CR LF. An empty argument only sets
// its warning; a file that cannot be written is reported in ziel.Warnungen.
void CSVWerte(const Collection& telegramm, const std::string& Pfad, const std::string& Trenner,
              const std::string& Dateiname, const std::string& Tabellen, const std::string& Felder,
              AusgabeZiel& ziel);

}  // namespace zelmo::modCSVText
