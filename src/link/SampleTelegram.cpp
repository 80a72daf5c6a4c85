#include "link/SampleTelegram.h"

#include <array>

namespace zelmo::link {

namespace {

constexpr std::array<const char*, 12> kVornamen = {"Jürgen",     "Anna",  "Lars",  "Sophie",
                                                   "Maximilian", "Lea",   "Björn", "Clara",
                                                   "Philipp",    "Marie", "Jörg",  "Katharina"};
constexpr std::array<const char*, 12> kNachnamen = {"Müller",  "Schröder", "Bergmann", "Weißmann",
                                                    "Kühn",    "Großmann", "Albers",   "Brockmann",
                                                    "Dreßler", "Niemeyer", "Thomsen",  "Schwarz"};
constexpr std::array<const char*, 10> kPferde = {
    "Comet's Dream", "Quintus Ö", "Cheyenne Blue II", "Fürst Hektor", "Ballerina",
    "Cassiopeia",    "Grand Cru", "Larissa",          "Zafira",       "Mylady Caramel"};
constexpr std::array<const char*, 6> kLaender = {"GER", "AUT", "SUI", "NED", "BEL", "FRA"};
constexpr std::array<const char*, 6> kNationen = {"Deutschland", "Österreich", "Schweiz",
                                                  "Niederlande", "Belgien",    "Frankreich"};

void Field(std::string& out, const char* key, const std::string& value, bool comma = true) {
    out += '"';
    out += key;
    out += "\": \"";
    out += value;
    out += comma ? "\", " : "\"";
}

void Rider(std::string& out, int i) {
    const auto k = static_cast<std::size_t>(i);
    out += '{';
    Field(out, "StartNr", std::to_string(101 + i));
    Field(out, "Startplatz", std::to_string(i + 1));
    Field(out, "Reiter", std::string(kVornamen[k % 12]) + " " + kNachnamen[(k * 7) % 12]);
    Field(out, "Vorname", kVornamen[k % 12]);
    Field(out, "Nachname", kNachnamen[(k * 7) % 12]);
    Field(out, "Pferd", kPferde[(k * 3) % 10]);
    Field(out, "Abstammung",
          std::string("v. ") + kPferde[(k * 5 + 1) % 10] + " - " + kPferde[(k * 7 + 2) % 10]);
    Field(out, "Besitzer", std::string("Gestüt ") + kNachnamen[(k * 5) % 12]);
    Field(out, "Land", kLaender[k % 6]);
    Field(out, "Nation", kNationen[k % 6]);
    Field(out, "Zuechter", std::string("Zuchtgemeinschaft ") + kNachnamen[(k * 3) % 12]);
    Field(out, "Geschlecht", (i % 3 == 0) ? "Stute" : (i % 3 == 1 ? "Wallach" : "Hengst"));
    Field(out, "Alter", std::to_string(8 + i % 9));
    Field(out, "Farbe", (i % 2 == 0) ? "braun" : "dunkelbraun");
    Field(out, "Rang", "Rang " + std::to_string(i + 1) + " von " + std::to_string(40));
    Field(
        out, "Ergebnis",
        std::to_string((i * 4) % 12) + " Fehler / " + std::to_string(60 + (i * 37) % 25) + " Sek.");
    Field(out, "Verein", std::string("RFV ") + kNachnamen[(k * 11) % 12] + "hausen e.V.");
    Field(out, "Fehler", std::to_string((i * 4) % 12));
    Field(out, "Zeit", std::to_string(60 + (i * 37) % 25) + "." + std::to_string(10 + i % 90));
    Field(out, "Platz", std::to_string(i + 1));
    Field(out, "Geldpreis", std::to_string(1000 - 20 * (i % 40)) + ",00 €", false);
    out += '}';
}

}  // namespace

std::string SampleTelegram(int riders, const std::string& status) {
    std::string out;
    out.reserve(static_cast<std::size_t>(riders) * 520 + 2048);
    out += "{\"Ereignis\": {";
    Field(out, "Befehl", "Befehl");
    Field(out, "Status", status);
    Field(out, "Wert1", "101");
    Field(out, "Wert2", "");
    Field(out, "Wert3", "");
    Field(out, "Wert4", "", false);
    out += "}, \"AktUml\": {\"strAktUml\": \"1\", \"Umlauf\": 1}, ";
    out += "\"Umlaufdaten\": {\"Records\": [{";
    Field(out, "Uml1Turnierart", "Normalspringen");
    Field(out, "Uml1MitStechen", "Wahr");
    Field(out, "Uml1mit Stechen", "mit Stechen");
    Field(out, "Uml1StilspringenOderSpringpferde", "Falsch");
    Field(out, "Uml1Erlaubte Zeit", "76", false);
    out += "}]}, \"Pruefung\": {\"Records\": [{";
    Field(out, "Nummer", "12");
    Field(out, "Titel", "Großer Preis von Zelmo - Springprüfung Kl. S*** mit Stechen");
    Field(out, "Sponsor", "Autohaus Müller & Söhne");
    Field(out, "Starter", std::to_string(riders), false);
    out += "}]}, \"AktReiter\": {\"Records\": [";
    Rider(out, 0);
    out += "]}, \"ZeitLaeuft\": {\"Zeit\": 0.00, \"Fehler\": 0, \"Laeuft\": false}, ";
    out += "\"Startliste\": {\"Records\": [";
    for (int i = 0; i < riders; ++i) {
        if (i > 0)
            out += ", ";
        Rider(out, i);
    }
    out += ']';
    for (int i = 0; i < riders; ++i)
        out += ", \"Nr" + std::to_string(i) + "\": " + std::to_string(101 + i);
    out += "}, \"Veranstaltung\": {\"Records\": [{";
    Field(out, "Name", "Zelmo Reitturnier");
    Field(out, "Ort", "Münster", false);
    out += "}]}}";
    return out;
}

}  // namespace zelmo::link
