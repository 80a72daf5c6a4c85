#include "templates/VorlageDatei.h"

#include "component/CodePage.h"
#include "component/Collection.h"
#include "component/Error.h"
#include "component/FileReplace.h"
#include "component/JsonText.h"
#include "output/Ausgabe.h"

namespace zelmo {

namespace {

bool IstMehrzeilig(std::size_t spalte) {
    return spalte == SpaltenIndex(Spalte::Tabelle) || spalte == SpaltenIndex(Spalte::Feld);
}

// Tabelle and Feld keep their lines on one file line: CR dropped, LF stored as "*".
std::string Einzeilig(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (ch == '\r') {
            continue;
        }
        out.push_back(ch == '\n' ? '*' : ch);
    }
    return out;
}

std::string Mehrzeilig(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (ch == '*') {
            out += "\r\n";
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

EinleseErgebnis Ergebnis(EinleseStatus status, std::string meldung) {
    EinleseErgebnis e;
    e.Status = status;
    e.Meldung = std::move(meldung);
    return e;
}

// A line object that names all ten columns is read by name, so that a file whose members
// come in another order still fills the right columns; otherwise by position.
VorlageZeile LiesZeile(const Collection& zeile) {
    bool alleNamen = true;
    for (const auto name : kSpaltenNamen) {
        if (!zeile.Exists(name)) {
            alleNamen = false;
            break;
        }
    }
    VorlageZeile out;
    for (std::size_t c = 0; c < kSpaltenAnzahl; ++c) {
        const Collection wert = alleNamen ? zeile.Item(kSpaltenNamen[c]) : zeile.Item(c);
        out[c] = IstMehrzeilig(c) ? Mehrzeilig(wert.Text()) : std::string(wert.Text());
    }
    return out;
}

}  // namespace

std::string VorlageAlsJSON(const Vorlage& vorlage) {
    std::string out;
    out += "{\"Vorlage\" : {\"Zeilen\" :[";
    const auto& zeilen = vorlage.Zeilen();
    for (std::size_t r = 0; r < zeilen.size(); ++r) {
        out.push_back('{');
        for (std::size_t c = 0; c < kSpaltenAnzahl; ++c) {
            if (c > 0) {
                out += ", ";
            }
            AppendJSONString(out, kSpaltenNamen[c]);
            out += ": ";
            AppendJSONString(out, IstMehrzeilig(c) ? Einzeilig(zeilen[r][c]) : zeilen[r][c]);
        }
        out += r + 1 == zeilen.size() ? "} " : "}, ";
    }
    out += "]} ,\"Ausgabeformat\" : [{\"Type\": ";
    AppendJSONString(
        out, vorlage.Format() == Ausgabeformat::CSVNurDaten ? "OptCSVNurDaten" : "OptLiveText");
    out += ",\"Trenner\" : ";
    AppendJSONString(out, vorlage.Trenner());
    out += "}]}";
    return out;
}

void VorlageSpeichern(const std::string& pfad, const Vorlage& vorlage) {
    ReplaceFile(pfad, codepage::Encode(VorlageAlsJSON(vorlage) + "\r\n"), Durability::Synced);
}

EinleseErgebnis VorlageAusText(std::string_view utf8) {
    // Everything is read into a new template first: a file that fails half-way leaves the
    // caller's template exactly as it was.
    try {
        const Collection wurzel = JSONDecodieren(utf8);
        if (!wurzel.Exists("Vorlage")) {
            return Ergebnis(EinleseStatus::KeyVorlageFehlt,
                            "Keine LiveText Datei!\r\nKey Vorlage fehlt!");
        }
        const Collection vorlageKnoten = wurzel.Item("Vorlage");
        if (!vorlageKnoten.Exists("Zeilen")) {
            return Ergebnis(EinleseStatus::KeineAusgabezeilen, "Keine Ausgabezeilen vorhanden!");
        }
        const Collection zeilen = vorlageKnoten.Item("Zeilen");
        const std::size_t anzahl = zeilen.Count();
        if (anzahl < 1) {
            return Ergebnis(EinleseStatus::ZeilenLeer, "");
        }

        EinleseErgebnis e = Ergebnis(EinleseStatus::Eingelesen, "");
        e.Vorlage.SetzeZeile(0, LiesZeile(zeilen.Item(std::size_t{0})));
        for (std::size_t r = 1; r < anzahl; ++r) {
            e.Vorlage.ZeileAnhaengen(LiesZeile(zeilen.Item(r)));
        }

        if (!wurzel.Exists("Ausgabeformat")) {
            e.Vorlage.SetzeFormat(Ausgabeformat::LiveText);
            e.Vorlage.SetzeTrenner(",");
            return e;
        }
        const Collection format = wurzel.Item("Ausgabeformat").Item(std::size_t{0});
        e.Vorlage.SetzeFormat(format.Item("Type").Text() == "OptCSVNurDaten"
                                  ? Ausgabeformat::CSVNurDaten
                                  : Ausgabeformat::LiveText);
        std::string trenner(format.Item("Trenner").Text());
        e.Vorlage.SetzeTrenner(trenner.empty() ? "," : std::move(trenner));
        return e;
    } catch (const Error&) {
        return Ergebnis(EinleseStatus::JSONAuswertefehler, "JSON Auswertefehler");
    }
}

EinleseErgebnis VorlageAusBytes(std::string_view bytes) {
    return VorlageAusText(codepage::Decode(bytes));
}

EinleseErgebnis VorlageEinlesen(const std::string& pfad) {
    std::string bytes;
    try {
        bytes = ReadFile(pfad);
    } catch (const Error&) {
        return Ergebnis(EinleseStatus::JSONAuswertefehler, "JSON Auswertefehler");
    }
    return VorlageAusBytes(bytes);
}

std::string DateinamePruefen(std::string_view text) {
    std::string out(text);
    for (char& ch : out) {
        if (kDateinameVerboteneZeichen.find(ch) != std::string_view::npos)
            ch = '_';
    }
    return out;
}

}  // namespace zelmo
