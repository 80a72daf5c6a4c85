#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component/Collection.h"
#include "link/RollingLog.h"
#include "output/Ausgabe.h"
#include "templates/Vorlage.h"

namespace zelmo {

// The diagnostic lists ListGefundenIn 0 to 5: 0 found rows; 1 Turnierart passes;
// 2 Unterauswahl1 passes; 3 Unterauswahl2 passes; 4 Umlauf passes; 5 only ever cleared.
using GefundenListen = std::array<std::vector<std::string>, 6>;

// What the output run leaves on the editor window from one event to the next.
struct AusgabeLaufZustand {
    // listEreignisse: the last seven event texts, oldest first, each with Zeitpunkt as it was
    // when the event came (set by the caller before the run; nothing where nobody shows it).
    RollingLog listEreignisse{kEventListLimit};
    RollingLog::Time Zeitpunkt;
    GefundenListen ListGefundenIn;
    // Preview rows, warning text and the files written by the last run (cleared at its start).
    AusgabeZiel Ausgabe;
};

// A template line whose Ereignis matched, with its score: bit 5 (16) Turnierart,
// bit 4 (8) Unterauswahl1, bit 3 (4) Unterauswahl2, bit 2 (2) Umlauf.
struct Treffer {
    std::size_t Zeile = 0;
    std::uint8_t Wertung = 0;

    friend bool operator==(const Treffer&, const Treffer&) = default;
};

// Where a run ended.
enum class LaufEnde {
    LeererText,          // empty event text: nothing at all happened
    KeineTreffer,        // no line for the event name
    KeinTelegramm,       // no decoded telegram yet; the found rows are listed
    KeineZeileGewaehlt,  // every line scored 0
    KeinFormat,          // neither LiveText nor CSV selected
    Ausgegeben,          // the writer(s) ran (their own outcome is in the Ausgabe)
};

struct AusgabeLaufErgebnis {
    LaufEnde Ende = LaufEnde::LeererText;
    std::vector<Treffer> TrefferListe;
    std::optional<std::size_t> GewaehlteZeile;
};

// The event-to-output run: one event text (fields separated by character 27, field 0 the
// event name) picks at most one template line, whose tables and fields go to the writer of the
// template's output format.
//
// `telegramm` is the latest telegram, `aktUml` and `umlaufdaten` the stored sections of those
// names; a nothing handle for anything not received. Round data is read leniently: a section,
// record or key not received reads as empty text, so "Alle" still fires and a line that names
// a round, type or flag does not. Numbers in round data compare by their JSON text.
AusgabeLaufErgebnis AusgabeLauf(const Vorlage& vorlage, std::string_view ereignisText,
                                const Collection& telegramm, const Collection& aktUml,
                                const Collection& umlaufdaten, const std::string& Pfad,
                                AusgabeLaufZustand& zustand);

}  // namespace zelmo
