#include "templates/AusgabeLauf.h"

#include <gtest/gtest.h>

#include <tuple>

#include "TempFolder.h"
#include "templates/GrossKlein.h"

namespace zelmo {
namespace {

using test::TempFolder;
using Trefferliste = std::vector<Treffer>;
using Namen = std::vector<std::string>;

// Round 1 of a Normalspringen with a jump-off.
const Collection& Telegramm() {
    static const Collection telegramm = JSONDecodieren(R"({"Ereignis": {"Status": "Start"},
  "AktUml": {"strAktUml": "1"},
  "Umlaufdaten": {"Records": [{"Uml1Turnierart": "Normalspringen", "Uml1MitStechen": true,
    "Uml1mit Stechen": "Stechen ja", "Uml1Stilspringen": "Stil",
    "Uml1StilspringenOderSpringpferde": "Wahr", "Uml1Maechtigkeitsspringen": true,
    "Uml2Turnierart": "Zeitspringen"}]},
  "Startliste": {"Anzahl": 2, "Records": [{"Name": "A"}, {"Name": "B"}]},
  "Pruefung": {"Records": [{"Ort": "Aachen"}]}})");
    return telegramm;
}

VorlageZeile Linie(const char* ereignis, const char* turnierart = "Alle", const char* u1 = "",
                   const char* u2 = "", const char* umlauf = "Alle") {
    return {ereignis,     turnierart, u1, u2, umlauf, "", "07", "start", "Startliste\r\nPruefung",
            "Name\r\nOrt"};
}

Vorlage Mit(const std::vector<VorlageZeile>& zeilen, Ausgabeformat format = Ausgabeformat::Keins) {
    Vorlage v;
    v.SetzeZeile(0, zeilen.at(0));
    for (std::size_t i = 1; i < zeilen.size(); ++i)
        v.ZeileAnhaengen(zeilen[i]);
    v.SetzeFormat(format);
    return v;
}

// The round sections come from the telegram itself, as the store would keep them.
AusgabeLaufErgebnis Lauf(const Vorlage& v, std::string_view text, const Collection& telegramm,
                         AusgabeLaufZustand& zustand, const std::string& pfad = "") {
    return AusgabeLauf(v, text, telegramm, telegramm.Find("AktUml"), telegramm.Find("Umlaufdaten"),
                       pfad, zustand);
}

// Round data not received reads as empty text: "Alle" still fires, a named value does not.
TEST(AusgabeLauf, ColumnTestsScoreOneLine) {
    struct Fall {
        const char* name;
        VorlageZeile zeile;
        std::uint8_t wertung;
        const char* telegramm = nullptr;  // else the full one
    };
    const Fall faelle[] = {
        {"type of the round", Linie("Start", "Normalspringen", "", "", "1"), 18},
        {"another type fails everything", Linie("Start", "Zeitspringen", "Alle", "Alle"), 0},
        {"flag Wahr", Linie("Start", "Alle", "mit Stechen"), 26},
        {"flag missing stops the tests", Linie("Start", "Alle", "Idealzeitspringen", "Alle"), 16},
        {"other text is neutral", Linie("Start", "Alle", "xyz", "Alle"), 22},
        {"umlaut text and its flag", Linie("Start", "Alle", "Mächtigkeitsspringen"), 26},
        {"another round fails", Linie("Start", "Alle", "Alle", "Alle", "2"), 28},
        {"Records not a list", Linie("Start", "Alle", "mit Stechen", "Alle", "1"), 16,
         R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": 5}})"},
        {"a number compares by its text", Linie("Start", "Zeitspringen", "", "", "2"), 18,
         R"({"AktUml": {"strAktUml": 2}, "Umlaufdaten": {"Records": [{"Uml2Turnierart": "Zeitspringen"}]}})"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        AusgabeLaufZustand zustand;
        const AusgabeLaufErgebnis e =
            Lauf(Mit({f.zeile}), "Start", f.telegramm ? JSONDecodieren(f.telegramm) : Telegramm(),
                 zustand);
        EXPECT_EQ(e.TrefferListe, (Trefferliste{{0, f.wertung}}));
        EXPECT_EQ(e.Ende, f.wertung == 0 ? LaufEnde::KeineZeileGewaehlt : LaufEnde::KeinFormat);
    }
}

// The best score wins, a tie goes to the first line; the lists show what passed where.
TEST(AusgabeLauf, BestLineAndDiagnosticLists) {
    AusgabeLaufZustand zustand;
    zustand.ListGefundenIn[5] = {"alt"};
    const VorlageZeile alle = Linie("Start", "Normalspringen", "mit Stechen", "Stilspringen", "1");
    const Vorlage v = Mit({Linie("Ziel"), Linie("START", "Alle", "Idealzeitspringen", "Alle"), alle,
                           Linie("start", "Zeitspringen"), alle});
    const AusgabeLaufErgebnis e = Lauf(v, "Start", Telegramm(), zustand);
    EXPECT_EQ(e.TrefferListe, (Trefferliste{{1, 16}, {2, 30}, {3, 0}, {4, 30}}));
    EXPECT_EQ(e.GewaehlteZeile, 2u);
    const GefundenListen erwartet = {{
        {"1", "2", "3", "4"},
        {"Normalspringen / 1", "Normalspringen / 2", "Normalspringen / 4"},
        {"Stechen ja / 2", "Stechen ja / 4"},
        {"Stil / 2", "Stil / 4"},
        {"2", "4"},
        {},
    }};
    EXPECT_EQ(zustand.ListGefundenIn, erwartet);
}

// Each row ends at another step; the writers get the line's tables without carriage returns.
TEST(AusgabeLauf, StoppingRulesAndOutput) {
    using enum LaufEnde;
    using enum Ausgabeformat;
    struct Fall {
        const char* name;
        std::string text;
        Ausgabeformat format;
        VorlageZeile zeile;
        LaufEnde ende;
        Namen dateien = {};       // what the output folder holds
        const char* inhalt = "";  // the last of them
    };
    const Fall faelle[] = {
        {"event name empty before the first separator", "\x1bStart", LiveText, Linie(""),
         KeineTreffer},
        {"no line for the event", "Ziel", LiveText, Linie("Start"), KeineTreffer},
        {"no telegram yet: rows listed, nothing written", "start\x1bW1", LiveText, Linie("Start"),
         KeinTelegramm},
        {"LiveText", "Start\x1bW1\x1bW2", LiveText, Linie("Start"), Ausgegeben,
         Namen{"control.txt", "start.txt"},
         "Startliste.Name_0 = A\r\nStartliste.Name_1 = B\r\nPruefung.Ort = Aachen\r\n"},
        {"CSV", "Start", CSVNurDaten, Linie("Start"), Ausgegeben, Namen{"start.csv"},
         "\"A\",\r\n\"B\",\r\n\"Aachen\"\r\n"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const TempFolder ausgabe;
        AusgabeLaufZustand zustand;
        zustand.ListGefundenIn[3] = {"alt"};
        const Collection telegramm = f.ende == KeinTelegramm ? Collection{} : Telegramm();
        const AusgabeLaufErgebnis e =
            Lauf(Mit({f.zeile}, f.format), f.text, telegramm, zustand, ausgabe.Path());
        EXPECT_EQ(e.Ende, f.ende);
        EXPECT_EQ(zustand.listEreignisse.Lines(), std::deque<std::string>{f.text});
        EXPECT_EQ(zustand.ListGefundenIn[0].size(), f.ende == KeineTreffer ? 0u : 1u);
        EXPECT_NE(zustand.ListGefundenIn[3], Namen{"alt"});
        EXPECT_EQ(ausgabe.Entries(), f.dateien);
        EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien.size(), f.dateien.size());
        if (!f.dateien.empty()) {
            EXPECT_EQ(ausgabe.Read(f.dateien.back()), f.inhalt);
        }
    }
}

TEST(AusgabeLauf, EventListKeepsSevenAndIgnoresEmptyText) {
    AusgabeLaufZustand zustand;
    for (int i = 1; i <= 8; ++i)
        Lauf(Vorlage{}, "E" + std::to_string(i), Collection{}, zustand);
    zustand.ListGefundenIn[0] = {"7"};
    zustand.Ausgabe.GeschriebeneDateien = {"x.txt"};
    EXPECT_EQ(Lauf(Mit({Linie("")}), "", Telegramm(), zustand).Ende, LaufEnde::LeererText);
    EXPECT_EQ(zustand.listEreignisse.Lines(),
              (std::deque<std::string>{"E2", "E3", "E4", "E5", "E6", "E7", "E8"}));
    EXPECT_EQ(zustand.ListGefundenIn[0], Namen{"7"});
    EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien, Namen{"x.txt"});
}

// The event name matches its template line whatever the letter case.
TEST(GleichOhneGrossKlein, AsciiAndCodePageLetters) {
    const std::tuple<std::string, std::string, bool> faelle[] = {
        {"start", "START", true},
        {"Start ", "Start", false},
        {"ärger été þ", "ÄRGER ÉTÉ Þ", true},
        {"ÿšœž", "ŸŠŒŽ", true},
        {"÷", "×", false},  // no letters, though they lie 0x20 apart like a letter pair
        {"straße", "STRAßE", true},
        {"a\xFF", "A\xFF", true},  // invalid bytes pass unchanged
        {"\xC3", "\xC3", true},
    };
    for (const auto& [a, b, gleich] : faelle) {
        SCOPED_TRACE(a + " | " + b);
        EXPECT_EQ(GleichOhneGrossKlein(a, b), gleich);
    }
    EXPECT_EQ(Grossbuchstaben("mächtig"), "MÄCHTIG");
}

}  // namespace
}  // namespace zelmo
