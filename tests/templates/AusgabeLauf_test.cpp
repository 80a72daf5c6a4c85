#include "templates/AusgabeLauf.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace zelmo {
namespace {

using test::TempFolder;
using Trefferliste = std::vector<Treffer>;
using Namen = std::vector<std::string>;

// Round 1 of a Normalspringen with a jump-off; Siegerrunde explicitly not.
const Collection& Telegramm() {
    static const Collection telegramm = JSONDecodieren(R"({"Ereignis": {"Status": "Start"},
  "AktUml": {"strAktUml": "1"},
  "Umlaufdaten": {"Records": [{"Uml1Turnierart": "Normalspringen", "Uml1MitStechen": true,
    "Uml1mit Stechen": "Stechen ja", "Uml1Siegerrunde": false, "Uml1Stilspringen": "Stil",
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

TEST(AusgabeLauf, ThreeLinesScoreAndTheBestWins) {
    AusgabeLaufZustand zustand;
    Vorlage v =
        Mit({Linie("Start"), Linie("Start", "Normalspringen"), Linie("Start", "Alle", "Alle")});
    AusgabeLaufErgebnis e = Lauf(v, "Start", Telegramm(), zustand);
    EXPECT_EQ(e.TrefferListe, (Trefferliste{{0, 18}, {1, 18}, {2, 26}}));
    EXPECT_EQ(e.GewaehlteZeile, 2u);

    v.ZeileLoeschen(2);  // a tie goes to the first line
    e = Lauf(v, "Start", Telegramm(), zustand);
    EXPECT_EQ(e.TrefferListe, (Trefferliste{{0, 18}, {1, 18}}));
    EXPECT_EQ(e.GewaehlteZeile, 0u);
}

// Round data not received reads as empty text: "Alle" still fires, a named value does not.
TEST(AusgabeLauf, ColumnTestsScoreOneLine) {
    struct Fall {
        const char* name;
        VorlageZeile zeile;
        std::uint8_t wertung;
        const char* telegramm = nullptr;  // else the full one
        const char* liste2 = nullptr;     // with a telegram of its own: list 2's only entry
    };
    const char* ohne = R"({"Ereignis": {}})";
    const char* leer = R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": []}})";
    const char* keineListe = R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": 5}})";
    const Fall faelle[] = {
        {"type of the round", Linie("Start", "Normalspringen", "", "", "1"), 18},
        {"another type fails everything", Linie("Start", "Zeitspringen", "Alle", "Alle"), 0},
        {"alle in lower case is no Alle", Linie("Start", "alle", "Alle", "Alle"), 0},
        {"flag Wahr", Linie("Start", "Alle", "mit Stechen"), 26},
        {"flag Falsch stops the tests", Linie("Start", "Alle", "Siegerrunde", "Alle"), 16},
        {"flag missing stops the tests", Linie("Start", "Alle", "Idealzeitspringen", "Alle"), 16},
        {"other text is neutral", Linie("Start", "Alle", "xyz", "Alle"), 22},
        {"a second-table text in the first column is neutral",
         Linie("Start", "Alle", "Stilspringen"), 18},
        {"all four", Linie("Start", "Normalspringen", "mit Stechen", "Stilspringen", "1"), 30},
        {"Springpferde tests the shared flag", Linie("Start", "Alle", "Alle", "Springpferde"), 30},
        {"umlaut text and its flag", Linie("Start", "Alle", "Mächtigkeitsspringen"), 26},
        {"another round fails", Linie("Start", "Alle", "Alle", "Alle", "2"), 28},
        {"round compared exactly", Linie("Start", "Alle", "", "Alle", "alle"), 20},
        {"no round data: Alle fires", Linie("Start"), 18, ohne},
        {"no round data: a named type does not", Linie("Start", "Normalspringen", "Alle", "Alle"),
         0, ohne},
        {"no round data: a named round does not", Linie("Start", "Alle", "Alle", "Alle", "1"), 28,
         ohne, "0"},
        {"empty Records", Linie("Start", "Alle", "Alle", "", "1"), 26, leer, "0"},
        {"Records not a list", Linie("Start", "Alle", "Alle", "", "1"), 26, keineListe, "0"},
        {"missing list key shows empty text", Linie("Start", "Alle", "mit Stechen"), 26,
         R"({"AktUml": {"strAktUml": "1"}, "Umlaufdaten": {"Records": [{"Uml1MitStechen": true}]}})",
         " / 0"},
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
        EXPECT_EQ(e.GewaehlteZeile, f.wertung == 0 ? std::nullopt : std::optional<std::size_t>(0));
        EXPECT_EQ(e.Ende, f.wertung == 0 ? LaufEnde::KeineZeileGewaehlt : LaufEnde::KeinFormat);
        if (f.telegramm) {
            EXPECT_EQ(zustand.ListGefundenIn[2],
                      f.liste2 ? std::vector<std::string>{f.liste2} : std::vector<std::string>{});
        }
    }
}

TEST(AusgabeLauf, DiagnosticListsRecordFoundRowsAndPasses) {
    AusgabeLaufZustand zustand;
    zustand.ListGefundenIn[5] = {"alt"};
    const Vorlage v =
        Mit({Linie("Ziel"), Linie("Start", "Normalspringen", "mit Stechen", "Stilspringen", "1"),
             Linie("START", "Alle", "Idealzeitspringen", "Alle"), Linie("start", "Zeitspringen")});
    const AusgabeLaufErgebnis e = Lauf(v, "Start", Telegramm(), zustand);
    EXPECT_EQ(e.TrefferListe, (Trefferliste{{1, 30}, {2, 16}, {3, 0}}));
    const GefundenListen erwartet = {{
        {"1", "2", "3"},
        {"Normalspringen / 1", "Normalspringen / 2"},
        {"Stechen ja / 1"},
        {"Stil / 1"},
        {"1"},
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
        bool telegramm;
        Ausgabeformat format;
        VorlageZeile zeile;
        LaufEnde ende;
        bool zeileGelistet;
        const char* datei = nullptr;  // the one data file written
        const char* inhalt = "";
    };
    const Fall faelle[] = {
        {"event name empty before the first separator", "\x1bStart", true, LiveText, Linie(""),
         KeineTreffer, false},
        {"no line for the event", "Ziel", true, LiveText, Linie("Start"), KeineTreffer, false},
        {"no telegram yet: rows listed, nothing written", "start\x1bW1\x1bW2", false, LiveText,
         Linie("Start"), KeinTelegramm, true},
        {"only score 0", "Start", true, LiveText, Linie("Start", "Zeitspringen"),
         KeineZeileGewaehlt, true},
        {"neither format", "Start", true, Keins, Linie("Start"), KeinFormat, true},
        {"LiveText", "Start\x1bW1\x1bW2\x1bW3\x1bW4", true, LiveText, Linie("Start"), Ausgegeben,
         true, "start.txt",
         "Startliste.Name_0 = A\r\nStartliste.Name_1 = B\r\nPruefung.Ort = Aachen\r\n"},
        {"CSV", "Start", true, CSVNurDaten, Linie("Start"), Ausgegeben, true, "start.csv",
         "\"A\",\r\n\"B\",\r\n\"Aachen\"\r\n"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        const TempFolder ausgabe;
        AusgabeLaufZustand zustand;
        zustand.ListGefundenIn[3] = {"alt"};
        const AusgabeLaufErgebnis e =
            Lauf(Mit({f.zeile}, f.format), f.text, f.telegramm ? Telegramm() : Collection{},
                 zustand, ausgabe.Path());
        EXPECT_EQ(e.Ende, f.ende);
        EXPECT_EQ(zustand.listEreignisse.Lines(), std::deque<std::string>{f.text});
        EXPECT_EQ(zustand.ListGefundenIn[0].size(), f.zeileGelistet ? 1u : 0u);
        EXPECT_TRUE(zustand.ListGefundenIn[3].empty() || zustand.ListGefundenIn[3][0] != "alt");
        Namen dateien;
        if (f.datei)
            dateien.push_back(ausgabe.File(f.datei));
        if (f.format == LiveText && f.datei)
            dateien.push_back(ausgabe.SystemFile("control.txt"));
        EXPECT_EQ(zustand.Ausgabe.GeschriebeneDateien, dateien);
        EXPECT_EQ(ausgabe.Entries().size(), dateien.size());
        EXPECT_EQ(f.datei ? ausgabe.Read(f.datei) : "", f.inhalt);
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

}  // namespace
}  // namespace zelmo
