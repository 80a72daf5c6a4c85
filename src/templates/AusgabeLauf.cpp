#include "templates/AusgabeLauf.h"

#include "output/CSVWriter.h"
#include "output/LiveTextWriter.h"
#include "templates/GrossKlein.h"
#include "templates/modBit.h"

namespace zelmo {

namespace {

constexpr char kFeldTrenner = '\x1b';

// Sub-selection texts: the round flag that must hold "Wahr" and the key whose text the
// diagnostic list shows. Both keys follow "Uml" and the round designator.
struct Unterauswahl {
    std::string_view Text;
    std::string_view FlagKey;
    std::string_view ListKey;
};

constexpr std::array<Unterauswahl, 6> kUnterauswahl1 = {{
    {"2Phasen-Springen", "2PhasenSpringen", "2Phasen-Springen"},
    {"Immediatespringen", "ImmediateSpringen", "ImmediateSpringen"},
    {"mit Stechen", "MitStechen", "mit Stechen"},
    {"Idealzeitspringen", "Idealzeitspringen", "Idealzeitspringen"},
    {"M\u00e4chtigkeitsspringen", "Maechtigkeitsspringen", "Maechtigkeitsspringen"},
    {"Siegerrunde", "Siegerrunde", "Siegerrunde"},
}};

constexpr std::array<Unterauswahl, 2> kUnterauswahl2 = {{
    {"Stilspringen", "StilspringenOderSpringpferde", "Stilspringen"},
    {"Springpferde", "StilspringenOderSpringpferde", "Springpferde"},
}};

template <std::size_t N>
const Unterauswahl* Suche(const std::array<Unterauswahl, N>& tabelle, std::string_view text) {
    for (const auto& u : tabelle) {
        if (u.Text == text) {
            return &u;
        }
    }
    return nullptr;
}

std::uint8_t BitSetzen(std::uint8_t wertung, std::uint8_t bit) {
    return std::get<std::uint8_t>(modBit::BitSetzen(modBit::Wert{wertung}, bit));
}

std::string OhneCR(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        if (ch != '\r') {
            out.push_back(ch);
        }
    }
    return out;
}

// The current round as the run sees it: the designator and its record's values.
class Umlauf {
  public:
    Umlauf(const Collection& aktUml, const Collection& umlaufdaten)
        : n_(aktUml.Find("strAktUml").TextOrEmpty()),
          datensatz_(umlaufdaten.Find("Records").At(0)) {}

    const std::string& Bezeichner() const { return n_; }
    // The text stored under "Uml" & n & name; empty when not received.
    std::string_view Wert(std::string_view name) const {
        std::string key = "Uml";
        key += n_;
        key += name;
        return datensatz_.Find(key).TextOrEmpty();
    }

  private:
    std::string n_;
    Collection datensatz_;
};

// One sub-selection column: "Alle" passes, a known text passes when its flag is "Wahr",
// anything else is neutral. Returns false when the test fails.
template <std::size_t N>
bool UnterauswahlTesten(const std::array<Unterauswahl, N>& tabelle, const std::string& zelle,
                        const Umlauf& umlauf, const std::string& zeile, std::uint8_t bit,
                        std::vector<std::string>& liste, std::uint8_t& wertung) {
    if (zelle == "Alle") {
        liste.push_back(zeile);
        wertung = BitSetzen(wertung, bit);
        return true;
    }
    const Unterauswahl* u = Suche(tabelle, zelle);
    if (u == nullptr) {
        return true;
    }
    if (umlauf.Wert(u->FlagKey) != "Wahr") {
        return false;
    }
    liste.push_back(std::string(umlauf.Wert(u->ListKey)) + " / " + zeile);
    wertung = BitSetzen(wertung, bit);
    return true;
}

std::uint8_t Bewerten(const VorlageZeile& zelle, std::size_t zeile, const Umlauf& umlauf,
                      GefundenListen& listen) {
    const std::string zeilenText = std::to_string(zeile);
    std::uint8_t wertung = 0;

    const std::string& turnierart = zelle[SpaltenIndex(Spalte::Turnierart)];
    const std::string gespeichert(umlauf.Wert("Turnierart"));
    if (turnierart != "Alle" && gespeichert != turnierart) {
        return wertung;
    }
    listen[1].push_back(gespeichert + " / " + zeilenText);
    wertung = BitSetzen(wertung, 5);

    if (!UnterauswahlTesten(kUnterauswahl1, zelle[SpaltenIndex(Spalte::Unterauswahl1)], umlauf,
                            zeilenText, 4, listen[2], wertung)) {
        return wertung;
    }
    if (!UnterauswahlTesten(kUnterauswahl2, zelle[SpaltenIndex(Spalte::Unterauswahl2)], umlauf,
                            zeilenText, 3, listen[3], wertung)) {
        return wertung;
    }

    const std::string& umlaufZelle = zelle[SpaltenIndex(Spalte::Umlauf)];
    if (umlaufZelle != "Alle" && umlauf.Bezeichner() != umlaufZelle) {
        return wertung;
    }
    listen[4].push_back(zeilenText);
    return BitSetzen(wertung, 2);
}

}  // namespace

AusgabeLaufErgebnis AusgabeLauf(const Vorlage& vorlage, std::string_view ereignisText,
                                const Collection& telegramm, const Collection& aktUml,
                                const Collection& umlaufdaten, const std::string& Pfad,
                                AusgabeLaufZustand& zustand) {
    AusgabeLaufErgebnis ergebnis;
    if (ereignisText.empty()) {
        ergebnis.Ende = LaufEnde::LeererText;
        return ergebnis;
    }
    zustand.Ausgabe.GeschriebeneDateien.clear();
    zustand.listEreignisse.Append(std::string(ereignisText), zustand.Zeitpunkt);
    const std::string_view ereignis = ereignisText.substr(0, ereignisText.find(kFeldTrenner));
    for (auto& liste : zustand.ListGefundenIn) {
        liste.clear();
    }

    // An empty event name matches no line, not even one with an empty Ereignis cell.
    const auto& zeilen = vorlage.Zeilen();
    if (!ereignis.empty()) {
        for (std::size_t r = 0; r < zeilen.size(); ++r) {
            if (GleichOhneGrossKlein(zeilen[r][SpaltenIndex(Spalte::Ereignis)], ereignis)) {
                ergebnis.TrefferListe.push_back({r, 0});
                zustand.ListGefundenIn[0].push_back(std::to_string(r));
            }
        }
    }
    if (ergebnis.TrefferListe.empty()) {
        ergebnis.Ende = LaufEnde::KeineTreffer;
        return ergebnis;
    }
    if (telegramm.IsNothing()) {
        ergebnis.Ende = LaufEnde::KeinTelegramm;
        return ergebnis;
    }

    const Umlauf umlauf(aktUml, umlaufdaten);
    std::optional<std::size_t> beste;
    std::uint8_t besteWertung = 0;
    for (auto& treffer : ergebnis.TrefferListe) {
        treffer.Wertung =
            Bewerten(zeilen[treffer.Zeile], treffer.Zeile, umlauf, zustand.ListGefundenIn);
        if (treffer.Wertung > besteWertung) {
            besteWertung = treffer.Wertung;
            beste = treffer.Zeile;
        }
    }
    if (!beste) {
        ergebnis.Ende = LaufEnde::KeineZeileGewaehlt;
        return ergebnis;
    }
    ergebnis.GewaehlteZeile = beste;

    const VorlageZeile& zeile = zeilen[*beste];
    const std::string tabellen = OhneCR(zeile[SpaltenIndex(Spalte::Tabelle)]);
    const std::string felder = OhneCR(zeile[SpaltenIndex(Spalte::Feld)]);
    const std::string& dateiname = zeile[SpaltenIndex(Spalte::Dateiname)];
    switch (vorlage.Format()) {
        case Ausgabeformat::LiveText:
            modLiveText::Werte(telegramm, Pfad, zeile[SpaltenIndex(Spalte::Seite)], dateiname,
                               tabellen, felder, zustand.Ausgabe);
            break;
        case Ausgabeformat::CSVNurDaten:
            modCSVText::CSVWerte(telegramm, Pfad, vorlage.Trenner(), dateiname, tabellen, felder,
                                 zustand.Ausgabe);
            break;
        case Ausgabeformat::Keins:
            ergebnis.Ende = LaufEnde::KeinFormat;
            return ergebnis;
    }
    ergebnis.Ende = LaufEnde::Ausgegeben;
    return ergebnis;
}

}  // namespace zelmo
