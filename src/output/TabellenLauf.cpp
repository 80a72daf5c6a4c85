#include "output/TabellenLauf.h"

#include <array>
#include <vector>

namespace zelmo::ausgabe {

namespace {

constexpr std::array<std::string_view, 7> kFlach = {
    "Ereignis", "GlobalBW", "AktUml", "ParcourStatus", "DurchZiel", "CountdownLaeuft", "ZeitLaeuft",
};
constexpr std::array<std::string_view, 5> kEinDatensatz = {
    "AktReiter", "Einstellungen", "Pruefung", "ReiterErsterPlatz", "Veranstaltung",
};
constexpr std::array<std::string_view, 4> kDatensatzListe = {
    "Ergebnisliste",
    "Mannschaft",
    "Reiter",
    "Startliste",
};

template <std::size_t N>
bool Enthaelt(const std::array<std::string_view, N>& namen, std::string_view name) {
    for (const auto n : namen) {
        if (n == name) {
            return true;
        }
    }
    return false;
}

// An empty field line names no field (not one field with an empty name).
std::vector<std::string> FelderDerZeile(std::string_view zeile) {
    if (zeile.empty()) {
        return {};
    }
    std::vector<std::string> felder = Teilen(zeile, ',');
    if (felder.size() > kMaxFelder) {
        felder.resize(kMaxFelder);
    }
    return felder;
}

std::string Zellentext(const std::string& feld, std::optional<std::size_t> index,
                       std::string_view wert) {
    std::string text = feld;
    if (index) {
        text += "_" + std::to_string(*index);
    }
    text += " = ";
    text += wert;
    return text;
}

// Values of one record (or of a flat section) into the preview row and the output. A field
// the record lacks, or one that holds a list or object, gives empty text.
// `positionen` keeps where each field was found, for the next record of the same table.
void Datensatz(const Collection& datensatz, const std::string& tabelle,
               const std::vector<std::string>& felder, std::optional<std::size_t> index,
               std::size_t zeile, const Lauf& lauf, AusgabeVorschau* vorschau,
               std::array<std::size_t, kMaxFelder>& positionen) {
    // One buffer for every changed value: no allocation per field.
    thread_local std::string puffer;
    for (std::size_t k = 0; k < felder.size(); ++k) {
        const std::string_view wert =
            lauf.Aufbereiten(datensatz.TextOrEmpty(felder[k], positionen[k]), puffer);
        lauf.Ausgeben(Feldwert{tabelle, felder[k], index, wert});
        if (vorschau) {
            vorschau->SetzeZelle(zeile, 3 + k, Zellentext(felder[k], index, wert));
        }
    }
}

// A preview row for a table or record; nothing to do without a preview.
std::size_t Vorschauzeile(const Lauf& lauf, const std::string& tabelle, AusgabeVorschau* vorschau) {
    if (!vorschau) {
        return 0;
    }
    return vorschau->ZeileHinzufuegen(std::string(lauf.SeiteSpalte), std::string(lauf.Dateiname),
                                      tabelle);
}

}  // namespace

std::vector<std::string> Teilen(std::string_view text, char trenner) {
    std::vector<std::string> teile;
    std::size_t anfang = 0;
    for (;;) {
        const std::size_t ende = text.find(trenner, anfang);
        if (ende == std::string_view::npos) {
            teile.emplace_back(text.substr(anfang));
            return teile;
        }
        teile.emplace_back(text.substr(anfang, ende - anfang));
        anfang = ende + 1;
    }
}

std::vector<std::string> ZellenZeilen(std::string_view zelle) {
    std::string ohneCR;
    ohneCR.reserve(zelle.size());
    for (const char c : zelle) {
        if (c != '\r') {
            ohneCR.push_back(c);
        }
    }
    return Teilen(ohneCR, '\n');
}

Tabellenart ArtDerTabelle(std::string_view tabelle) {
    if (Enthaelt(kFlach, tabelle)) {
        return Tabellenart::Flach;
    }
    if (Enthaelt(kEinDatensatz, tabelle)) {
        return Tabellenart::EinDatensatz;
    }
    if (Enthaelt(kDatensatzListe, tabelle)) {
        return Tabellenart::DatensatzListe;
    }
    return Tabellenart::Unbekannt;
}

bool TabellenLaufen(const Collection& telegramm, std::string_view tabellen, std::string_view felder,
                    const Lauf& lauf, AusgabeVorschau* vorschau) {
    const std::vector<std::string> tabellenListe = Teilen(tabellen, '\n');
    const std::vector<std::string> feldZeilen =
        felder.empty() ? std::vector<std::string>{} : Teilen(felder, '\n');

    for (std::size_t i = 0; i < tabellenListe.size(); ++i) {
        const std::string& tabelle = tabellenListe[i];
        const Collection abschnitt = telegramm.Find(tabelle);
        // A section that is not a list or object has no entries to write.
        if (abschnitt.IsNothing() || !abschnitt.IsCollection()) {
            continue;
        }
        const std::size_t eintraege = abschnitt.Count();
        if (eintraege == 0) {
            continue;
        }
        if (i >= feldZeilen.size()) {
            return false;
        }
        const std::vector<std::string> feldListe = FelderDerZeile(feldZeilen[i]);
        const std::size_t tabellenZeile = Vorschauzeile(lauf, tabelle, vorschau);
        std::array<std::size_t, kMaxFelder> positionen{};

        switch (ArtDerTabelle(tabelle)) {
            case Tabellenart::Flach:
                Datensatz(abschnitt, tabelle, feldListe, std::nullopt, tabellenZeile, lauf,
                          vorschau, positionen);
                break;
            case Tabellenart::EinDatensatz: {
                const Collection datensatz = abschnitt.Find("Records").At(0);
                if (!datensatz.IsNothing()) {
                    Datensatz(datensatz, tabelle, feldListe, std::nullopt, tabellenZeile, lauf,
                              vorschau, positionen);
                }
                break;
            }
            case Tabellenart::DatensatzListe: {
                // The index runs over the section's own entry count, as the scoring system's
                // telegrams define it; positions past the end of "Records" have nothing to write.
                const Collection records = abschnitt.Find("Records");
                for (std::size_t j = 0; j < eintraege; ++j) {
                    const Collection datensatz = records.At(j);
                    if (datensatz.IsNothing()) {
                        continue;
                    }
                    const std::size_t zeile = Vorschauzeile(lauf, tabelle, vorschau);
                    Datensatz(datensatz, tabelle, feldListe, j, zeile, lauf, vorschau, positionen);
                }
                break;
            }
            case Tabellenart::Unbekannt:
                return true;
        }
    }
    return true;
}

bool AngabenVollstaendig(std::initializer_list<Pflichtangabe> angaben, AusgabeZiel& ziel) {
    ziel.Warnungen.clear();
    for (const auto& angabe : angaben) {
        if (angabe.Wert.empty()) {
            ziel.Warnungen = angabe.Warnung;
            return false;
        }
    }
    return true;
}

bool DateinameInOrdnung(const std::string& dateiname, AusgabeZiel& ziel) {
    if (DateinameZulaessig(dateiname))
        return true;
    ziel.Warnungen = "Dateiname nicht zulässig: " + dateiname;
    return false;
}

}  // namespace zelmo::ausgabe
