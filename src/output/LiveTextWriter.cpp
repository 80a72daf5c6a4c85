#include "output/LiveTextWriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>

#include "component/Path.h"
#include "output/TabellenLauf.h"

namespace zelmo::modLiveText {

namespace {

// LiveText reads one key per line: a line break inside a value would start a line of its own
// (and could even set another key), so each break (CR LF, CR or LF) becomes one blank. So
// does a NUL, at which a reader of the line may stop.
std::string_view EinzeiligerWert(std::string_view wert, std::string& puffer) {
    // NUL, LF and CR all lie below 14: one comparison passes over every other byte.
    const auto bruch = [](char ch) {
        return static_cast<unsigned char>(ch) < 14 && (ch == '\r' || ch == '\n' || ch == '\0');
    };
    if (std::none_of(wert.begin(), wert.end(), bruch))
        return wert;
    puffer.clear();
    for (std::size_t i = 0; i < wert.size(); ++i) {
        const char ch = wert[i];
        if (!bruch(ch)) {
            puffer.push_back(ch);
            continue;
        }
        puffer.push_back(' ');
        if (ch == '\r' && i + 1 < wert.size() && wert[i + 1] == '\n')
            ++i;
    }
    return puffer;
}

}  // namespace

void Werte(const Collection& telegramm, const std::string& Pfad, const std::string& Seite,
           const std::string& Dateiname, const std::string& Tabellen, const std::string& Felder,
           AusgabeZiel& ziel) {
    if (!ausgabe::AngabenVollstaendig({{Pfad, "Kein Ausgabepfad angegeben!"},
                                       {Seite, "Keine Seitennummer angegeben!"},
                                       {Dateiname, "Kein Dateiname angegeben!"},
                                       {Tabellen, "Keine Tabellen angegeben!"},
                                       {Felder, "Keine Felder angegeben!"}},
                                      ziel) ||
        !ausgabe::DateinameInOrdnung(Dateiname, ziel)) {
        return;
    }

    // A start list gives the same file size from telegram to telegram: room for the last
    // one's text spares the copies of a growing string (a huge one is not taken as the model).
    constexpr std::size_t kHoechstensVorab = std::size_t{1} << 20;
    thread_local std::size_t letzteGroesse = 0;
    std::string inhalt;
    inhalt.reserve(std::min(letzteGroesse, kHoechstensVorab));
    std::size_t zeilen = 0;
    ausgabe::Lauf lauf{
        Seite,
        Dateiname,
        EinzeiligerWert,
        [&](const ausgabe::Feldwert& w) {
            // "Tabelle.Feld[_Index] = Wert" and CR LF, put in place with one size check.
            char index[24];
            std::size_t indexLaenge = 0;
            if (w.Index) {
                index[0] = '_';
                indexLaenge = static_cast<std::size_t>(
                    std::to_chars(index + 1, index + sizeof index, *w.Index).ptr - index);
            }
            const std::size_t anfang = inhalt.size();
            inhalt.resize(anfang + w.Tabelle.size() + 1 + w.Feld.size() + indexLaenge + 3 +
                          w.Wert.size() + 2);
            char* p = inhalt.data() + anfang;
            const auto setzen = [&p](std::string_view teil) {
                if (!teil.empty())
                    std::memcpy(p, teil.data(), teil.size());
                p += teil.size();
            };
            setzen(w.Tabelle);
            setzen(".");
            setzen(w.Feld);
            setzen({index, indexLaenge});
            setzen(" = ");
            setzen(w.Wert);
            setzen("\r\n");
            ++zeilen;
        },
    };
    if (!ausgabe::TabellenLaufen(telegramm, Tabellen, Felder, lauf,
                                 ziel.MitVorschau ? &ziel.Vorschau : nullptr)) {
        return;
    }
    if (zeilen == 0) {
        return;
    }
    letzteGroesse = inhalt.size();
    if (DateiErsetzen(JoinSlash(Pfad, Dateiname + ".txt"), inhalt, ziel)) {
        SeiteAnzeigen(Pfad, Seite, ziel);
    }
}

void SeiteAnzeigen(const std::string& Pfad, const std::string& Seite, AusgabeZiel& ziel) {
    const std::string inhalt =
        "LiveText_PageNo = " + Seite + "\r\nLiveText_Play = 0\r\nLiveText_Play = 1\r\n";
    DateiErsetzen(JoinPath(Pfad, "control.txt"), inhalt, ziel);
}

}  // namespace zelmo::modLiveText
