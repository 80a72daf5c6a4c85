#pragma once

#include <string>

#include "component/Collection.h"
#include "output/Ausgabe.h"

// LiveText output: the data file of a template line and the page-control file control.txt.
namespace zelmo::modLiveText {

// Writes the values of `Tabellen` (one table per LF-separated line) and `Felder` (the field
// list of each table, comma-separated) from the latest telegram into Pfad/Dateiname.txt, one
// "T.F = value" line each, then control.txt for `Seite`. An empty argument only sets its
// warning. A file that cannot be written is reported in ziel.Warnungen.
void Werte(const Collection& telegramm, const std::string& Pfad, const std::string& Seite,
           const std::string& Dateiname, const std::string& Tabellen, const std::string& Felder,
           AusgabeZiel& ziel);

// Rewrites control.txt in `Pfad` so that LiveText shows and plays page `Seite`.
void SeiteAnzeigen(const std::string& Pfad, const std::string& Seite, AusgabeZiel& ziel);

}  // namespace zelmo::modLiveText
