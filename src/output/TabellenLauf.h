#pragma once

#include <cstddef>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "component/Collection.h"
#include "output/Ausgabe.h"

// The walk over a template line's tables and fields that both writers share.
namespace zelmo::ausgabe {

// How a table's values are reached, by its exact (case-sensitive) name.
enum class Tabellenart {
    Flach,           // item F of the section
    EinDatensatz,    // item F of record 0 of the section's "Records"
    DatensatzListe,  // item F of every record j of "Records", j below the section's entry count
    Unbekannt,       // ends the walk
};

// The parts of `text` between each `trenner`; an empty text is one empty part.
std::vector<std::string> Teilen(std::string_view text, char trenner);
// The lines of a template cell (Tabelle, Feld) as the output run reads them: CR dropped,
// split at each LF.
std::vector<std::string> ZellenZeilen(std::string_view zelle);

Tabellenart ArtDerTabelle(std::string_view tabelle);

inline constexpr std::size_t kMaxFelder = 6;

// One value the walk found. `index` is the record index for a record list.
struct Feldwert {
    const std::string& Tabelle;
    const std::string& Feld;
    std::optional<std::size_t> Index;
    std::string_view Wert;  // already prepared by the writer's Aufbereiten
};

struct Lauf {
    // The preview's column 0: the page for LiveText, "--" for CSV.
    std::string_view SeiteSpalte;
    std::string_view Dateiname;
    // A value's text as written (and shown in the preview): the value itself, or its changed
    // text built in `puffer`.
    std::string_view (*Aufbereiten)(std::string_view wert, std::string& puffer);
    // Receives every value in file order.
    std::function<void(const Feldwert&)> Ausgeben;
};

// Walks `tabellen` (LF-separated) with the field lines of `felder` over the telegram root,
// filling the preview (when there is one) and handing each value to lauf.Ausgeben. Returns
// false when the call must end without writing: a table that would yield values has no field
// line.
bool TabellenLaufen(const Collection& telegramm, std::string_view tabellen, std::string_view felder,
                    const Lauf& lauf, AusgabeVorschau* vorschau);

// An argument a writer cannot do without, with the warning shown when it is empty.
struct Pflichtangabe {
    const std::string& Wert;
    std::string_view Warnung;
};

// Clears the warning, then checks the arguments in order: the first empty one sets its
// warning and gives false, so that nothing is read or written.
bool AngabenVollstaendig(std::initializer_list<Pflichtangabe> angaben, AusgabeZiel& ziel);

// False, with a warning naming it, for a file name that DateinameZulaessig refuses.
bool DateinameInOrdnung(const std::string& dateiname, AusgabeZiel& ziel);

}  // namespace zelmo::ausgabe
